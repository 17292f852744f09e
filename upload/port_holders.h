// The programs that hold a device open, found by scanning /proc/*/fd.
#pragma once

#include <string>
#include <vector>

namespace kmp {

struct PortHolder {
    int pid = 0;
    std::string name;  // /proc/PID/comm, e.g. "ModemManager"
};

// Every other process with an open descriptor on the device at `devicePath`
// (same device number for a device file, same file otherwise), in the order
// of their pids, each once. Processes that cannot be seen (another user's, as
// non-root) or that end while scanned are left out; empty when the device
// does not exist or /proc cannot be read.
std::vector<PortHolder> FindPortHolders(const std::string& devicePath,
                                        const std::string& procRoot = "/proc");

// The Slovak sentences that complete the busy hint: who holds the port and,
// for ModemManager and brltty, the one-line remedy. Empty for no holders.
std::string PortHolderSentences(const std::vector<PortHolder>& holders);

}  // namespace kmp
