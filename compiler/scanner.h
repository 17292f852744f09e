// What the editor asks of the scanner. The scanner itself (NextToken) works
// on the compile state and is declared with it in compile_state.h.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace kmp {

// The length of the keyword that the scanner reads at the start of `text`
// (the first candidate of its first letter whose characters all match), or 0
// when the scanner reads no keyword there. For the editor's highlighting.
std::size_t KeywordLengthAt(std::string_view text);

// Every keyword of the language, as the scanner reads them.
std::vector<std::string_view> LanguageKeywords();

}  // namespace kmp
