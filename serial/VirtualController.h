// The virtual controller: an in-process stand-in for the motor controller
// board on the port named "sim". It receives at 300 baud 8N2 (11/300 s per
// byte), echoes every byte after receiving it, keeps DSR and CTS on, and lets
// its owner drive its lines, switch the echo off and unplug it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "ComDevice.h"
#include "ComTypes.h"
#include "Descriptors.h"

namespace kmp {

class VirtualController : public std::enable_shared_from_this<VirtualController> {
public:
    // 1 start bit, 8 data bits, 2 stop bits at 300 baud.
    static constexpr std::chrono::nanoseconds kByteTime{11'000'000'000LL / 300};

    explicit VirtualController(std::chrono::nanoseconds byteTime = kByteTime);
    ~VirtualController();
    VirtualController(const VirtualController&) = delete;
    VirtualController& operator=(const VirtualController&) = delete;

    // The board's own lines and behaviour.
    void SetDSR(bool on);
    void SetCTS(bool on);
    void SetEcho(bool on);
    // Echoes `value` in place of the byte received as the `index`-th (from
    // 0), as a board that garbles a byte.
    void ChangeEcho(std::size_t index, std::uint8_t value);
    // Sends bytes to the host; they arrive at once.
    void Send(const std::vector<std::uint8_t>& bytes);
    // Pulls the plug: every later call of an open device fails with EIO and
    // opening fails with ENOENT, as with a removed USB adapter.
    void Unplug();
    void PlugIn();

    // What the host did.
    bool RTS() const;
    bool DTR() const;
    bool IsOpen() const;
    std::vector<std::uint8_t> ReceivedBytes() const;

    // Opens the board's end of the line (one user at a time: EBUSY).
    std::unique_ptr<ComDevice> OpenDevice();

private:
    class Device;  // the host's end of the line
    using Clock = std::chrono::steady_clock;

    void Raise(std::uint32_t events);  // with mutex_ held
    void ToHost(std::uint8_t byte);    // with mutex_ held
    void CheckPlugged() const;         // with mutex_ held

    const std::chrono::nanoseconds byteTime_;
    const EventFd wake_;  // wakes the host's event wait
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    bool unplugged_ = false;
    bool dsr_ = true;
    bool cts_ = true;
    bool echo_ = true;
    bool rts_ = false;
    bool dtr_ = false;
    bool outCtsFlow_ = false;
    std::uint8_t eventChar_ = 0;
    CommTimeouts timeouts_;
    std::uint32_t eventMask_ = 0;
    std::uint32_t pendingEvents_ = 0;
    int inputSize_ = 1024;
    std::deque<std::uint8_t> toHost_;
    std::vector<std::uint8_t> received_;
    std::map<std::size_t, std::uint8_t> echoChanges_;
};

}  // namespace kmp
