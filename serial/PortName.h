// Port names: the name of the virtual controller's port and the device file
// that any other name stands for. Header-only, for the parts of the program
// built without the serial layer.
#pragma once

#include <string>

namespace kmp {

// The port name that opens the port's attached virtual controller.
inline constexpr const char* kSimulatorPortName = "sim";

// The device file of a port name: a name such as "ttyUSB0" lives in /dev/,
// a name that begins with "/" is a path of its own.
inline std::string PortDevicePath(const std::string& portName) {
    if (!portName.empty() && portName.front() == '/') return portName;
    return "/dev/" + portName;
}

}  // namespace kmp
