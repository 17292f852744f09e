// Hints beside the errors that beginners' commonest slips produce: a
// keyword in lower case or with diacritics, blanks or a tab where one blank
// belongs, a jump target that differs from a label only in blanks or case,
// too many statements, a text without KONIEC.
#pragma once

#include "compile_state.h"

#include <string>
#include <string_view>

namespace kmp {

inline constexpr std::string_view kHintTooManyStatements = "Program môže mať najviac 62 príkazov.";

// The hint for the error `message` about the text at `at`; `label` is the
// label name of a label error. Empty when no slip fits.
std::string ErrorHint(std::string_view message, const TextSpan& at, std::string_view label);

// The tooltip of an error's mark in the editor: the message without the
// " : " that the log line puts before it, then the hint on a line of its
// own (a hint stands beside the message, never in its place).
std::string MarkTooltip(const ErrorPlace& place);

}  // namespace kmp
