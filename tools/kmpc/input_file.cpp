#include "input_file.h"

#include "whole_file.h"

#include <cstring>
#include <unistd.h>

namespace kmpc {

bool ReadInputBytes(const std::string& path, std::string& bytes, std::string& reason) {
    const int error = path == "-" ? kmp::ReadProgramInputFrom(STDIN_FILENO, bytes)
                                  : kmp::ReadProgramInput(path, bytes);
    if (error == 0) return true;
    reason = error == kmp::kTextTooLong ? "program text too long" : std::strerror(error);
    return false;
}

}  // namespace kmpc
