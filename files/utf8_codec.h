// Single code points to and from UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kmp {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of `cp` (U+FFFD for surrogates and values past U+10FFFF).
void AppendUtf8(std::string& out, char32_t cp);

// Decodes the code point that starts at `pos` and moves `pos` past it. An
// ill-formed sequence gives U+FFFD and moves past its lead byte and the
// continuation bytes that follow it.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

}  // namespace kmp
