#include "program_text.h"

#include "rtf_reader.h"
#include "rtf_writer.h"
#include "text_encoding.h"

namespace kmp {

std::string ProgramTextFromFileBytes(std::string_view bytes) {
    // Escaped CR bytes in RTF (\'0d) are line ends of the editor text too.
    if (const auto text = TextFromRtf(bytes)) return NormalizeLineEndsLf(*text);
    return NormalizeLineEndsLf(DecodePlainText(bytes));
}

std::string ProgramFileBytesFromText(std::string_view text) {
    return RtfFromText(text);
}

}  // namespace kmp
