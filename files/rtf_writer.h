// Writes the editor's text as an RTF document.
#pragma once

#include <string>
#include <string_view>

namespace kmp {

// The font that program files name for the editor text.
inline constexpr std::string_view kProgramFileFont = "MS Sans Serif";

// An RTF document (Windows-1250 code page, one sans-serif font of 8 points)
// whose plain text is `text` (UTF-8, any line ends). Every line end becomes
// \par, and one more \par closes the document: the reader drops that last
// paragraph mark again, so a text with and without a final line end both
// read back exactly.
std::string RtfFromText(std::string_view text);

}  // namespace kmp
