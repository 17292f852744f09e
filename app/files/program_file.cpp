#include "program_file.h"

#include "text_encoding.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace kmp {

// Plain text only for now; the RTF reader and writer replace these.
std::string ProgramTextFromFileBytes(std::string_view bytes) {
    return NormalizeLineEndsLf(DecodePlainText(bytes));
}

std::string ProgramFileBytesFromText(std::string_view text) {
    return std::string(text);
}

std::string ReadProgramFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ProgramTextFromFileBytes(bytes);
}

void WriteProgramFile(const std::string& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw FileError("Cannot create file \"" + path + "\". " + std::strerror(errno));
    }
    out << ProgramFileBytesFromText(text);
}

}  // namespace kmp
