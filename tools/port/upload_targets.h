// The boards of kmpc --upload PORT,PORT... and --upload all: each port once,
// and for all, every listed port except the system console.
#pragma once

#include "port_list.h"

#include <string>
#include <vector>

namespace kmpc {

// The file in which the kernel names the system console's terminals.
inline constexpr const char* kConsoleActiveFile = "/sys/class/tty/console/active";

// What to upload to, and the lines (for standard error) about the names left out.
struct UploadTargets {
    std::vector<std::string> ports;
    std::vector<std::string> notes;
};

// The device that a port name opens: "sim" itself, a name without a slash
// under /dev/, with symbolic links resolved where the path exists. Two names
// with the same key are the same port.
std::string DeviceKey(const std::string& port);

// The terminal names in `activeFile` ("tty0 ttyS0"); none when it cannot be read.
std::vector<std::string> ConsoleNames(const std::string& activeFile);

// The ports named, in their order, each device once.
UploadTargets NamedTargets(const std::vector<std::string>& names);

// The ports listed, without those that are the console's terminals (by
// name, or by the device they open).
UploadTargets AllTargets(const std::vector<ListedPort>& listed,
                         const std::vector<std::string>& console);

}  // namespace kmpc
