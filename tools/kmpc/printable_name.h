// File names and arguments as kmpc's messages show them.
#pragma once

#include <string>
#include <string_view>

namespace kmpc {

// `text` with its control characters escaped, so that a message stays one
// line and sends nothing to the terminal: LF, CR and tab as \n, \r and \t,
// the other bytes below 0x20 and DEL as \xHH (lower-case hex). Everything
// else, a backslash included, stays as it is.
std::string PrintableName(std::string_view text);

}  // namespace kmpc
