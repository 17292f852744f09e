#include "options.h"

#include "error_formats.h"
#include "kmp_version.h"
#include "printable_name.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstddef>
#include <optional>
#include <string_view>

namespace kmpc {
namespace {

// A whole decimal number from `low` to `high`, or a usage error naming the option.
int ParseValue(std::string_view option, std::string_view text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
        throw UsageError("invalid value '" + std::string(text) + "' for " + std::string(option) +
                         " (allowed " + std::to_string(low) + ".." + std::to_string(high) + ")");
    }
    return value;
}

// The value of an option given as "--name VALUE" or "--name=VALUE".
class ArgumentCursor {
public:
    explicit ArgumentCursor(const std::vector<std::string>& args) : args_(args) {}
    bool AtEnd() const { return index_ >= args_.size(); }
    const std::string& Next() { return args_[index_++]; }
    std::string ValueOf(std::string_view option, std::optional<std::string_view> attached) {
        if (attached) return std::string(*attached);
        if (AtEnd()) throw UsageError("option " + std::string(option) + " needs a value");
        return Next();
    }

private:
    const std::vector<std::string>& args_;
    std::size_t index_ = 0;
};

// Seconds, with an optional fraction, from 0 to 3600, as milliseconds.
int ParseSeconds(std::string_view option, std::string_view text) {
    double seconds = -1;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, seconds, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || ptr != end || !(seconds >= 0 && seconds <= 3600)) {
        throw UsageError("invalid value '" + std::string(text) + "' for " + std::string(option) +
                         " (allowed 0..3600 seconds)");
    }
    return static_cast<int>(seconds * 1000 + 0.5);
}

// What the parse gathers besides the options themselves.
struct ParseState {
    std::vector<std::string> files;
    std::string modeOption;  // "--text", "--to-kmp" or "--list-ports"
    std::string uploadOnly;  // the last option that needs --upload
};

void SetMode(Options& options, ParseState& state, Mode mode, std::string_view name) {
    if (!state.modeOption.empty() && state.modeOption != name) {
        throw UsageError("options " + state.modeOption + " and " + std::string(name) +
                         " cannot be combined");
    }
    options.mode = mode;
    state.modeOption = name;
}

// The timing, image and information options of the compiler.
bool ApplyCompileOption(Options& options, ArgumentCursor& cursor, std::string_view name,
                        std::optional<std::string_view> attached) {
    if (name == "--help" || name == "-h") {
        options.help = true;
    } else if (name == "--version" || name == "-V") {
        options.version = true;
    } else if (name == "--period") {
        options.timing.period =
            ParseValue(name, cursor.ValueOf(name, attached), kmp::kPeriodMin, kmp::kPeriodMax);
    } else if (name == "--delay") {
        options.timing.delay =
            ParseValue(name, cursor.ValueOf(name, attached), kmp::kDelayMin, kmp::kDelayMax);
    } else if (name == "--prescaler") {
        options.timing.prescaler = ParseValue(name, cursor.ValueOf(name, attached),
                                              kmp::kPrescalerMin, kmp::kPrescalerMax);
    } else if (name == "-o" || name == "--output") {
        options.imagePath = cursor.ValueOf(name, attached);
        if (options.imagePath.empty()) throw UsageError("option -o needs a file name");
    } else if (name == "--frame") {
        options.framePath = cursor.ValueOf(name, attached);
        if (options.framePath.empty()) throw UsageError("option --frame needs a file name");
    } else if (name == "--errors") {
        options.errorFormat = ParseErrorFormat(cursor.ValueOf(name, attached));
    } else {
        return false;
    }
    return true;
}

