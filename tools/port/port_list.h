// kmpc --list-ports: the serial ports, one a line, with a description.
#pragma once

#include "ListSerialPorts.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kmpc {

// One port as kmpc prints it.
struct ListedPort {
    std::string name;
    std::string description;  // may be empty
};

// The line of one port: its name, then a tab and the description when there is one.
std::string PortListLine(const std::string& name, const std::string& description);

// The ports of `source` (with "sim" when `withSimulator`), sorted; no port
// at all is an empty list. Throws EComPort when the system list fails.
std::vector<ListedPort> ListPorts(bool withSimulator, const kmp::SerialDeviceSource& source);

// Prints the serial ports (with "sim" when `withSimulator`) to `out`. No
// port at all is an empty list; a failing system list is a port failure on
// `err`. Returns the exit status.
int PrintPortList(std::FILE* out, std::FILE* err, bool withSimulator,
                  const kmp::SerialDeviceSource& source = kmp::SystemSerialDevices);

}  // namespace kmpc
