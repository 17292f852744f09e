// Helpers of the serial tests: a pseudo-terminal pair, an event recorder and
// waits on conditions with the Qt event loop running.
#pragma once

#include <QThread>

#include <cstdint>
#include <string>
#include <vector>

#include "CPort.h"
#include "com_port_test_peer.h"

namespace kmp::test {

// A pseudo-terminal; the test holds the master end, the port opens `path`.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& path() const { return path_; }
    int master() const { return master_; }
    void WriteAtMaster(const std::vector<std::uint8_t>& bytes) const;
    // Reads from the master until `count` bytes came or 5 s passed.
    std::vector<std::uint8_t> ReadAtMaster(std::size_t count) const;
    // Closes the master: for the port this is an unplugged line.
    void CloseMaster();

private:
    int master_ = -1;
    int slave_ = -1;  // kept open so that the pty survives the port's close
    std::string path_;
};

// Records events and link notices of a port as text lines, in order.
class Recorder {
public:
    explicit Recorder(TCustomComPort& port);
    ~Recorder();
    std::vector<std::string> lines;
    TComLink link;

private:
    TCustomComPort& port_;
};

// Runs the event loop until `condition` holds or `timeoutMs` passed.
template <typename Condition>
bool Eventually(Condition condition, int timeoutMs = 5000);

// Number of threads of this process.
int ThreadCount();

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values);

}  // namespace kmp::test

#include <QTest>

template <typename Condition>
bool kmp::test::Eventually(Condition condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}