// "--upload PORT[,PORT...]" or "--upload all".
void SetUploadPorts(Options& options, const std::string& value) {
    if (value.empty()) throw UsageError("option --upload needs a port name");
    options.uploadPort = value;
    options.uploadPorts.clear();
    options.uploadAll = value == "all";
    if (options.uploadAll) return;
    for (std::size_t start = 0;;) {
        const std::size_t comma = value.find(',', start);
        std::string name = value.substr(start, comma - start);
        if (name.empty())
            throw UsageError("option --upload has an empty port name in '" + value + "'");
        if (name == "all") throw UsageError("--upload all cannot be combined with port names");
        options.uploadPorts.push_back(std::move(name));
        if (comma == std::string::npos) return;
        start = comma + 1;
    }
}

// The serial port options (the upload and the port list).
bool ApplyPortOption(Options& options, ParseState& state, ArgumentCursor& cursor,
                     std::string_view name, std::optional<std::string_view> attached) {
    if (name == "--upload") {
        SetUploadPorts(options, cursor.ValueOf(name, attached));
    } else if (name == "--watch") {
        options.watch = true;
    } else if (name == "--handshake") {
        options.handshake = true;
        state.uploadOnly = name;
    } else if (name == "--trace") {
        options.trace = true;
    } else if (name == "--verify") {
        options.verify = true;
        state.uploadOnly = name;
    } else if (name == "--dsr-timeout") {
        options.dsrTimeoutMs = ParseSeconds(name, cursor.ValueOf(name, attached));
        state.uploadOnly = name;
    } else if (name == "--reply-timeout") {
        options.replyTimeoutMs = ParseSeconds(name, cursor.ValueOf(name, attached));
        state.uploadOnly = name;
    } else if (name == "--max-time") {
        options.maxTimeMs = ParseSeconds(name, cursor.ValueOf(name, attached));
        state.uploadOnly = name;
    } else if (name == "--simulator") {
        options.simulator = true;
    } else if (name == "--list-ports") {
        SetMode(options, state, Mode::ListPorts, name);
    } else {
        return false;
    }
    return true;
}

// The program text options.
bool ApplyTextOption(Options& options, ParseState& state, std::string_view name) {
    if (name == "--text") {
        SetMode(options, state, Mode::Text, name);
    } else if (name == "--to-kmp") {
        SetMode(options, state, Mode::ToKmp, name);
    } else if (name == "--from-link") {
        SetMode(options, state, Mode::FromLink, name);
    } else {
        return false;
    }
    return true;
}

