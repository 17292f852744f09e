#include "ListSerialPorts.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "ComError.h"

namespace kmp {

namespace {

// Terminals that look like serial ports but have no line behind them.
constexpr const char* kVirtualPrefixes[] = {"rfcomm", "ttyGS", "ttyprintk", "pts", "ttyV", "tnt"};

}  // namespace

bool SimulatorEnabled() {
    const char* value = std::getenv("KMP_SIMULATOR");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

std::vector<SerialDeviceInfo> SystemSerialDevices() {
    std::vector<SerialDeviceInfo> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back({info.portName(), info.hasVendorIdentifier()});
    return devices;
}

bool IsRealSerialPort(const SerialDeviceInfo& device) {
    if (device.portName.isEmpty()) return false;
    if (device.hasUsbIds) return true;
    for (const char* prefix : kVirtualPrefixes)
        if (device.portName.startsWith(QLatin1String(prefix))) return false;
    return true;
}

void ListSerialPorts(QStringList& List, bool withSimulator, const SerialDeviceSource& source) {
    QStringList names;
    for (const SerialDeviceInfo& device : source())
        if (IsRealSerialPort(device)) names.append(device.portName);
    if (withSimulator) names.append(QString::fromLatin1(kSimulatorPortName));
    if (names.isEmpty()) throw EComPort(CError_RegError, ENOENT);
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a.toCaseFolded(), b.toCaseFolded()) < 0;
    });
    List = names;
}

void ListSerialPorts(QStringList& List) {
    ListSerialPorts(List, SimulatorEnabled());
}

}  // namespace kmp
