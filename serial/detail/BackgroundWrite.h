// One write of the port on a worker thread of its own, so that the port's
// thread goes on with its event loop while the bytes leave the line.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <thread>
#include <vector>

#include "ComDevice.h"
#include "Descriptors.h"

namespace kmp {

class BackgroundWrite {
public:
    using Clock = std::chrono::steady_clock;

    // Starts the worker, which runs device.Write over all of `data` with
    // this write's ticket, then sets Ended and wakes `ended` (which the
    // port's thread watches: the worker itself calls nothing of Qt). Throws
    // std::system_error when no thread can be started.
    BackgroundWrite(ComDevice& device, std::vector<std::uint8_t> data, const EventFd& ended);
    // Cancels the write and waits for the worker.
    ~BackgroundWrite();
    BackgroundWrite(const BackgroundWrite&) = delete;
    BackgroundWrite& operator=(const BackgroundWrite&) = delete;

    // Any thread; harmless once the write has ended or was cancelled.
    void Cancel() noexcept;
    bool CancelRequested() const { return ticket_.cancelled; }
    bool Ended() const { return ended_; }
    // Waits for the worker to end (at once after Ended).
    void Join();

    const std::vector<std::uint8_t>& Data() const { return data_; }
    Clock::time_point Started() const { return started_; }
    // Bytes that the device has taken so far.
    std::size_t HandedOver() const { return ticket_.handedOver; }
    // After Join: the count that Write returned, and what it threw (a
    // DeviceError or another exception; null when it returned).
    std::size_t Written() const { return written_; }
    std::exception_ptr Error() const { return error_; }

private:
    void Run();

    ComDevice& device_;
    const std::vector<std::uint8_t> data_;
    const Clock::time_point started_ = Clock::now();
    WriteTicket ticket_;
    const EventFd& wake_;
    std::atomic<bool> ended_{false};
    std::size_t written_ = 0;   // worker until Join
    std::exception_ptr error_;  // worker until Join
    std::thread worker_;
};

}  // namespace kmp