// Handles one option; returns false when `arg` is no option this program knows.
bool ApplyOption(Options& options, ParseState& state, ArgumentCursor& cursor,
                 const std::string& arg) {
    std::string_view name = arg;
    std::optional<std::string_view> attached;
    if (name.starts_with("--")) {
        if (const std::size_t eq = name.find('='); eq != std::string_view::npos) {
            attached = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
    } else if (name.starts_with("-o") && name.size() > 2) {
        attached = name.substr(2);
        name = "-o";
    }
    if (!ApplyCompileOption(options, cursor, name, attached) &&
        !ApplyPortOption(options, state, cursor, name, attached) &&
        !ApplyTextOption(options, state, name)) {
        return false;
    }
    static constexpr std::string_view kFlags[] = {
        "--help",       "--version", "--handshake", "--verify", "--simulator",
        "--list-ports", "--watch",   "--text",      "--to-kmp", "--from-link"};
    if (attached && std::find(std::begin(kFlags), std::end(kFlags), name) != std::end(kFlags)) {
        throw UsageError("option " + std::string(name) + " takes no value");
    }
    return true;
}

// An option of the compile run that the chosen mode has no use for.
void RejectCompileOnly(const Options& options, const std::string& modeOption) {
    if (!options.imagePath.empty())
        throw UsageError("option -o cannot be combined with " + modeOption);
    if (!options.framePath.empty())
        throw UsageError("option --frame cannot be combined with " + modeOption);
    if (!options.uploadPort.empty())
        throw UsageError("option --upload cannot be combined with " + modeOption);
    if (options.errorFormat != ErrorFormat::Log)
        throw UsageError("option --errors cannot be combined with " + modeOption);
}

// The number of FILEs and the combinations of options that the mode allows.
void CheckMode(Options& options, const ParseState& state) {
    const std::vector<std::string>& files = state.files;
    if (options.mode != Mode::Compile) RejectCompileOnly(options, state.modeOption);
    if (options.errorFormat == ErrorFormat::Json && options.imagePath == "-")
        throw UsageError("option -o - cannot be combined with --errors json");
    if (!state.uploadOnly.empty() && options.uploadPort.empty()) {
        throw UsageError("option " + state.uploadOnly + " needs --upload");
    }
    if (options.watch && options.mode != Mode::ListPorts)
        throw UsageError("option --watch needs --list-ports");
    switch (options.mode) {
    case Mode::ListPorts:
        if (!files.empty()) throw UsageError("--list-ports takes no FILE");
        return;
    case Mode::ToKmp:
        if (files.size() != 2) throw UsageError("--to-kmp needs two files: IN OUT");
        if (files[1] == "-") throw UsageError("--to-kmp cannot write to standard output");
        options.inputPath = files[0];
        options.outputPath = files[1];
        return;
    case Mode::FromLink:
        if (files.size() != 2) throw UsageError("--from-link needs a link and a file: LINK OUT");
        if (files[1] == "-") throw UsageError("--from-link cannot write to standard output");
        options.inputPath = files[0];
        options.outputPath = files[1];
        return;
    case Mode::Text:
    case Mode::Compile:
        if (files.empty()) throw UsageError("no FILE given");
        if (files.size() > 1) {
            throw UsageError(options.mode == Mode::Text ? "--text takes one FILE"
                                                        : "only one FILE can be compiled");
        }
        options.inputPath = files[0];
        return;
    }
}

}  // namespace

bool ClassroomUpload(const Options& options) {
    return options.uploadAll || options.uploadPorts.size() > 1;
}

