#include "error_report.h"

#include "compile_state.h"

namespace kmp {

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
    ++ErrorCount;
    CompileLog->AppendLine(ErrorLine(message, ErrorCount));
}

void ReportError(std::string_view message, std::string_view name, std::string_view tail) {
    std::string text(message);
    text += name;
    text += tail;
    ReportError(text);
}

}  // namespace kmp
