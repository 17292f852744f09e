// RTF destinations whose content is no body text.
#pragma once

#include <string_view>

namespace kmp {

// True for a control word that starts a group whose text the reader skips
// (font-less tables, document information, pictures, headers, fields'
// instructions, list numbering text, ...).
bool IsSkippedDestination(std::string_view controlWord);

}  // namespace kmp
