#include "error_report.h"

#include "error_hints.h"

namespace kmp {
namespace {

void Report(const TextSpan& at, std::string_view message, std::string_view label = {},
            std::string_view fullMessage = {}) {
    ++ErrorCount;
    const int logLine = Places.logLines;
    CompileLog->AppendLine(ErrorLine(message, ErrorCount));
    const bool keep = Places.recording == PlaceRecording::Keep;
    if (!keep && Places.sink == nullptr) return;
    ErrorPlace place{at.line,
                     at.column,
                     at.length,
                     LineNo,
                     ColumnNo,
                     ErrorCount,
                     std::string(message),
                     logLine,
                     ErrorHint(fullMessage.empty() ? message : fullMessage, at, label)};
    if (Places.sink) Places.sink->TakeErrorPlace(place);
    if (keep) Places.result.errorPlaces.push_back(std::move(place));
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
    Report(name, text, label, message);
}

}  // namespace kmp