bool NeedsPortProgram(const Options& options) {
    return !options.uploadPort.empty() || options.mode == Mode::ListPorts || options.simulator;
}

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    ParseState state;
    ArgumentCursor cursor(args);
    bool onlyFiles = false;
    while (!cursor.AtEnd()) {
        const std::string& arg = cursor.Next();
        if (onlyFiles || arg == "-" || !arg.starts_with("-")) {
            state.files.push_back(arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (!ApplyOption(options, state, cursor, arg)) {
            throw UsageError("unknown option '" + arg + "'");
        }
    }
    if (!options.help && !options.version) CheckMode(options, state);
    return options;
}

std::string HelpText() {
    return "Usage: kmpc [OPTION]... FILE\n"
           "  or:  kmpc --upload PORT [--handshake] [--dsr-timeout S] [--reply-timeout S]\n"
           "              [--max-time S] [--verify] FILE\n"
           "  or:  kmpc --upload PORT,PORT... | all [UPLOAD OPTION]... FILE\n"
           "  or:  kmpc --list-ports [--watch] [--simulator]\n"
           "  or:  kmpc --text FILE\n"
           "  or:  kmpc --to-kmp IN OUT\n"
           "  or:  kmpc --from-link LINK OUT\n"
           "Compile the control program FILE into the 128-byte program image.\n"
           "FILE may be - for standard input; it may be plain text (UTF-8 or\n"
           "Windows-1250) or a .kmp program file.\n"
           "\n"
           "  --period N     timer period, 1..253 (default 200)\n"
           "  --delay N      additional timer delay, 1..65535 (default 1)\n"
           "  --prescaler N  timer prescaler, 0..7 (default 3)\n"
           "  -o IMAGE       write the 128 image bytes to IMAGE after a successful run\n"
           "  --frame FRAME  write the bytes that --upload sends (128, 254, then the\n"
           "                 image up to its first 255) to FRAME after a successful run\n"
           "  --errors gnu   instead of the log, write each error to standard error as\n"
           "                 FILE:LINE:COLUMN: error: MESSAGE (LINE and COLUMN from 1,\n"
           "                 COLUMN in characters; FILE - is <stdin>), for editors\n"
           "  --errors json  write one JSON object to standard output instead of the\n"
           "                 listing and the log: success, errors (line, column, length,\n"
           "                 printed_line, printed_position, number, message), failure,\n"
           "                 log, listing (text, source_line) and image (128 bytes, or\n"
           "                 null when the run failed)\n"
           "\n"
           "  --upload PORT      after a successful run, send the image to the board on\n"
           "                     PORT (ttyUSB0, /dev/pts/3, sim) at 300 baud 8N2\n"
           "  --upload P1,P2...  send it to every board named, all at once: each log line\n"
           "                     begins with its port's name, then \"N of M boards\n"
           "                     received the program\"; a port named twice gets it once\n"
           "  --upload all       send it to every port --list-ports shows, except the\n"
           "                     system console\n"
           "  --handshake        let the board hold back the sending through CTS\n"
           "  --dsr-timeout S    wait at most S seconds for DSR (default 5)\n"
           "  --reply-timeout S  stop S seconds after the last byte returned (default 2)\n"
           "  --max-time S       end the whole upload after S seconds at the latest, even\n"
           "                     while the board keeps sending (exit status 3)\n"
           "  --verify           exit with status 3 unless the board returned exactly the\n"
           "                     bytes sent (a board that echoes what it receives)\n"
           "  --trace            write the serial layer's trace to standard error: open,\n"
           "                     settings as read back, event mask, each write's outcome,\n"
           "                     modem-line changes, a lost line (each with its time)\n"
           "  --simulator        offer the virtual controller as port \"sim\"\n"
           "                     (the same as KMP_SIMULATOR=1)\n"
           "  --list-ports       list the serial ports, one a line: NAME, a tab, and a\n"
           "                     description where the system has one\n"
           "  --watch            with --list-ports: print the present ports as \"+ NAME\",\n"
           "                     then \"+ NAME\" or \"- NAME\" as ports come and go, until\n"
           "                     interrupted (exit status 0)\n"
           "  --text FILE        print the program text of FILE as the window's editor\n"
           "                     shows it (UTF-8, LF line ends)\n"
           "  --to-kmp IN OUT    save the program text of IN as the program file OUT\n"
           "  --from-link LINK OUT\n"
           "                     save the program of a share link (the page's\n"
           "                     \"Zdieľať…\") as the program file OUT, as the page saves\n"
           "                     it, and print the link's values as options:\n"
           "                     --prescaler P --period T --delay D\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "  -V, --version  show the version and exit\n"
           "\n"
           "The listing goes to standard output, the compile log (and the upload's\n"
           "lines) to standard error. While the frame goes out, a progress line is\n"
           "drawn on standard error when it is a terminal. SIGINT or SIGTERM stop an\n"
           "upload: the unsent bytes are dropped and the port is closed.\n"
           "\n"
           "Exit status:\n"
           "  0  the program compiled\n"
           "  1  the program has errors (or does not fit into the image)\n"
           "  2  a usage error, or FILE cannot be read or IMAGE cannot be written\n"
           "  3  the port failed, DSR did not come on in time, or --max-time passed\n"
           "     (with several ports: not every board received the program)\n"
           "  130, 143  --upload stopped by SIGINT or SIGTERM\n"
           "\n"
           "The language (every statement, its form, ranges and bytes):\n"
           "  " KMP_REFERENCE_DIR "/jazyk.md (English: language.md)\n";
}

std::string VersionText() {
    return "kmpc (kmp) " KMP_VERSION "\n";
}

bool ParseCommandLine(int argc, char** argv, Options& options) {
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
        return true;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "kmpc: %s\nTry 'kmpc --help' for more information.\n",
                     PrintableName(e.what()).c_str());
        return false;
    }
}

}  // namespace kmpc
