// The scanner: cuts the source text into tokens, one per call.
#pragma once

#include <cstddef>
#include <string_view>

namespace kmp {

// The length of the keyword that the scanner reads at the start of `text`
// (the first candidate of its first letter whose characters all match), or 0
// when the scanner reads no keyword there. For the editor's highlighting.
std::size_t KeywordLengthAt(std::string_view text);

// Consumes the current token and scans the next one into TokenKind and
// CurrentChar, advancing SourcePos, LineNo and ColumnNo.
void NextToken();

}  // namespace kmp
