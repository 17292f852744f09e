#include "options.h"

#include <charconv>
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

void SetInput(Options& options, const std::string& path) {
    if (!options.inputPath.empty()) throw UsageError("only one FILE can be compiled");
    options.inputPath = path;
}

// Handles one option; returns false when `arg` is no option this program knows.
bool ApplyOption(Options& options, ArgumentCursor& cursor, const std::string& arg) {
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
    if (name == "--help" || name == "-h") {
        options.help = true;
    } else if (name == "--version" || name == "-V") {
        options.version = true;
    } else if (name == "--period") {
        options.timing.period = ParseValue(name, cursor.ValueOf(name, attached), 1, 253);
    } else if (name == "--delay") {
        options.timing.delay = ParseValue(name, cursor.ValueOf(name, attached), 1, 65535);
    } else if (name == "--prescaler") {
        options.timing.prescaler = ParseValue(name, cursor.ValueOf(name, attached), 0, 7);
    } else if (name == "-o" || name == "--output") {
        options.imagePath = cursor.ValueOf(name, attached);
        if (options.imagePath.empty()) throw UsageError("option -o needs a file name");
    } else {
        return false;
    }
    if (attached && (name == "--help" || name == "--version")) {
        throw UsageError("option " + std::string(name) + " takes no value");
    }
    return true;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    ArgumentCursor cursor(args);
    bool onlyFiles = false;
    while (!cursor.AtEnd()) {
        const std::string& arg = cursor.Next();
        if (onlyFiles || arg == "-" || !arg.starts_with("-")) {
            SetInput(options, arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (!ApplyOption(options, cursor, arg)) {
            throw UsageError("unknown option '" + arg + "'");
        }
    }
    if (!options.help && !options.version && options.inputPath.empty()) {
        throw UsageError("no FILE given");
    }
    return options;
}

std::string HelpText() {
    return "Usage: kmpc [OPTION]... FILE\n"
           "Compile the control program FILE into the 128-byte program image.\n"
           "FILE may be - for standard input; it may be plain text (UTF-8 or\n"
           "Windows-1250) or a .kmp program file.\n"
           "\n"
           "  --period N     timer period, 1..253 (default 200)\n"
           "  --delay N      additional timer delay, 1..65535 (default 1)\n"
           "  --prescaler N  timer prescaler, 0..7 (default 3)\n"
           "  -o IMAGE       write the 128 image bytes to IMAGE after a successful run\n"
           "  -h, --help     show this help and exit\n"
           "  -V, --version  show the version and exit\n"
           "\n"
           "The listing goes to standard output, the compile log to standard error.\n"
           "\n"
           "Exit status:\n"
           "  0  the program compiled\n"
           "  1  the program has errors (or does not fit into the image)\n"
           "  2  a usage error, or FILE cannot be read or IMAGE cannot be written\n";
}

std::string VersionText() {
    return "kmpc (kmp) " KMP_VERSION "\n";
}

}  // namespace kmpc
