// Reading the program file (or standard input).
#pragma once

#include <string>

namespace kmpc {

// The bytes of `path`, or of standard input for "-". On failure returns
// false and sets `error` to the system's error number.
bool ReadInputBytes(const std::string& path, std::string& bytes, int& error);

}  // namespace kmpc
