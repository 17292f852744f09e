// kmpc: the command-line compiler of the control language.
#include "options.h"
#include "run.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, "");
    kmpc::Options options;
    try {
        options = kmpc::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const kmpc::UsageError& e) {
        std::fprintf(stderr, "kmpc: %s\nTry 'kmpc --help' for more information.\n", e.what());
        return kmpc::kExitUsage;
    }
    if (options.help) {
        std::fputs(kmpc::HelpText().c_str(), stdout);
        return kmpc::kExitOk;
    }
    if (options.version) {
        std::fputs(kmpc::VersionText().c_str(), stdout);
        return kmpc::kExitOk;
    }
    const kmp::SystemClock clock;
    const int status = kmpc::Run(options, clock, stdout, stderr);
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "kmpc: standard output: %s\n", std::strerror(errno));
        return kmpc::kExitUsage;
    }
    return status;
}
