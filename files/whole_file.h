// Reads a whole file into memory.
#pragma once

#include <string>

namespace kmp {

// The bytes of the regular file at `path`. Throws FileError with the
// "Cannot open file" message when it cannot be read; a directory or any
// other file that is not a regular file counts as unreadable.
std::string ReadWholeFile(const std::string& path);

}  // namespace kmp
