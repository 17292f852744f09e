#include "serial_test_support.h"

#include <QCoreApplication>

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>

namespace kmp::test {

Pty::Pty() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty");
    path_ = name;
    termios t{};
    tcgetattr(master_, &t);
    cfmakeraw(&t);
    tcsetattr(master_, TCSANOW, &t);
}

Pty::~Pty() {
    CloseMaster();
    close(slave_);
}

void Pty::WriteAtMaster(const std::vector<std::uint8_t>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) throw std::runtime_error("write at master");
        done += static_cast<std::size_t>(n);
    }
}

std::vector<std::uint8_t> Pty::ReadAtMaster(std::size_t count) const {
    std::vector<std::uint8_t> got;
    std::uint8_t buffer[512];
    while (got.size() < count) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, 5000) <= 0) break;
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

void Pty::CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

Recorder::Recorder(TCustomComPort& port) : port_(port) {
    auto onOff = [this](const char* name) {
        return [this, name](QObject*, bool on) {
            lines.push_back(std::string(name) + "(" + (on ? "1" : "0") + ")");
        };
    };
    auto notify = [this](const char* name) {
        return [this, name](QObject*) { lines.emplace_back(name); };
    };
    port.OnBeforeOpen = notify("BeforeOpen");
    port.OnAfterOpen = notify("AfterOpen");
    port.OnBeforeClose = notify("BeforeClose");
    port.OnAfterClose = notify("AfterClose");
    port.OnCTSChange = onOff("CTSChange");
    port.OnDSRChange = onOff("DSRChange");
    port.OnRLSDChange = onOff("RLSDChange");
    auto linkOnOff = [this](const char* name) {
        return [this, name](TCustomComPort*, bool on) {
            lines.push_back(std::string(name) + "(" + (on ? "1" : "0") + ")");
        };
    };
    link.ConnectionNotice = linkOnOff("link.Connection");
    link.CTSNotice = linkOnOff("link.CTS");
    link.DSRNotice = linkOnOff("link.DSR");
    link.RLSDNotice = linkOnOff("link.RLSD");
    port.RegisterLink(&link);
}

Recorder::~Recorder() {
    // The port may outlive the recorder: its handlers must not.
    port_.OnBeforeOpen = port_.OnAfterOpen = port_.OnBeforeClose = port_.OnAfterClose = nullptr;
    port_.OnCTSChange = port_.OnDSRChange = port_.OnRLSDChange = nullptr;
    try {
        port_.UnRegisterLink(&link);
    } catch (const EComPort&) {
    }
}

int ThreadCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

}  // namespace kmp::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
