#include "port_holders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace kmp {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    if (S_ISCHR(a.st_mode) || S_ISBLK(a.st_mode))
        return (a.st_mode & S_IFMT) == (b.st_mode & S_IFMT) && a.st_rdev == b.st_rdev;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A whole decimal pid, or 0 for any other folder name of /proc.
int PidOf(const char* name) {
    char* end = nullptr;
    const long pid = std::strtol(name, &end, 10);
    return (*name != '\0' && *end == '\0' && pid > 0 && pid < 1 << 22) ? static_cast<int>(pid) : 0;
}

// True when one of the process's descriptors is the device. The folder may
// vanish at any step: the process ended, and then it holds nothing.
bool HoldsDevice(const std::string& fdFolder, const struct stat& device) {
    DIR* dir = ::opendir(fdFolder.c_str());
    if (dir == nullptr) return false;
    bool holds = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        struct stat st {};
        // stat follows the /proc link to the open file itself.
        if (::stat((fdFolder + "/" + entry->d_name).c_str(), &st) == 0 && SameFile(st, device)) {
            holds = true;
            break;
        }
    }
    ::closedir(dir);
    return holds;
}

std::string CommandName(const std::string& procFolder) {
    std::ifstream comm(procFolder + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "?" : name;
}

}  // namespace

std::vector<PortHolder> FindPortHolders(const std::string& devicePath,
                                        const std::string& procRoot) {
    std::vector<PortHolder> holders;
    struct stat device {};
    if (::stat(devicePath.c_str(), &device) != 0) return holders;
    DIR* proc = ::opendir(procRoot.c_str());
    if (proc == nullptr) return holders;
    const int self = ::getpid();
    while (const dirent* entry = ::readdir(proc)) {
        const int pid = PidOf(entry->d_name);
        if (pid == 0 || pid == self) continue;
        const std::string folder = procRoot + "/" + entry->d_name;
        if (HoldsDevice(folder + "/fd", device)) holders.push_back({pid, CommandName(folder)});
    }
    ::closedir(proc);
    std::sort(holders.begin(), holders.end(),
              [](const PortHolder& a, const PortHolder& b) { return a.pid < b.pid; });
    return holders;
}

std::string PortHolderSentences(const std::vector<PortHolder>& holders) {
    std::string text;
    for (const PortHolder& h : holders) {
        text += " Drží ho program " + h.name + " (PID " + std::to_string(h.pid) + ").";
        if (h.name == "ModemManager")
            text +=
                " ModemManager skúša sériové porty ako modemy: pravidlo udev s "
                "ENV{ID_MM_DEVICE_IGNORE}=\"1\" pre tento prevodník mu to zakáže.";
        else if (h.name == "brltty")
            text +=
                " brltty zaberá USB prevodníky: ak nepoužívate Braillov riadok, "
                "odstráňte ho (sudo apt remove brltty).";
    }
    return text;
}

}  // namespace kmp
