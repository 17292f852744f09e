#include "program_file.h"

#include "atomic_file.h"
#include "whole_file.h"

namespace kmp {

std::string ReadProgramFile(const std::string& path) {
    return ProgramTextFromFileBytes(ReadWholeFile(path));
}

void WriteProgramFile(const std::string& path, std::string_view text) {
    ReplaceFileAtomically(path, ProgramFileBytesFromText(text));
}

}  // namespace kmp
