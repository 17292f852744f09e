#include "ListSerialPorts.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>

#include "ComError.h"

namespace kmp {

namespace {

// Terminals that look like serial ports but have no line behind them.
constexpr const char* kVirtualPrefixes[] = {"rfcomm", "ttyGS", "ttyprintk", "pts", "ttyV", "tnt"};

std::string Hex4(std::uint16_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

void AppendWord(std::string& text, const std::string& word) {
    if (word.empty()) return;
    if (!text.empty()) text += ' ';
    text += word;
}

UsbIdentity IdentityOf(const QSerialPortInfo& info) {
    UsbIdentity identity{info.manufacturer().simplified().toStdString(),
                         info.description().simplified().toStdString(), std::nullopt, std::nullopt};
    if (info.hasVendorIdentifier()) identity.vendorId = info.vendorIdentifier();
    if (info.hasProductIdentifier()) identity.productId = info.productIdentifier();
    return identity;
}

}  // namespace

std::vector<SerialDeviceInfo> SystemSerialDevices() {
    std::vector<SerialDeviceInfo> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const UsbIdentity identity = IdentityOf(info);
        devices.push_back({info.portName(), info.hasVendorIdentifier(),
                           QString::fromStdString(PortDescription(identity)),
                           info.serialNumber().simplified(), identity.vendorId,
                           identity.productId});
    }
    return devices;
}

bool IsRealSerialPort(const SerialDeviceInfo& device) {
    if (device.portName.isEmpty()) return false;
    if (device.hasUsbIds) return true;
    for (const char* prefix : kVirtualPrefixes)
        if (device.portName.startsWith(QLatin1String(prefix))) return false;
    return true;
}

std::string PortDescription(const UsbIdentity& identity) {
    // Many adapters repeat the maker's name at the start of the product name.
    const bool productNamesMaker =
        !identity.manufacturer.empty() && identity.product.starts_with(identity.manufacturer);
    std::string text;
    if (!productNamesMaker) AppendWord(text, identity.manufacturer);
    AppendWord(text, identity.product);
    if (identity.vendorId && identity.productId)
        AppendWord(text, Hex4(*identity.vendorId) + ":" + Hex4(*identity.productId));
    return text;
}

std::vector<SerialDeviceInfo> ListSerialDevices(bool withSimulator,
                                                const SerialDeviceSource& source) {
    std::vector<SerialDeviceInfo> ports;
    for (SerialDeviceInfo& device : source())
        if (IsRealSerialPort(device)) ports.push_back(std::move(device));
    if (withSimulator) ports.push_back({QString::fromLatin1(kSimulatorPortName), false, {}});
    if (ports.empty()) throw EComPort(CError_RegError, ENOENT);
    std::stable_sort(ports.begin(), ports.end(),
                     [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) {
                         return QString::localeAwareCompare(a.portName.toCaseFolded(),
                                                            b.portName.toCaseFolded()) < 0;
                     });
    return ports;
}

void ListSerialPorts(QStringList& List, bool withSimulator, const SerialDeviceSource& source) {
    QStringList names;
    for (const SerialDeviceInfo& port : ListSerialDevices(withSimulator, source))
        names.append(port.portName);
    List = names;
}

void ListSerialPorts(QStringList& List) {
    ListSerialPorts(List, false);
}

bool PortIdentity::SameAdapter(const PortIdentity& other) const {
    if (!stableName.isEmpty() && stableName == other.stableName) return true;
    return !serialNumber.isEmpty() && serialNumber == other.serialNumber;
}

std::map<QString, PortIdentity> SystemPortIdentities(const QString& byIdFolder) {
    return PortIdentities(SystemSerialDevices(), byIdFolder);
}

std::map<QString, PortIdentity> PortIdentities(const std::vector<SerialDeviceInfo>& devices,
                                               const QString& byIdFolder) {
    std::map<QString, PortIdentity> identities;
    for (const SerialDeviceInfo& device : devices) {
        PortIdentity& identity = identities[device.portName];
        identity.description = device.description;
        identity.serialNumber = device.serialNumber;
    }
    // Each link names its device; canonicalFilePath is empty for a dangling one.
    const QDir folder(byIdFolder);
    for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files)) {
        const QString target = link.canonicalFilePath();
        if (!link.isSymLink() || target.isEmpty()) continue;
        identities[QFileInfo(target).fileName()].stableName = link.absoluteFilePath();
    }
    return identities;
}

QString PortToolTip(const PortIdentity& identity) {
    QStringList lines;
    if (!identity.description.isEmpty()) lines << identity.description;
    if (!identity.serialNumber.isEmpty()) lines << QStringLiteral("S/N ") + identity.serialNumber;
    if (!identity.stableName.isEmpty()) lines << identity.stableName;
    return lines.join(QLatin1Char('\n'));
}

}  // namespace kmp
