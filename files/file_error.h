// The messages of files that cannot be read or written.
#pragma once

#include <string>

namespace kmp {

// "Cannot open file "NAME". REASON" with the system's reason for `error`.
std::string CannotOpenMessage(const std::string& path, int error);

// "Cannot create file "NAME". REASON" with the system's reason for `error`.
std::string CannotCreateMessage(const std::string& path, int error);

}  // namespace kmp
