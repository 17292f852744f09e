// The lines of the listing pane, and the source line of each.
#pragma once

#include <cstdint>
#include <string_view>

namespace kmp {

// Clears the pane, sets `color` and appends the header line: "0: " and the
// four header bytes, each followed by a space.
void StartListing(std::uint32_t color);

// The header line comes from the PROGRAM on `sourceLine`.
void SetHeaderSourceLine(int sourceLine);

// "a: name", for the label defined on `sourceLine`.
void AppendLabelLine(int address, std::string_view name, int sourceLine);

// "a: low high", with a trailing space while the parse runs, for the
// statement on `sourceLine`.
void AppendInstructionLine(int address, std::uint8_t low, std::uint8_t high, bool trailingSpace,
                           int sourceLine);

// The listing of a successful run: header, then labels and instructions
// from address 4 up to `endAddress` (the first free address, if below 128).
void WriteFinalListing(int endAddress);

}  // namespace kmp
