#include "program_file.h"

#include "atomic_file.h"
#include "rtf_reader.h"
#include "rtf_writer.h"
#include "text_encoding.h"
#include "whole_file.h"

namespace kmp {

std::string ProgramTextFromFileBytes(std::string_view bytes) {
    // Escaped CR bytes in RTF (\'0d) are line ends of the editor text too.
    if (const auto text = TextFromRtf(bytes)) return NormalizeLineEndsLf(*text);
    return NormalizeLineEndsLf(DecodePlainText(bytes));
}

std::string ProgramFileBytesFromText(std::string_view text) {
    return RtfFromText(text);
}

std::string ReadProgramFile(const std::string& path) {
    return ProgramTextFromFileBytes(ReadWholeFile(path));
}

void WriteProgramFile(const std::string& path, std::string_view text) {
    ReplaceFileAtomically(path, ProgramFileBytesFromText(text));
}

}  // namespace kmp
