#include "text_export.h"

#include "atomic_file.h"
#include "editor_text.h"
#include "file_error.h"
#include "input_file.h"
#include "printable_name.h"
#include "program_file.h"
#include "program_link.h"
#include "run.h"

#include <optional>
#include <string>

namespace kmpc {
namespace {

// The editor's text after opening the input file, or nothing after a
// message on `err`.
std::optional<std::string> OpenedText(const std::string& path, std::FILE* err) {
    std::string bytes;
    if (std::string reason; !ReadInputBytes(path, bytes, reason)) {
        std::fprintf(err, "kmpc: %s: %s\n", PrintableName(path).c_str(), reason.c_str());
        return std::nullopt;
    }
    return kmp::EditorHeldText(kmp::ProgramTextFromFileBytes(bytes));
}

// The window's save: the same bytes, the same rule, its message.
bool SaveText(const std::string& text, const std::string& path, std::FILE* err) {
    const int error = kmp::WriteFileReplacing(path, kmp::ProgramFileBytesFromText(text));
    if (error == 0) return true;
    std::fprintf(err, "kmpc: %s\n", kmp::CannotCreateMessage(PrintableName(path), error).c_str());
    return false;
}

}  // namespace

int PrintProgramText(const Options& options, std::FILE* out, std::FILE* err) {
    const std::optional<std::string> text = OpenedText(options.inputPath, err);
    if (!text) return kExitUsage;
    std::fwrite(text->data(), 1, text->size(), out);
    return kExitOk;
}

int SaveAsProgramFile(const Options& options, std::FILE* err) {
    const std::optional<std::string> text = OpenedText(options.inputPath, err);
    if (!text) return kExitUsage;
    return SaveText(*text, options.outputPath, err) ? kExitOk : kExitUsage;
}

int SaveLinkedProgram(const Options& options, std::FILE* out, std::FILE* err) {
    const kmp::LinkReading reading = kmp::ReadProgramLink(options.inputPath);
    if (!reading.program) {
        std::fprintf(err, "kmpc: %s\n", reading.message.c_str());
        return kExitCompileFailed;
    }
    if (!SaveText(reading.program->text, options.outputPath, err)) return kExitUsage;
    const kmp::TimingSettings& timing = reading.program->timing;
    std::fprintf(out, "--prescaler %d --period %d --delay %d\n", timing.prescaler, timing.period,
                 timing.delay);
    return kExitOk;
}

}  // namespace kmpc
