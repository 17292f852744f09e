// Program files (*.kmp): the editor's text stored as an RTF document.
#pragma once

#include "program_text.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace kmp {

// A program file that cannot be read or written. The message is the one the
// window shows: "Cannot open file "NAME". REASON" or "Cannot create file ...".
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a program file and returns its editor text. Throws FileError.
std::string ReadProgramFile(const std::string& path);

// Writes `text` as a program file. The file is replaced atomically: a failed
// save leaves an earlier file intact. Throws FileError.
void WriteProgramFile(const std::string& path, std::string_view text);

}  // namespace kmp
