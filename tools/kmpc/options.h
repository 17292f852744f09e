// The command line of kmpc.
#pragma once

#include "compiler.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace kmpc {

// What kmpc is asked to do besides compiling.
enum class Mode {
    Compile,    // compile FILE (and upload it with --upload)
    ListPorts,  // --list-ports
    Text,       // --text FILE: print the editor's text of FILE
    ToKmp,      // --to-kmp IN OUT: save IN's text as the program file OUT
    FromLink,   // --from-link LINK OUT: save a program link's text as OUT
};

// How a compile run reports its errors (--errors).
enum class ErrorFormat {
    Log,   // the compile log on standard error (default)
    Gnu,   // "FILE:LINE:COLUMN: error: MESSAGE" lines on standard error
    Json,  // one JSON object on standard output
};

struct Options {
    Mode mode = Mode::Compile;
    kmp::TimingSettings timing;
    std::string imagePath;   // -o IMAGE; empty when not given
    std::string framePath;   // --frame FRAME; empty when not given
    std::string inputPath;   // FILE (or IN), "-" for standard input; LINK of --from-link
    std::string outputPath;  // OUT of --to-kmp and --from-link
    bool help = false;
    bool version = false;

    ErrorFormat errorFormat = ErrorFormat::Log;  // --errors FORMAT

    // Upload after a successful compile (kmpc-port does it).
    std::string uploadPort;  // --upload PORT; empty when not given
    // The names of --upload PORT[,PORT...] in their order (duplicates kept);
    // empty with --upload all.
    std::vector<std::string> uploadPorts;
    bool uploadAll = false;     // --upload all: every listed port but the console
    bool handshake = false;     // --handshake: CTS output flow control
    int dsrTimeoutMs = 5000;    // --dsr-timeout S
    int replyTimeoutMs = 2000;  // --reply-timeout S
    int maxTimeMs = -1;         // --max-time S: the longest whole upload; -1: no limit
    bool trace = false;         // --trace: the serial layer's trace on standard error
    bool verify = false;        // --verify: exit 3 unless the board echoed the frame exactly
    bool simulator = false;     // --simulator: the virtual controller "sim"
    bool watch = false;         // --watch: --list-ports prints the ports that come and go
};

// True when --upload names a list of ports or all of them: the log lines
// then carry the port's name and a summary follows. One name uploads and
// prints as a single upload always did.
bool ClassroomUpload(const Options& options);

// True when the run needs the serial layer, which lives in kmpc-port.
bool NeedsPortProgram(const Options& options);

// A command line that kmpc does not accept; the message names the fault.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws UsageError.
Options ParseOptions(const std::vector<std::string>& args);

// Parses the command line into `options`; on a usage error prints it on
// standard error and returns false.
bool ParseCommandLine(int argc, char** argv, Options& options);

// The text of --help.
std::string HelpText();

// The text of --version.
std::string VersionText();

}  // namespace kmpc
