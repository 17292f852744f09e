#include "port_list.h"

#include "ComError.h"
#include "run.h"
#include "usb_adapters.h"

#include <cerrno>

namespace kmpc {
namespace {

constexpr const char* kSimulatorDescription = "virtuálny ovládač (simulátor dosky)";

// A known adapter's chip goes in front of what the system tells:
// "CH340 – QinHeng Electronics USB Serial 1a86:7523".
std::string DescriptionOf(const kmp::SerialDeviceInfo& device) {
    const std::string description = device.description.toStdString();
    if (!device.vendorId || !device.productId) return description;
    const char* adapter = kmp::UsbAdapterName(*device.vendorId, *device.productId);
    if (!adapter) return description;
    return description.empty() ? adapter : std::string(adapter) + " – " + description;
}

}  // namespace

std::string PortListLine(const std::string& name, const std::string& description) {
    return description.empty() ? name : name + '\t' + description;
}

std::vector<ListedPort> ListPorts(bool withSimulator, const kmp::SerialDeviceSource& source) {
    std::vector<kmp::SerialDeviceInfo> devices;
    try {
        devices = kmp::ListSerialDevices(withSimulator, source);
    } catch (const kmp::EComPort& error) {
        if (error.ErrorCode() == kmp::CError_RegError && error.SystemError() == ENOENT) return {};
        throw;
    }
    std::vector<ListedPort> ports;
    for (const kmp::SerialDeviceInfo& device : devices) {
        const std::string name = device.portName.toStdString();
        ports.push_back({name, name == kmp::kSimulatorPortName ? kSimulatorDescription
                                                               : DescriptionOf(device)});
    }
    return ports;
}

int PrintPortList(std::FILE* out, std::FILE* err, bool withSimulator,
                  const kmp::SerialDeviceSource& source) {
    std::vector<ListedPort> ports;
    try {
        ports = ListPorts(withSimulator, source);
    } catch (const kmp::EComPort& error) {
        std::fprintf(err, "kmpc: %s\n", error.what());
        return kExitPortFailed;
    }
    for (const ListedPort& port : ports)
        std::fprintf(out, "%s\n", PortListLine(port.name, port.description).c_str());
    return kExitOk;
}

}  // namespace kmpc
