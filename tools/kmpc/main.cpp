// kmpc: the command-line compiler of the control language.
#include "modes.h"
#include "options.h"
#include "port_handover.h"
#include "run.h"

#include <clocale>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, "");
    kmpc::Options options;
    if (!kmpc::ParseCommandLine(argc, argv, options)) return kmpc::kExitUsage;
    if (const auto answered = kmpc::AnswerHelpOrVersion(options)) return *answered;
    if (kmpc::NeedsPortProgram(options)) {
        const int error = kmpc::ExecPortProgram(argv);
        std::fprintf(stderr, "kmpc: cannot start %s: %s\n", kmpc::kPortProgramName,
                     std::strerror(error));
        return kmpc::kExitPortFailed;
    }
    const kmp::SystemClock clock;
    return kmpc::FinishOutput(kmpc::RunWithoutPort(options, clock, stdout, stderr));
}
