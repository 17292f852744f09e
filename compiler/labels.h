// Labels: definitions, look-up and the fix-up of forward jumps.
#pragma once

#include <cstdint>
#include <string_view>

namespace kmp {

// True if some entry of LabelAtAddress equals `name`.
bool LabelExists(std::string_view name);

// The lowest address whose label is `name`; 4 if there is none.
std::uint8_t LabelAddress(std::string_view name);

// A label definition line: the name and its colon, defined at WritePos.
// Throws RangeCheckError when WritePos is past the image.
void DefineLabel();

// Writes the address of every recorded forward-jump target into CodeImage,
// or reports the name as an unknown label.
void ResolveJumps();

}  // namespace kmp
