#include "port_list.h"

#include "ComError.h"
#include "ListSerialPorts.h"
#include "run.h"

#include <cerrno>
#include <vector>

namespace kmpc {
namespace {

constexpr const char* kSimulatorDescription = "virtuálny ovládač (simulátor dosky)";

}  // namespace

std::string PortListLine(const std::string& name, const std::string& description) {
    return description.empty() ? name : name + '\t' + description;
}

int PrintPortList(std::FILE* out, std::FILE* err, bool withSimulator) {
    std::vector<kmp::SerialDeviceInfo> ports;
    try {
        ports = kmp::ListSerialDevices(withSimulator);
    } catch (const kmp::EComPort& error) {
        if (error.ErrorCode() == kmp::CError_RegError && error.SystemError() == ENOENT)
            return kExitOk;
        std::fprintf(err, "kmpc: %s\n", error.what());
        return kExitPortFailed;
    }
    for (const kmp::SerialDeviceInfo& port : ports) {
        const std::string name = port.portName.toStdString();
        const std::string description = name == kmp::kSimulatorPortName
                                            ? kSimulatorDescription
                                            : port.description.toStdString();
        std::fprintf(out, "%s\n", PortListLine(name, description).c_str());
    }
    return kExitOk;
}

}  // namespace kmpc
