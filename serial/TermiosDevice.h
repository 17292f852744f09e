// The POSIX termios device: real serial ports, pseudo-terminals and virtual
// ports such as socat's.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include <linux/serial.h>

#include "ComDevice.h"

namespace kmp {

class ModemWatcher;

// Opens `port` exclusively: a name such as "ttyUSB0" is looked up in /dev/,
// a path beginning with "/" is used as it is. Throws DeviceError(errno).
std::unique_ptr<ComDevice> OpenTermiosDevice(const std::string& port);

// Sets a baud rate through the termios2 interface; returns 0 or errno.
int SetCustomBaudRate(int fd, unsigned rate);

class TermiosDevice : public ComDevice {
public:
    TermiosDevice(int fd, int wakeFd);
    ~TermiosDevice() override;
    TermiosDevice(const TermiosDevice&) = delete;
    TermiosDevice& operator=(const TermiosDevice&) = delete;

    void SetupQueues(int inputSize, int outputSize) override;
    void SetState(const Dcb& dcb) override;
    void SetTimeouts(const CommTimeouts& timeouts) override;
    void SetEventMask(std::uint32_t mask) override;
    std::uint32_t WaitEvent(int stopFd) override;
    std::size_t Write(const std::uint8_t* data, std::size_t count) override;
    std::size_t Read(std::uint8_t* data, std::size_t count) override;
    void Purge(std::uint32_t flags) override;
    void Escape(EscapeFunction function) override;
    CommStatus ClearError() override;
    std::uint32_t ModemStatus() override;

    // False for a device without modem lines (a pseudo-terminal).
    bool HasModemLines() const { return hasModemLines_; }

private:
    void Wake();
    void Rearm();
    int InQueue() const;
    CommTimeouts CurrentTimeouts();
    bool WaitReadable(int timeoutMs);
    std::size_t DrainUntil(long long deadlineMs);
    std::size_t DropUnsent();
    std::uint32_t CounterEvents();
    std::uint32_t PolledModemEvents();
    std::uint32_t ReceivedEvents();

    const int fd_;
    const int wakeFd_;
    bool hasModemLines_ = false;
    std::mutex mutex_;
    CommTimeouts timeouts_;
    std::atomic<int> inputSize_{1024};
    std::atomic<std::uint32_t> eventMask_{0};
    std::atomic<bool> rxArmed_{true};
    std::atomic<bool> txEmptyPending_{false};
    std::atomic<std::uint32_t> lineErrors_{0};
    // Event thread only: the last counters and modem lines seen.
    bool haveCounters_ = false;
    serial_icounter_struct lastCounters_{};
    int lastModemBits_ = 0;
    std::unique_ptr<ModemWatcher> watcher_;
};

}  // namespace kmp
