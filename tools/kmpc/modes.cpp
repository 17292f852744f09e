#include "modes.h"

#include "run.h"
#include "text_export.h"

#include <cerrno>
#include <cstring>

namespace kmpc {

int RunWithoutPort(const Options& options, const kmp::Clock& clock, std::FILE* out, std::FILE* err,
                   kmp::ProgramImage* image) {
    switch (options.mode) {
    case Mode::Text: return PrintProgramText(options, out, err);
    case Mode::ToKmp: return SaveAsProgramFile(options, err);
    case Mode::FromLink: return SaveLinkedProgram(options, out, err);
    case Mode::Compile:
    case Mode::ListPorts: break;
    }
    return Run(options, clock, out, err, image);
}

int FinishOutput(int status) {
    // A write that failed before the flush leaves the error flag set.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "kmpc: standard output: %s\n", std::strerror(errno));
        return kExitUsage;
    }
    return status;
}

std::optional<int> AnswerHelpOrVersion(const Options& options) {
    if (!options.help && !options.version) return std::nullopt;
    std::fputs((options.help ? HelpText() : VersionText()).c_str(), stdout);
    return FinishOutput(kExitOk);
}

}  // namespace kmpc
