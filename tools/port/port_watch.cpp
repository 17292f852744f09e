#include "port_watch.h"

#include "ComError.h"
#include "PortWatcher.h"
#include "run.h"
#include "stop_signal.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kmpc {
namespace {

bool Listed(const std::vector<ListedPort>& ports, const std::string& name) {
    return std::any_of(ports.begin(), ports.end(),
                       [&](const ListedPort& port) { return port.name == name; });
}

// The watch's state between two changes.
class Watch {
public:
    Watch(std::FILE* out, std::FILE* err, bool withSimulator, const kmp::SerialDeviceSource& source)
        : out_(out), err_(err), withSimulator_(withSimulator), source_(source) {}

    // Lists the ports again and prints what changed; a failing list keeps
    // the last one. False when standard output cannot take the lines: the
    // message is out, and the watch has no reader left.
    bool Update() {
        std::vector<ListedPort> now;
        try {
            now = ListPorts(withSimulator_, source_);
        } catch (const kmp::EComPort& error) {
            std::fprintf(err_, "kmpc: %s\n", error.what());
            std::fflush(err_);
            return true;
        }
        for (const std::string& line : PortChanges(ports_, now))
            std::fprintf(out_, "%s\n", line.c_str());
        // A write that failed before the flush leaves the error flag set.
        if (std::fflush(out_) != 0 || std::ferror(out_)) {
            std::fprintf(err_, "kmpc: standard output: %s\n", std::strerror(errno));
            return false;
        }
        ports_ = std::move(now);
        return true;
    }

private:
    std::FILE* out_;
    std::FILE* err_;
    bool withSimulator_;
    const kmp::SerialDeviceSource& source_;
    std::vector<ListedPort> ports_;
};

}  // namespace

std::vector<std::string> PortChanges(const std::vector<ListedPort>& before,
                                     const std::vector<ListedPort>& after) {
    std::vector<std::string> lines;
    std::vector<ListedPort> gone;
    for (const ListedPort& port : before) {
        if (Listed(after, port.name) || Listed(gone, port.name)) continue;
        lines.push_back("- " + port.name);
        gone.push_back(port);
    }
    std::vector<ListedPort> come;
    for (const ListedPort& port : after) {
        if (Listed(before, port.name) || Listed(come, port.name)) continue;
        lines.push_back("+ " + PortListLine(port.name, port.description));
        come.push_back(port);
    }
    return lines;
}

int WatchPortList(std::FILE* out, std::FILE* err, bool withSimulator,
                  const kmp::SerialDeviceSource& source, const QStringList& folders) {
    const StopSignalWatch stop([](int) { QCoreApplication::quit(); });
    kmp::PortWatcher watcher(folders);
    if (!stop.Watching() || !watcher.Watching()) {
        std::fprintf(err, "kmpc: cannot watch the port folders: %s\n", std::strerror(errno));
        return kExitPortFailed;
    }
    // The watcher is set up before the first list, so nothing that changes
    // after it goes unseen.
    Watch watch(out, err, withSimulator, source);
    QObject::connect(&watcher, &kmp::PortWatcher::Changed, [&watch] {
        if (!watch.Update()) QCoreApplication::exit(kExitUsage);
    });
    if (!watch.Update()) return kExitUsage;
    return QCoreApplication::exec();
}

}  // namespace kmpc
