// The background write: the longest gap of the main loop during a whole
// 132-byte frame to the virtual controller at 300 baud (target: below
// 50 ms), and the time from CancelWrite to `done` in the middle of a frame
// to the virtual controller and of a blocked write to a pseudo-terminal,
// 20 each (target: at most 200 ms).
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <termios.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "CPort.h"
#include "pty_pair.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::vector<std::uint8_t> Frame(std::size_t size) {
    std::vector<std::uint8_t> frame(size, 0x55);
    frame[0] = 0x80;
    frame[1] = 0xFE;
    frame.back() = 0xFF;
    return frame;
}

void UseWindowTimeouts(kmp::TComPort& port) {
    port.Timeouts().SetWriteTotalMultiplier(10000);
    port.Timeouts().SetWriteTotalConstant(10000);
}

// Runs the event loop until the port's background write has reported.
void WaitForDone(QEventLoop& loop, const bool& done) {
    if (!done) loop.exec();
}

// The longest gap between two turns of a 1 ms timer while one frame goes
// out; with no port, over one idle second (the machine's own noise).
double LongestGapDuringFrame(kmp::TComPort* port, int& written) {
    QEventLoop loop;
    bool done = false;
    double longest = 0;
    auto last = Clock::now();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        longest = std::max(longest, Ms(now - last));
        last = now;
    });
    tick.start(1);
    auto end = [&](const kmp::WriteOutcome& o) {
        written = o.Written;
        done = true;
        loop.quit();
    };
    if (port)
        port->WriteInBackground(Frame(132), end);
    else
        QTimer::singleShot(1000, [&] { end(kmp::WriteOutcome{}); });
    last = Clock::now();
    WaitForDone(loop, done);
    return longest;
}

// CancelWrite after `after` of a write of `size` bytes: call → done.
double CancelLatency(kmp::TComPort& port, std::size_t size, std::chrono::milliseconds after,
                     bool& cancelled) {
    QEventLoop loop;
    bool done = false;
    Clock::time_point ended;
    port.WriteInBackground(Frame(size), [&](const kmp::WriteOutcome& o) {
        ended = Clock::now();
        cancelled = o.End == kmp::weCancelled;
        done = true;
        loop.quit();
    });
    Clock::time_point called;
    QTimer::singleShot(after, [&] {
        called = Clock::now();
        port.CancelWrite();
    });
    WaitForDone(loop, done);
    return Ms(ended - called);
}

struct Figures {
    double median, max;
};

Figures Summary(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool ok = true;

    auto board = std::make_shared<kmp::VirtualController>();
    kmp::TComPort sim;
    sim.SetVirtualController(board);
    sim.SetPort("sim");
    UseWindowTimeouts(sim);
    sim.OnRxChar = [&](QObject*, int) {
        std::string text;
        sim.ReadString(text, 128);
    };
    sim.Open();
    int written = 0;
    const double idle = LongestGapDuringFrame(nullptr, written);
    const double gap = LongestGapDuringFrame(&sim, written);
    std::printf(
        "serial background write: 132-byte frame at 300 baud, %d bytes, longest main-loop "
        "gap %.2f ms (idle loop: %.2f ms; target below 50 ms)\n",
        written, gap, idle);
    ok = ok && written == 132 && gap < 50.0;

    std::vector<double> simCancel;
    for (int i = 0; i < 20; ++i) {
        bool cancelled = false;
        simCancel.push_back(
            CancelLatency(sim, 132, std::chrono::milliseconds(100 + 10 * i), cancelled));
        ok = ok && cancelled;
    }
    sim.Close();
    const Figures s = Summary(simCancel);
    std::printf(
        "serial cancel, virtual controller: median %.2f ms, max %.2f ms over 20 (target "
        "at most 200 ms)\n",
        s.median, s.max);
    ok = ok && s.max <= 200.0;

    // Nobody reads the master: 256 KiB stay blocked in the pseudo-terminal.
    kmp::bench::PtyPair pty;
    kmp::TComPort line;
    line.SetPort(pty.path);
    UseWindowTimeouts(line);
    line.Open();
    std::vector<double> ptyCancel;
    for (int i = 0; i < 20; ++i) {
        bool cancelled = false;
        ptyCancel.push_back(
            CancelLatency(line, 256 * 1024, std::chrono::milliseconds(20), cancelled));
        ok = ok && cancelled;
        tcflush(pty.master, TCIFLUSH);  // empty the line for the next write
    }
    line.Close();
    const Figures p = Summary(ptyCancel);
    std::printf(
        "serial cancel, pseudo-terminal: median %.2f ms, max %.2f ms over 20 (target at "
        "most 200 ms)\n",
        p.median, p.max);
    ok = ok && p.max <= 200.0;
    return ok ? 0 : 1;
}
