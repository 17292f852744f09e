// The POSIX termios device: real serial ports, pseudo-terminals and virtual
// ports such as socat's. Private to the serial layer: callers open it
// through OpenTermiosDevice (ComDevice.h).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include <linux/serial.h>
#include <termios.h>

#include "ComDevice.h"
#include "Descriptors.h"

namespace kmp {

class Deadline;
class ModemWatcher;

// Sets a baud rate through the termios2 interface; returns 0 or errno.
int SetCustomBaudRate(int fd, unsigned rate);

// The line setting of `asked` that the driver did not take, as `taken`
// reads back: "speed", "data bits", "stop bits", "parity" or "CTS flow
// control"; empty when it took them all. A pseudo-terminal always has 8
// data bits and no parity, whatever is set, so those two are not compared
// there; neither is the speed of a custom rate (set through termios2).
std::string RefusedLineSetting(const termios& asked, const termios& taken, bool pseudoTerminal,
                               bool customSpeed);

class TermiosDevice : public ComDevice {
public:
    // Takes `fd`, an open terminal whose settings before the open were
    // `original` (they come back at the close); throws DeviceError(errno)
    // when the descriptors of the event wait cannot be made.
    TermiosDevice(UniqueFd fd, const termios& original);
    ~TermiosDevice() override;
    TermiosDevice(const TermiosDevice&) = delete;
    TermiosDevice& operator=(const TermiosDevice&) = delete;

    // Keeps other users out (TIOCEXCL); throws DeviceError(errno) unless the
    // device merely has no exclusive mode.
    void TakeExclusive();

    void SetupQueues(int inputSize, int outputSize) override;
    void SetState(const Dcb& dcb) override;
    void SetTimeouts(const CommTimeouts& timeouts) override;
    void SetEventMask(std::uint32_t mask) override;
    std::uint32_t WaitEvent(int stopFd) override;
    using ComDevice::Write;
    std::size_t Write(const std::uint8_t* data, std::size_t count, WriteTicket* ticket) override;
    void CancelWrite(WriteTicket& ticket) noexcept override;
    std::size_t OutputQueue() override;
    void CheckLine() override;
    std::size_t Read(std::uint8_t* data, std::size_t count) override;
    void Purge(std::uint32_t flags) override;
    void Escape(EscapeFunction function) override;
    CommStatus ClearError() override;
    std::uint32_t ModemStatus() override;

private:
    static UniqueFd WatchArrivals(int fd);
    bool TakeArrivals();
    void Rearm();
    int InQueue() const;
    CommTimeouts CurrentTimeouts();
    bool WaitReadable(int timeoutMs);
    enum class WaitEnd { ready, timedOut, cancelled };
    WaitEnd WaitOrCancel(int fd, short events, const Deadline& deadline, WriteTicket* ticket,
                         short& revents);
    std::size_t DrainUntil(const Deadline& deadline, WriteTicket* ticket);
    std::size_t DropUnsent();
    std::uint32_t CounterEvents();
    std::uint32_t PolledModemEvents();
    std::uint32_t ReceivedEvents();

    const UniqueFd fd_;
    const termios original_;
    const EventFd wake_;        // wakes the event wait
    const EventFd cancelWake_;  // wakes a cancellable Write
    const UniqueFd arrivals_;   // epoll: one edge per arrival of bytes
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
