#include "port_open_hint.h"

#include "permission_hint.h"
#include "port_holders.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>

namespace kmp {
namespace {

// Name of the group that owns the device file, or "dialout" when unknown.
std::string DeviceGroup(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "dialout";
    const struct group* gr = ::getgrgid(st.st_gid);
    if (gr == nullptr || gr->gr_gid == 0) return "dialout";
    return gr->gr_name;
}

}  // namespace

std::string PortOpenHint(const std::string& portName, int systemError) {
    const std::string path = PortDevicePath(portName);
    if (systemError == EACCES || systemError == EPERM) {
        return NoPermissionHint(path, DeviceGroup(path));
    }
    if (systemError == EBUSY || systemError == EAGAIN) {
        return "Port " + path + " práve používa iný program. Zatvorte ho a skúste znovu." +
               PortHolderSentences(FindPortHolders(path));
    }
    return {};
}

}  // namespace kmp
