// kmpc --list-ports: the serial ports, one a line, with a description.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace kmpc {

// What the system tells about a USB serial device.
struct UsbIdentity {
    std::string manufacturer;
    std::string product;
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
};

// "MANUFACTURER PRODUCT VVVV:PPPP" with the parts that are known (the ids
// as four hexadecimal digits each); empty when nothing is known.
std::string PortDescription(const UsbIdentity& identity);

// The line of one port: its name, then a tab and the description when there is one.
std::string PortListLine(const std::string& name, const std::string& description);

// Prints ListSerialPorts' result (with "sim" when the simulator is on) to
// `out`. No port at all is an empty list; a failing system list is a port
// failure on `err`. Returns the exit status.
int PrintPortList(std::FILE* out, std::FILE* err);

}  // namespace kmpc
