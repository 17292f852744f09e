// The one format of compile error lines, and the record of where each error's
// token stands in the text.
#pragma once

#include "compile_state.h"

#include <string>
#include <string_view>

namespace kmp {

// The error line for `message` at LineNo and ColumnNo with error number `number`.
std::string ErrorLine(std::string_view message, int number);

// Counts the error, appends its ErrorLine to CompileLog and records it in
// the run's error places at the current token.
void ReportError(std::string_view message);

// The same for an error about the label name at `name`: the name is joined
// to the message (with an optional tail), and the error's place is the name's.
void ReportLabelError(const TextSpan& name, std::string_view message, std::string_view label,
                      std::string_view tail = {});

}  // namespace kmp
