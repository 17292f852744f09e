// Runs a program as a child process with an environment of its own.
#pragma once

#include <string>
#include <vector>

namespace kmp::test {

struct ChildResult {
    int exitCode = -1;  // -1 when the child did not exit normally
    std::string out;
    std::string err;
};

// Runs `argv` (argv[0] is the program's path) with exactly `env`
// ("NAME=value" entries) and waits for its end, collecting both outputs.
ChildResult RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& env);

// This process's environment without its locale variables ("LANGUAGE",
// "LANG", "LC_*", "LOCPATH") and with `locale` added, so that a child sees
// only the language settings that a test chooses.
std::vector<std::string> LocaleEnvironment(const std::vector<std::string>& locale);

}  // namespace kmp::test
