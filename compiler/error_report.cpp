#include "error_report.h"

namespace kmp {
namespace {

void Report(const TextSpan& at, std::string_view message) {
    ++ErrorCount;
    CompileLog->AppendLine(ErrorLine(message, ErrorCount));
    if (!RecordErrorPlaces) return;
    ErrorPlaces.push_back(
        {at.line, at.column, at.length, LineNo, ColumnNo, ErrorCount, std::string(message)});
}

}  // namespace

std::string ErrorLine(std::string_view message, int number) {
    std::string line = std::to_string(LineNo);
    line += ". riadok, pozícia:";
    line += std::to_string(ColumnNo);
    line += "  ! Chyba č. ";
    line += std::to_string(number);
    line += message;
    return line;
}

void ReportError(std::string_view message) {
    Report(CurrentTokenSpan(), message);
}

void ReportLabelError(const TextSpan& name, std::string_view message, std::string_view label,
                      std::string_view tail) {
    std::string text(message);
    text += label;
    text += tail;
    Report(name, text);
}

}  // namespace kmp
