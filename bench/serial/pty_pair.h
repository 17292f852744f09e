// A pseudo-terminal for the measurements: the program holds the master end.
#pragma once

#include <string>

namespace kmp::bench {

struct PtyPair {
    PtyPair();
    ~PtyPair();
    int master = -1;
    int slave = -1;
    std::string path;
};

}  // namespace kmp::bench
