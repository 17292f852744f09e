#include "port_list.h"

#include "ComError.h"
#include "ListSerialPorts.h"
#include "run.h"

#include <QSerialPortInfo>
#include <QStringList>

#include <cerrno>
#include <map>

namespace kmpc {
namespace {

constexpr const char* kSimulatorDescription = "virtuálny ovládač (simulátor dosky)";

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

// The descriptions of the system's serial devices by port name.
std::map<std::string, std::string> SystemDescriptions() {
    std::map<std::string, std::string> descriptions;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        descriptions[info.portName().toStdString()] = PortDescription(IdentityOf(info));
    descriptions[kmp::kSimulatorPortName] = kSimulatorDescription;
    return descriptions;
}

}  // namespace

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

std::string PortListLine(const std::string& name, const std::string& description) {
    return description.empty() ? name : name + '\t' + description;
}

int PrintPortList(std::FILE* out, std::FILE* err) {
    QStringList names;
    try {
        kmp::ListSerialPorts(names);
    } catch (const kmp::EComPort& error) {
        if (error.ErrorCode() == kmp::CError_RegError && error.SystemError() == ENOENT)
            return kExitOk;
        std::fprintf(err, "kmpc: %s\n", error.what());
        return kExitPortFailed;
    }
    const std::map<std::string, std::string> descriptions = SystemDescriptions();
    for (const QString& name : names) {
        const std::string port = name.toStdString();
        const auto found = descriptions.find(port);
        const std::string line =
            PortListLine(port, found == descriptions.end() ? "" : found->second);
        std::fprintf(out, "%s\n", line.c_str());
    }
    return kExitOk;
}

}  // namespace kmpc
