// ListSerialPorts: the names of the machine's serial ports, as `Port` takes them.
#pragma once

#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "PortName.h"  // kSimulatorPortName

namespace kmp {

// One serial device reported by the system.
struct SerialDeviceInfo {
    QString portName;  // e.g. "ttyUSB0"
    bool hasUsbIds = false;
    QString description{};   // what the system tells about it; may be empty
    QString serialNumber{};  // the USB serial number; may be empty
    std::optional<std::uint16_t> vendorId{};
    std::optional<std::uint16_t> productId{};
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

// What the system knows of one port: for its tooltip, and to know the same
// adapter again when it comes back, perhaps under another name.
struct PortIdentity {
    QString description;   // as in SerialDeviceInfo
    QString serialNumber;  // the USB serial number; may be empty
    QString stableName;    // its link in /dev/serial/by-id; may be empty

    // True when both name the same adapter by link or serial number.
    bool SameAdapter(const PortIdentity& other) const;
};

// The identities of `devices`, by port name, with the links of `byIdFolder`
// (a link that points nowhere is left out).
std::map<QString, PortIdentity> PortIdentities(
    const std::vector<SerialDeviceInfo>& devices,
    const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));
// The same for the system's devices.
std::map<QString, PortIdentity> SystemPortIdentities(
    const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));

// The tooltip of a port: its description, "S/N " and the serial number, and
// the by-id link, one a line, with the parts that are known.
QString PortToolTip(const PortIdentity& identity);

}  // namespace kmp
