#include "upload_targets.h"

#include "printable_name.h"

#include "PortName.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <map>

namespace kmpc {
namespace {

std::string BaseName(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

bool IsConsole(const std::string& port, const std::vector<std::string>& console) {
    if (port == kmp::kSimulatorPortName) return false;
    return std::any_of(console.begin(), console.end(), [&](const std::string& name) {
        return BaseName(port) == name || DeviceKey(port) == DeviceKey(name);
    });
}

}  // namespace

std::string DeviceKey(const std::string& port) {
    if (port == kmp::kSimulatorPortName) return port;
    const std::string path = port.find('/') == std::string::npos ? "/dev/" + port : port;
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::vector<std::string> ConsoleNames(const std::string& activeFile) {
    std::ifstream file(activeFile);
    std::vector<std::string> names;
    for (std::string name; file >> name;) names.push_back(name);
    return names;
}

UploadTargets NamedTargets(const std::vector<std::string>& names) {
    UploadTargets targets;
    std::map<std::string, std::string> firstName;  // device key -> the name first given
    for (const std::string& name : names) {
        const auto [it, added] = firstName.emplace(DeviceKey(name), name);
        if (added) {
            targets.ports.push_back(name);
        } else if (it->second == name) {
            targets.notes.push_back("kmpc: " + PrintableName(name) +
                                    " is named more than once; it gets the program once");
        } else {
            targets.notes.push_back("kmpc: " + PrintableName(name) + " is the same port as " +
                                    it->second + "; it gets the program once");
        }
    }
    return targets;
}

UploadTargets AllTargets(const std::vector<ListedPort>& listed,
                         const std::vector<std::string>& console) {
    std::vector<std::string> names;
    UploadTargets skipped;
    for (const ListedPort& port : listed) {
        if (IsConsole(port.name, console)) {
            skipped.notes.push_back("kmpc: " + PrintableName(port.name) +
                                    " is the system console; it gets no program");
        } else {
            names.push_back(port.name);
        }
    }
    UploadTargets targets = NamedTargets(names);
    targets.notes.insert(targets.notes.begin(), skipped.notes.begin(), skipped.notes.end());
    return targets;
}

}  // namespace kmpc
