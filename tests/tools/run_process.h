// Runs a program as a child process with given standard input and collects
// its standard output, standard error and exit status.
#pragma once

#include <string>
#include <vector>

namespace kmp::test {

struct ProcessResult {
    std::string out;
    std::string err;
    int status = -1;  // exit status, or -1 when the process did not exit normally
};

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input = {},
                         const std::vector<std::string>& extraEnv = {});

// The lines of a text whose lines all end with LF; a last line without LF is kept too.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace kmp::test
