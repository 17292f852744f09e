// CPU used by a process whose port is open on a pseudo-terminal and idle for
// 10 s, with three received bytes that its handler leaves unread (the event
// wait must not spin on them), while the device folders are watched for
// adapters that come and go as the window watches them. Target: under 20 ms in total (no polling
// anywhere).
#include <QCoreApplication>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#include "CPort.h"
#include "PortWatcher.h"
#include "pty_pair.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    kmp::bench::PtyPair pty;
    kmp::PortWatcher watcher;
    int changes = 0;
    QObject::connect(&watcher, &kmp::PortWatcher::Changed, [&] { ++changes; });
    kmp::TComPort port;
    port.SetPort(pty.path);
    port.SetBaudRate(kmp::br300);
    port.SetStopBits(kmp::sbTwoStopBits);
    int reports = 0;
    port.OnRxChar = [&](QObject*, int) { ++reports; };
    port.Open();
    const unsigned char bytes[] = {1, 2, 3};
    if (write(pty.master, bytes, sizeof bytes) != 3) return 2;
    const double before = CpuSeconds();
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    app.exec();
    const double usedMs = (CpuSeconds() - before) * 1000.0;
    port.Close();
    std::printf(
        "serial idle: %.1f ms CPU in 10 s with the port open and 3 bytes unread, %d OnRxChar, "
        "device folders %s (%d changes) (target < 20 ms, 1 OnRxChar)\n",
        usedMs, reports, watcher.Watching() ? "watched" : "NOT watched", changes);
    return usedMs < 20.0 && reports == 1 && watcher.Watching() ? 0 : 1;
}
