// Time from a byte written at the pseudo-terminal's master to the OnRxChar
// handler on the main thread; median of 200. Target: 2 ms.
#include <QCoreApplication>
#include <QEventLoop>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "CPort.h"
#include "pty_pair.h"

int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    QCoreApplication app(argc, argv);
    kmp::bench::PtyPair pty;
    kmp::TComPort port;
    port.SetPort(pty.path);
    QEventLoop loop;
    Clock::time_point arrived;
    port.OnRxChar = [&](QObject*, int) {
        arrived = Clock::now();
        std::string text;
        port.ReadString(text, 128);
        loop.quit();
    };
    port.Open();
    std::vector<double> micros;
    for (int i = 0; i < 200; ++i) {
        const unsigned char byte = static_cast<unsigned char>(i);
        const auto sent = Clock::now();
        if (write(pty.master, &byte, 1) != 1) return 2;
        loop.exec();
        micros.push_back(std::chrono::duration<double, std::micro>(arrived - sent).count());
    }
    port.Close();
    std::sort(micros.begin(), micros.end());
    const double median = (micros[99] + micros[100]) / 2.0;
    std::printf(
        "serial latency: median %.0f us, min %.0f us, max %.0f us over 200 bytes (target 2 ms)\n",
        median, micros.front(), micros.back());
    return median <= 2000.0 ? 0 : 1;
}
