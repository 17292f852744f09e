// ListSerialPorts: the names of the machine's serial ports, as `Port` takes them.
#pragma once

#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "PortName.h"  // kSimulatorPortName

namespace kmp {

// One serial device reported by the system.
struct SerialDeviceInfo {
    QString portName;  // e.g. "ttyUSB0"
    bool hasUsbIds = false;
    QString description{};  // what the system tells about it; may be empty
};

// Reads the system's serial devices; throws EComPort(23, errno) on failure.
using SerialDeviceSource = std::function<std::vector<SerialDeviceInfo>()>;

// The system's devices through Qt's serial port information.
std::vector<SerialDeviceInfo> SystemSerialDevices();

// True for real UARTs and USB adapters; false for Bluetooth, gadget and
// other virtual terminals.
bool IsRealSerialPort(const SerialDeviceInfo& device);

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

// The real serial ports with their descriptions, sorted by name
// case-insensitively in the user's locale (duplicates kept), with "sim"
// (no description) added when `withSimulator`. With no port at all raises
// code 23 with system error 2 (ENOENT).
std::vector<SerialDeviceInfo> ListSerialDevices(
    bool withSimulator, const SerialDeviceSource& source = SystemSerialDevices);

// Replaces `List` by the names of ListSerialDevices. On failure `List` is
// unchanged.
void ListSerialPorts(QStringList& List, bool withSimulator,
                     const SerialDeviceSource& source = SystemSerialDevices);
// The same without the simulator.
void ListSerialPorts(QStringList& List);

}  // namespace kmp
