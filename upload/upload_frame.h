// The bytes of one upload: 0x80, the start byte 0xFE, then the program image
// up to and including its first 255 (the end byte), or the whole image when
// it holds no 255.
#pragma once

#include <compiler.h>

#include <array>
#include <cstdint>
#include <vector>

namespace kmp {

inline constexpr std::uint8_t kFrameFirstByte = 0x80;
inline constexpr std::uint8_t kFrameStartByte = 0xFE;
inline constexpr std::uint8_t kFrameEndByte = 0xFF;
// Two leading bytes and the 128 bytes of the image.
inline constexpr std::size_t kMaxFrameSize = 130;

std::vector<std::uint8_t> UploadFrame(const ProgramImage& image);

}  // namespace kmp
