// Reading the program file (or standard input).
#pragma once

#include <string>

namespace kmpc {

// The bytes of `path`, or of standard input for "-", read as the window
// reads a program file (a terminal or a FIFO without a writer is refused,
// at most 64 MiB). On failure returns false and sets `reason` to the text
// that follows the name in the message: the system's reason or
// "program text too long".
bool ReadInputBytes(const std::string& path, std::string& bytes, std::string& reason);

}  // namespace kmpc
