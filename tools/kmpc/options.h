// The command line of kmpc.
#pragma once

#include "compiler.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace kmpc {

struct Options {
    kmp::TimingSettings timing;
    std::string imagePath;  // -o IMAGE; empty when not given
    std::string inputPath;  // FILE, "-" for standard input
    bool help = false;
    bool version = false;
};

// A command line that kmpc does not accept; the message names the fault.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws UsageError.
Options ParseOptions(const std::vector<std::string>& args);

// The text of --help.
std::string HelpText();

// The text of --version.
std::string VersionText();

}  // namespace kmpc
