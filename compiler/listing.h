// The lines of the listing pane.
#pragma once

#include <cstdint>
#include <string_view>

namespace kmp {

// "0: " and the four header bytes, each followed by a space.
void AppendHeaderLine();

// "a: name".
void AppendLabelLine(int address, std::string_view name);

// "a: low high", with a trailing space while the parse runs.
void AppendInstructionLine(int address, std::uint8_t low, std::uint8_t high, bool trailingSpace);

// The listing of a successful run: header, then labels and instructions
// from address 4 up to `endAddress` (the first free address, if below 128).
void WriteFinalListing(int endAddress);

}  // namespace kmp
