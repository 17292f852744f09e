// Reads a whole program file into memory, without waiting for a device or
// a FIFO's writer, and at most kMaxProgramFileBytes of it.
#pragma once

#include "program_text.h"

#include <cstddef>
#include <string>

namespace kmp {

// The error of an input longer than kMaxProgramFileBytes (no errno value).
inline constexpr int kTextTooLong = -1;

// Reads the file at `path` into `bytes`. What could make the read wait for
// ever is refused at once with EINVAL: a terminal (or serial port), and a
// named FIFO that no writer holds open. A pipe or FIFO with a writer, a
// device such as /dev/zero and a regular file are read to their end.
// Returns 0, the system's error number, or kTextTooLong.
int ReadProgramInput(const std::string& path, std::string& bytes);

// Reads the open descriptor `fd` (standard input) to its end into `bytes`,
// within the same limit. Returns 0, the system's error number, or kTextTooLong.
int ReadProgramInputFrom(int fd, std::string& bytes);

// The bytes of the program file at `path`, read by ReadProgramInput. Throws
// FileError with the "Cannot open file" message when it cannot be read ("File
// too large" past the limit).
std::string ReadWholeFile(const std::string& path);

}  // namespace kmp
