#include "VirtualDevice.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "VirtualController.h"

namespace kmp {

namespace {

using Clock = std::chrono::steady_clock;

// The end of a transfer allowed by a total time-out; max() for none.
Clock::time_point Deadline(std::uint32_t multiplier, std::uint32_t constant, std::size_t count) {
    const long long total =
        static_cast<long long>(multiplier) * static_cast<long long>(count) + constant;
    if (total <= 0) return Clock::time_point::max();
    return Clock::now() + std::chrono::milliseconds(total);
}

}  // namespace

VirtualDevice::VirtualDevice(std::shared_ptr<VirtualController> board) : board_(std::move(board)) {}

VirtualDevice::~VirtualDevice() {
    std::lock_guard lock(board_->mutex_);
    board_->open_ = false;
    board_->toHost_.clear();
    board_->pendingEvents_ = 0;
}

void VirtualDevice::SetupQueues(int inputSize, int /*outputSize*/) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    board_->inputSize_ = inputSize;
}

void VirtualDevice::SetState(const Dcb& dcb) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    board_->outCtsFlow_ = dcb.fOutxCtsFlow;
    board_->eventChar_ = dcb.EvtChar;
}

void VirtualDevice::SetTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    board_->timeouts_ = timeouts;
}

void VirtualDevice::SetEventMask(std::uint32_t mask) {
    std::lock_guard lock(board_->mutex_);
    board_->eventMask_ = mask;
}

std::uint32_t VirtualDevice::WaitEvent(int stopFd) {
    VirtualController& b = *board_;
    for (;;) {
        std::unique_lock lock(b.mutex_);
        b.CheckPlugged();
        const std::uint32_t events = b.pendingEvents_ & b.eventMask_;
        b.pendingEvents_ &= ~b.eventMask_;
        lock.unlock();
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {b.wakeFd_, POLLIN, 0}};
        const int r = poll(fds, 2, events != 0 ? 0 : -1);
        if (r < 0 && errno != EINTR) throw DeviceError(errno);
        if (r > 0 && fds[0].revents) return 0;
        if (r > 0 && fds[1].revents) {
            std::uint64_t value = 0;
            [[maybe_unused]] const auto n = read(b.wakeFd_, &value, sizeof value);
        }
        if (events != 0) return events;
    }
}

// Each byte takes the board's byte time to arrive; with CTS flow control
// the transmitter waits while CTS is off. The board echoes each byte as soon
// as it has it.
std::size_t VirtualDevice::Write(const std::uint8_t* data, std::size_t count) {
    VirtualController& b = *board_;
    std::unique_lock lock(b.mutex_);
    b.CheckPlugged();
    const auto deadline = Deadline(b.timeouts_.WriteTotalTimeoutMultiplier,
                                   b.timeouts_.WriteTotalTimeoutConstant, count);
    auto lineFree = Clock::now();
    std::size_t sent = 0;
    for (; sent < count; ++sent) {
        if (b.outCtsFlow_ && !b.cts_) {
            if (!b.changed_.wait_until(lock, deadline, [&] { return b.cts_ || b.unplugged_; }))
                break;
            lineFree = std::max(lineFree, Clock::now());
        }
        const auto arrival = lineFree + b.byteTime_;
        if (arrival > deadline) {
            b.changed_.wait_until(lock, deadline, [&] { return b.unplugged_; });
            b.CheckPlugged();
            break;
        }
        b.changed_.wait_until(lock, arrival, [&] { return b.unplugged_; });
        b.CheckPlugged();
        lineFree = arrival;
        b.received_.push_back(data[sent]);
        if (b.echo_) b.ToHost(data[sent]);
    }
    b.Raise(EV_TXEMPTY);
    return sent;
}

std::size_t VirtualDevice::Read(std::uint8_t* data, std::size_t count) {
    VirtualController& b = *board_;
    std::unique_lock lock(b.mutex_);
    b.CheckPlugged();
    const CommTimeouts t = b.timeouts_;
    const bool returnAtOnce = t.ReadIntervalTimeout == MAXDWORD &&
                              t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    if (b.toHost_.empty() && !returnAtOnce) {
        const auto deadline =
            Deadline(t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, count);
        b.changed_.wait_until(lock, deadline, [&] { return !b.toHost_.empty() || b.unplugged_; });
        b.CheckPlugged();
    }
    std::size_t got = 0;
    while (got < count && !b.toHost_.empty()) {
        data[got++] = b.toHost_.front();
        b.toHost_.pop_front();
    }
    return got;
}

void VirtualDevice::Purge(std::uint32_t flags) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    if (flags & PURGE_RXCLEAR) board_->toHost_.clear();
}

void VirtualDevice::Escape(EscapeFunction function) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    switch (function) {
    case EscapeFunction::SETRTS: board_->rts_ = true; break;
    case EscapeFunction::CLRRTS: board_->rts_ = false; break;
    case EscapeFunction::SETDTR: board_->dtr_ = true; break;
    case EscapeFunction::CLRDTR: board_->dtr_ = false; break;
    }
}

CommStatus VirtualDevice::ClearError() {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    CommStatus status;
    status.InQueue = static_cast<std::uint32_t>(board_->toHost_.size());
    return status;
}

std::uint32_t VirtualDevice::ModemStatus() {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    std::uint32_t status = MS_RLSD_ON;
    if (board_->cts_) status |= MS_CTS_ON;
    if (board_->dsr_) status |= MS_DSR_ON;
    return status;
}

}  // namespace kmp
