// The text rule of the general error display, without Qt, so that kmpc's
// compiler shows a failed run as the window does.
#pragma once

#include <string>
#include <string_view>

namespace kmp {

// `message` (UTF-8) with a full stop appended when the code of its last
// character is above that of the full stop. Every letter beyond ASCII
// counts as above it.
std::string DisplayedErrorText(std::string_view message);

}  // namespace kmp
