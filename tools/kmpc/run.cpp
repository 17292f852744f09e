#include "run.h"

#include "display_text.h"
#include "editor_text.h"
#include "image_file.h"
#include "input_file.h"
#include "program_file.h"
#include "text_encoding.h"

#include <cstring>
#include <stdexcept>

namespace kmpc {
namespace {

void PrintLines(const std::vector<std::string>& lines, std::FILE* stream) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    std::fwrite(text.data(), 1, text.size(), stream);
}

// "kmpc: NAME: REASON" on standard error.
int FileFailure(std::FILE* err, const std::string& name, const std::string& reason) {
    std::fprintf(err, "kmpc: %s: %s\n", name.c_str(), reason.c_str());
    return kExitUsage;
}

}  // namespace

int Run(const Options& options, const kmp::Clock& clock, std::FILE* out, std::FILE* err) {
    std::string bytes;
    int error = 0;
    if (!ReadInputBytes(options.inputPath, bytes, error)) {
        return FileFailure(err, options.inputPath, std::strerror(error));
    }
    // The window compiles what its editor holds after opening the file.
    const std::string source =
        kmp::EditorTextToSource(EditorHeldText(kmp::ProgramTextFromFileBytes(bytes)));
    bytes.clear();
    LinePane log;
    LinePane listing;
    int status = kExitOk;
    try {
        kmp::CompileProgram(source, options.timing, log, listing, clock);
        if (!kmp::CompiledOk) status = kExitCompileFailed;
    } catch (const kmp::RangeCheckError& e) {
        log.AppendLine(kmp::DisplayedErrorText(e.what()));
        status = kExitCompileFailed;
    } catch (const std::length_error& e) {
        return FileFailure(err, options.inputPath, e.what());
    }
    PrintLines(listing.Lines(), out);
    PrintLines(log.Lines(), err);
    if (status == kExitOk && !options.imagePath.empty()) {
        const std::string_view image(reinterpret_cast<const char*>(kmp::CodeImage.data()),
                                     kmp::CodeImage.size());
        if (const int writeError = WriteFileAtomically(options.imagePath, image); writeError != 0) {
            return FileFailure(err, options.imagePath, std::strerror(writeError));
        }
    }
    return status;
}

}  // namespace kmpc
