// A log line that explains why a serial port could not be opened, for the
// failures that a Linux user can mend: no permission, or a port in use.
#pragma once

#include <string>

#include "PortName.h"  // PortDevicePath

namespace kmp {

// A Slovak line for the log (UTF-8) when `systemError` is EACCES or EPERM
// (how to get permission on Debian, naming the group that owns the device)
// or EBUSY or EAGAIN (another program holds the port, named with its pid
// when /proc shows it); empty otherwise.
std::string PortOpenHint(const std::string& portName, int systemError);

}  // namespace kmp
