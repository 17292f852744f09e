// libFuzzer target: any bytes opened as a program file give some text
// without crashing, and a text written as RTF reads back exactly.
#include "program_file.h"
#include "text_encoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = kmp::ProgramTextFromFileBytes(bytes);
    if (!kmp::IsValidUtf8(text)) std::abort();

    // Line ends are LF only, and what the writer stores must come back.
    if (text.find('\r') != std::string::npos) std::abort();
    if (kmp::ProgramTextFromFileBytes(kmp::ProgramFileBytesFromText(text)) != text) std::abort();
    return 0;
}
