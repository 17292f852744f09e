// Readers of names and numbers. Each starts at the first token of its
// literal, consumes what it accepts, reports failures and always returns a value.
#pragma once

#include "compile_state.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kmp {

// The expect step: if the current token is `kind`, consumes it; otherwise
// reports `message` and consumes nothing.
void ExpectToken(Token kind, std::string_view message);

char ReadNameChar();
std::string ReadName();
std::string ReadLabelName();
char ReadDigit();
std::uint8_t ReadBit();
std::uint8_t ReadConst253();
std::uint8_t ReadConst15();
std::uint8_t ReadConst7();

}  // namespace kmp
