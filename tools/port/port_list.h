// kmpc --list-ports: the serial ports, one a line, with a description.
#pragma once

#include <cstdio>
#include <string>

namespace kmpc {

// The line of one port: its name, then a tab and the description when there is one.
std::string PortListLine(const std::string& name, const std::string& description);

// Prints the serial ports (with "sim" when `withSimulator`) to `out`. No
// port at all is an empty list; a failing system list is a port failure on
// `err`. Returns the exit status.
int PrintPortList(std::FILE* out, std::FILE* err, bool withSimulator);

}  // namespace kmpc
