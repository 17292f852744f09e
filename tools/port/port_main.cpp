// kmpc-port: the part of kmpc that talks to serial ports (--upload,
// --list-ports, --simulator). kmpc hands over to it; it takes the same
// command line.
#include "classroom_upload.h"
#include "held_output.h"
#include "modes.h"
#include "options.h"
#include "port_list.h"
#include "port_source.h"
#include "port_watch.h"
#include "run.h"
#include "send_progress_bar.h"
#include "simulator_choice.h"
#include "stop_signal.h"
#include "upload_session.h"
#include "upload_targets.h"

#include "SerialTrace.h"
#include "i18n.h"

#include <QCoreApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <unistd.h>

namespace {

// Writes one log line to standard error at once.
void LogToStandardError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

// The command line, for the QCoreApplication that each upload makes.
struct CommandLine {
    int argc;
    char** argv;
};

// Sends the image of the compile run that just succeeded to `portName`,
// with a progress bar when standard error is a terminal. SIGINT and SIGTERM
// (blocked by the caller) stop it.
int UploadCompiledImage(CommandLine commandLine, const kmpc::Options& options,
                        const kmp::ProgramImage& image, const std::string& portName,
                        bool withSimulator) {
    QCoreApplication application(commandLine.argc, commandLine.argv);
    kmp::TComPort port;
    if (withSimulator) port.SetVirtualController(kmp::SimulatorBoardFromEnvironment());
    kmpc::UploadRequest request{
        portName,          options.handshake, options.dsrTimeoutMs, options.replyTimeoutMs,
        options.maxTimeMs, options.verify};
    std::optional<kmpc::SendProgressBar> bar;
    if (isatty(STDERR_FILENO)) bar.emplace(stderr, [&port] { return port.WriteProgress(); });
    kmpc::LogLine log = LogToStandardError;
    if (bar) log = [&bar](const std::string& line) { bar->PrintLine(line); };
    kmpc::UploadSession session(port, request, log);
    if (bar) session.OnSending([&bar](bool sending) { sending ? bar->Start() : bar->Stop(); });
    const kmpc::StopSignalWatch stop(
        [&session](int signal) { session.Stop(kmpc::ExitStatusOfStop(signal)); });
    return session.Run(image);
}

// The status of a run part whose output was held: a failure to write
// standard output comes first.
int Released(kmpc::HeldOutput& held, int status) {
    const int written = held.Release();
    return written != kmpc::kExitOk ? written : status;
}

// The console file that --upload all leaves out; tests name their own.
std::string ConsoleActiveFile() {
    const char* file = std::getenv("KMP_TEST_CONSOLE_ACTIVE");
    return file != nullptr ? file : kmpc::kConsoleActiveFile;
}

// The boards of a classroom upload, with the lines about names left out.
kmpc::UploadTargets Targets(const kmpc::Options& options, bool withSimulator) {
    if (!options.uploadAll) return kmpc::NamedTargets(options.uploadPorts);
    const auto listed = kmpc::ListPorts(withSimulator, kmpc::PortSource(kmpc::TestPortFolder()));
    return kmpc::AllTargets(listed, kmpc::ConsoleNames(ConsoleActiveFile()));
}

// The same image to every board at once, each upload in a child process.
int UploadToClassroom(CommandLine commandLine, const kmpc::Options& options,
                      const kmp::ProgramImage& image, bool withSimulator) {
    kmpc::UploadTargets targets;
    try {
        targets = Targets(options, withSimulator);
    } catch (const kmp::EComPort& error) {
        std::fprintf(stderr, "kmpc: %s\n", error.what());
        return kmpc::kExitPortFailed;
    }
    for (const std::string& note : targets.notes) std::fprintf(stderr, "%s\n", note.c_str());
    if (targets.ports.empty()) {
        std::fprintf(stderr, "kmpc: --upload all: no serial port found\n");
        return kmpc::kExitPortFailed;
    }
    return kmpc::UploadToEach(
        targets.ports,
        [&](const std::string& port) {
            return UploadCompiledImage(commandLine, options, image, port, withSimulator);
        },
        stderr);
}

int ListPortWork(CommandLine commandLine, const kmpc::Options& options, bool withSimulator) {
    const std::string testFolder = kmpc::TestPortFolder();
    // The stop signals become events only when no thread has them unblocked.
    if (options.watch) kmpc::BlockStopSignals();
    QCoreApplication application(commandLine.argc, commandLine.argv);
    if (options.watch) {
        return kmpc::WatchPortList(stdout, stderr, withSimulator, kmpc::PortSource(testFolder),
                                   kmpc::WatchedFolders(testFolder));
    }
    kmpc::HeldOutput held;
    return Released(held, kmpc::PrintPortList(held.Out(), held.Err(), withSimulator,
                                              kmpc::PortSource(testFolder)));
}

int RunPortWork(CommandLine commandLine, const kmpc::Options& options, bool withSimulator) {
    if (options.mode == kmpc::Mode::ListPorts)
        return ListPortWork(commandLine, options, withSimulator);
    const kmp::SystemClock clock;
    kmpc::HeldOutput held;
    kmp::ProgramImage image{};
    const int status =
        Released(held, kmpc::RunWithoutPort(options, clock, held.Out(), held.Err(), &image));
    // The listing is out before whatever the upload prints; a run whose
    // listing could not be written uploads nothing.
    if (status != kmpc::kExitOk || options.mode != kmpc::Mode::Compile ||
        options.uploadPort.empty())
        return status;
    // From here SIGINT and SIGTERM are read as events (in every thread and
    // child to come); before, they end a compile at once.
    kmpc::BlockStopSignals();
    // No Qt object exists before this point, so the classroom upload may fork.
    if (kmpc::ClassroomUpload(options))
        return UploadToClassroom(commandLine, options, image, withSimulator);
    return UploadCompiledImage(commandLine, options, image, options.uploadPort, withSimulator);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, "");
    // Standard output is written in flushed pieces (HeldOutput), also on a
    // terminal.
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    kmpc::Options options;
    if (!kmpc::ParseCommandLine(argc, argv, options)) return kmpc::kExitUsage;
    if (const auto answered = kmpc::AnswerHelpOrVersion(options)) return *answered;
    // The one reading of the simulator choice; it goes down as an argument.
    const bool withSimulator = kmp::SimulatorChosen(options.simulator);
    kmp::i18n::Init();
    if (options.trace) kmp::EnableSerialTrace();
    // Every write of standard output went through HeldOutput, which has
    // reported a failed one already.
    return RunPortWork({argc, argv}, options, withSimulator);
}
