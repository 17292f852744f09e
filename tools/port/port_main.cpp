// kmpc-port: the part of kmpc that talks to serial ports (--upload,
// --list-ports, --simulator). kmpc hands over to it; it takes the same
// command line.
#include "held_output.h"
#include "modes.h"
#include "options.h"
#include "port_list.h"
#include "run.h"
#include "simulator_choice.h"
#include "upload_session.h"

#include "i18n.h"

#include <QCoreApplication>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

// Writes one log line to standard error at once.
void LogToStandardError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

// Sends the image of the compile run that just succeeded.
int UploadCompiledImage(const kmpc::Options& options, bool withSimulator) {
    kmp::TComPort port;
    if (withSimulator) port.SetVirtualController(kmp::SimulatorBoardFromEnvironment());
    kmpc::UploadRequest request{options.uploadPort, options.handshake, options.dsrTimeoutMs,
                                options.replyTimeoutMs, options.maxTimeMs};
    kmpc::UploadSession session(port, request, LogToStandardError);
    return session.Run(kmp::CodeImage);
}

// The status of a run part whose output was held: a failure to write
// standard output comes first.
int Released(kmpc::HeldOutput& held, int status) {
    const int written = held.Release();
    return written != kmpc::kExitOk ? written : status;
}

int RunPortWork(const kmpc::Options& options, bool withSimulator) {
    if (options.mode == kmpc::Mode::ListPorts) {
        kmpc::HeldOutput held;
        return Released(held, kmpc::PrintPortList(held.Out(), held.Err(), withSimulator));
    }
    const kmp::SystemClock clock;
    kmpc::HeldOutput held;
    const int status = Released(held, kmpc::RunWithoutPort(options, clock, held.Out(), held.Err()));
    // The listing is out before whatever the upload prints; a run whose
    // listing could not be written uploads nothing.
    if (status != kmpc::kExitOk || options.mode != kmpc::Mode::Compile ||
        options.uploadPort.empty())
        return status;
    return UploadCompiledImage(options, withSimulator);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, "");
    // Standard output is written in flushed pieces (HeldOutput), also on a
    // terminal.
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    kmpc::Options options;
    if (!kmpc::ParseCommandLine(argc, argv, options)) return kmpc::kExitUsage;
    // The one reading of the simulator choice; it goes down as an argument.
    const bool withSimulator = kmp::SimulatorChosen(options.simulator);
    kmp::i18n::Init();
    QCoreApplication application(argc, argv);
    // Every write of standard output went through HeldOutput, which has
    // reported a failed one already.
    return RunPortWork(options, withSimulator);
}
