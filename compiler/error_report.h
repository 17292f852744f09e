// The one format of compile error lines.
#pragma once

#include <string>
#include <string_view>

namespace kmp {

// The error line for `message` at LineNo and ColumnNo with error number `number`.
std::string ErrorLine(std::string_view message, int number);

// Counts the error and appends its ErrorLine to CompileLog.
void ReportError(std::string_view message);

// ReportError with a label name joined to the message (and an optional tail).
void ReportError(std::string_view message, std::string_view name, std::string_view tail = {});

}  // namespace kmp
