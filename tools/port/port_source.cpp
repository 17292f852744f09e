#include "port_source.h"

#include "ComError.h"
#include "PortWatcher.h"

#include <dirent.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kmpc {

std::string TestPortFolder() {
    const char* folder = std::getenv("KMP_TEST_PORT_FOLDER");
    return folder != nullptr ? folder : "";
}

std::vector<kmp::SerialDeviceInfo> FolderEntries(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) throw kmp::EComPort(kmp::CError_RegError, errno);
    std::vector<kmp::SerialDeviceInfo> entries;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        entries.push_back({QString::fromStdString(folder + '/' + entry->d_name), false, {}});
    }
    closedir(dir);
    return entries;
}

kmp::SerialDeviceSource PortSource(const std::string& testFolder) {
    if (testFolder.empty()) return kmp::SystemSerialDevices;
    return [testFolder] { return FolderEntries(testFolder); };
}

QStringList WatchedFolders(const std::string& testFolder) {
    if (testFolder.empty()) return kmp::PortWatcher::SystemFolders();
    return {QString::fromStdString(testFolder)};
}

}  // namespace kmpc
