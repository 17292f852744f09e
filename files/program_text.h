// The program text held by the bytes of a program file, and the bytes that
// hold a program text: no file system involved, so every front end (the
// window, kmpc, the page) shares them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kmp {

// The most bytes read from a program file; anything longer is refused.
inline constexpr std::size_t kMaxProgramFileBytes = std::size_t{64} << 20;

// The editor text (UTF-8, LF line ends) held by the bytes of a program file:
// an RTF document is read as RTF, anything else as plain text (valid UTF-8
// as UTF-8, otherwise Windows-1250).
std::string ProgramTextFromFileBytes(std::string_view bytes);

// The bytes of a program file holding `text` (UTF-8, any line ends).
std::string ProgramFileBytesFromText(std::string_view text);

}  // namespace kmp
