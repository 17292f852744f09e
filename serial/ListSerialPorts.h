// ListSerialPorts: the names of the machine's serial ports, as `Port` takes them.
#pragma once

#include <QStringList>

#include <functional>
#include <vector>

#include "PortName.h"  // kSimulatorPortName

namespace kmp {

// True when KMP_SIMULATOR=1 is set in the environment (the window's and
// kmpc's --simulator option set it at start).
bool SimulatorEnabled();

// One serial device reported by the system.
struct SerialDeviceInfo {
    QString portName;  // e.g. "ttyUSB0"
    bool hasUsbIds = false;
};

// Reads the system's serial devices; throws EComPort(23, errno) on failure.
using SerialDeviceSource = std::function<std::vector<SerialDeviceInfo>()>;

// The system's devices through Qt's serial port information.
std::vector<SerialDeviceInfo> SystemSerialDevices();

// True for real UARTs and USB adapters; false for Bluetooth, gadget and
// other virtual terminals.
bool IsRealSerialPort(const SerialDeviceInfo& device);

// Replaces `List` by the real serial ports, sorted case-insensitively in the
// user's locale (duplicates kept), with "sim" added when `withSimulator`.
// With no port at all raises code 23 with system error 2 (ENOENT). On
// failure `List` is unchanged.
void ListSerialPorts(QStringList& List, bool withSimulator,
                     const SerialDeviceSource& source = SystemSerialDevices);
// The same, with the simulator taken from the environment.
void ListSerialPorts(QStringList& List);

}  // namespace kmp
