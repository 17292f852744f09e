// Operations that build the 16-bit instruction words of the statements.
#pragma once

#include <cstdint>

namespace kmp {

using InstructionWord = std::uint16_t;

constexpr InstructionWord SetBit(InstructionWord word, unsigned n) {
    return static_cast<InstructionWord>(word | (1u << n));
}

constexpr InstructionWord ClearBit(InstructionWord word, unsigned n) {
    return static_cast<InstructionWord>(word & ~(1u << n));
}

constexpr InstructionWord SetLowByte(InstructionWord word, std::uint8_t b) {
    return static_cast<InstructionWord>((word & 0xFF00u) | b);
}

constexpr InstructionWord SetHighByte(InstructionWord word, std::uint8_t b) {
    return static_cast<InstructionWord>((word & 0x00FFu) | (unsigned{b} << 8));
}

constexpr std::uint8_t LowByte(InstructionWord word) {
    return static_cast<std::uint8_t>(word & 0xFFu);
}
constexpr std::uint8_t HighByte(InstructionWord word) {
    return static_cast<std::uint8_t>(word >> 8);
}

}  // namespace kmp
