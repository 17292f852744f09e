// kmpc-port: the part of kmpc that talks to serial ports (--upload,
// --list-ports, --simulator). kmpc hands over to it; it takes the same
// command line.
#include "ListSerialPorts.h"
#include "modes.h"
#include "options.h"
#include "port_list.h"
#include "run.h"
#include "simulator_board.h"
#include "upload_session.h"

#include "i18n.h"

#include <QCoreApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Writes one log line to standard error at once.
void LogToStandardError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

// Sends the image of the compile run that just succeeded.
int UploadCompiledImage(const kmpc::Options& options) {
    kmp::TComPort port;
    if (kmp::SimulatorEnabled()) port.SetVirtualController(kmpc::SimulatorBoardFromEnvironment());
    kmpc::UploadRequest request{options.uploadPort, options.handshake, options.dsrTimeoutMs,
                                options.replyTimeoutMs};
    kmpc::UploadSession session(port, request, LogToStandardError);
    return session.Run(kmp::CodeImage);
}

int RunPortWork(const kmpc::Options& options) {
    if (options.mode == kmpc::Mode::ListPorts) return kmpc::PrintPortList(stdout, stderr);
    const kmp::SystemClock clock;
    const int status = kmpc::RunWithoutPort(options, clock, stdout, stderr);
    if (status != kmpc::kExitOk || options.mode != kmpc::Mode::Compile ||
        options.uploadPort.empty())
        return status;
    // The listing comes before whatever the upload prints.
    std::fflush(stdout);
    return UploadCompiledImage(options);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, "");
    // The listing and the log keep their order also when both go to one pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    kmpc::Options options;
    if (!kmpc::ParseCommandLine(argc, argv, options)) return kmpc::kExitUsage;
    // The serial layer and the window read the simulator switch from here.
    if (options.simulator) setenv("KMP_SIMULATOR", "1", 1);
    kmp::i18n::Init();
    QCoreApplication application(argc, argv);
    return kmpc::FinishOutput(RunPortWork(options));
}
