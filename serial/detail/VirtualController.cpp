#include "VirtualController.h"

#include <poll.h>

#include <cerrno>

#include "Deadline.h"

namespace kmp {

// The host's end of the line: every call works on the board under its lock.
class VirtualController::Device : public ComDevice {
public:
    explicit Device(std::shared_ptr<VirtualController> board) : board_(std::move(board)) {}
    ~Device() override;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    void SetupQueues(int inputSize, int outputSize) override;
    void SetState(const Dcb& dcb) override;
    void SetTimeouts(const CommTimeouts& timeouts) override;
    void SetEventMask(std::uint32_t mask) override;
    std::uint32_t WaitEvent(int stopFd) override;
    using ComDevice::Write;
    std::size_t Write(const std::uint8_t* data, std::size_t count, WriteTicket* ticket) override;
    void CancelWrite(WriteTicket& ticket) noexcept override;
    std::size_t OutputQueue() override { return 0; }
    void CheckLine() override {
        std::lock_guard lock(board_->mutex_);
        board_->CheckPlugged();
    }
    std::size_t Read(std::uint8_t* data, std::size_t count) override;
    void Purge(std::uint32_t flags) override;
    void Escape(EscapeFunction function) override;
    CommStatus ClearError() override;
    std::uint32_t ModemStatus() override;

private:
    std::shared_ptr<VirtualController> board_;
};

VirtualController::VirtualController(std::chrono::nanoseconds byteTime) : byteTime_(byteTime) {}

VirtualController::~VirtualController() = default;

void VirtualController::Raise(std::uint32_t events) {
    pendingEvents_ |= events;
    changed_.notify_all();
    wake_.Wake();
}

// One byte into the host's input queue, with the events it causes.
void VirtualController::ToHost(std::uint8_t byte) {
    toHost_.push_back(byte);
    std::uint32_t events = EV_RXCHAR;
    if (byte == eventChar_) events |= EV_RXFLAG;
    if (toHost_.size() * 5 >= static_cast<std::size_t>(inputSize_) * 4) events |= EV_RX80FULL;
    Raise(events);
}

void VirtualController::CheckPlugged() const {
    if (unplugged_) throw DeviceError(EIO);
}

void VirtualController::SetDSR(bool on) {
    std::lock_guard lock(mutex_);
    if (dsr_ == on) return;
    dsr_ = on;
    Raise(EV_DSR);
}

void VirtualController::SetCTS(bool on) {
    std::lock_guard lock(mutex_);
    if (cts_ == on) return;
    cts_ = on;
    Raise(EV_CTS);
}

void VirtualController::SetEcho(bool on) {
    std::lock_guard lock(mutex_);
    echo_ = on;
}

void VirtualController::ChangeEcho(std::size_t index, std::uint8_t value) {
    std::lock_guard lock(mutex_);
    echoChanges_[index] = value;
}

void VirtualController::Send(const std::vector<std::uint8_t>& bytes) {
    std::lock_guard lock(mutex_);
    if (!open_ || unplugged_) return;
    for (std::uint8_t byte : bytes) ToHost(byte);
}

void VirtualController::Unplug() {
    std::lock_guard lock(mutex_);
    unplugged_ = true;
    Raise(0);
}

void VirtualController::PlugIn() {
    std::lock_guard lock(mutex_);
    unplugged_ = false;
}

bool VirtualController::RTS() const {
    std::lock_guard lock(mutex_);
    return rts_;
}

bool VirtualController::DTR() const {
    std::lock_guard lock(mutex_);
    return dtr_;
}

bool VirtualController::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

std::vector<std::uint8_t> VirtualController::ReceivedBytes() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::unique_ptr<ComDevice> VirtualController::OpenDevice() {
    std::lock_guard lock(mutex_);
    if (unplugged_) throw DeviceError(ENOENT);
    if (open_) throw DeviceError(EBUSY);
    if (!wake_.Valid()) throw DeviceError(wake_.Error());
    open_ = true;
    pendingEvents_ = 0;
    eventMask_ = 0;
    toHost_.clear();
    rts_ = dtr_ = false;
    wake_.Drain();  // wakes of an earlier opening
    return std::make_unique<Device>(shared_from_this());
}

// The host's end of the line.

VirtualController::Device::~Device() {
    std::lock_guard lock(board_->mutex_);
    board_->open_ = false;
    board_->toHost_.clear();
    board_->pendingEvents_ = 0;
}

void VirtualController::Device::SetupQueues(int inputSize, int /*outputSize*/) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    board_->inputSize_ = inputSize;
}

void VirtualController::Device::SetState(const Dcb& dcb) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    board_->outCtsFlow_ = dcb.fOutxCtsFlow;
    board_->eventChar_ = dcb.EvtChar;
}

void VirtualController::Device::SetTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    board_->timeouts_ = timeouts;
}

void VirtualController::Device::SetEventMask(std::uint32_t mask) {
    std::lock_guard lock(board_->mutex_);
    board_->eventMask_ = mask;
}

std::uint32_t VirtualController::Device::WaitEvent(int stopFd) {
    VirtualController& b = *board_;
    for (;;) {
        std::unique_lock lock(b.mutex_);
        b.CheckPlugged();
        const std::uint32_t events = b.pendingEvents_ & b.eventMask_;
        b.pendingEvents_ &= ~b.eventMask_;
        lock.unlock();
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {b.wake_.Fd(), POLLIN, 0}};
        const int r = poll(fds, 2, events != 0 ? 0 : -1);
        if (r < 0 && errno != EINTR) throw DeviceError(errno);
        if (r > 0 && fds[0].revents) return 0;
        if (r > 0 && fds[1].revents) b.wake_.Drain();
        if (events != 0) return events;
    }
}

// Each byte takes the board's byte time to arrive; with CTS flow control
// the transmitter waits while CTS is off. The board echoes each byte as soon
// as it has it. A cancel drops the bytes that have not arrived yet.
std::size_t VirtualController::Device::Write(const std::uint8_t* data, std::size_t count,
                                             WriteTicket* ticket) {
    VirtualController& b = *board_;
    std::unique_lock lock(b.mutex_);
    b.CheckPlugged();
    const auto deadline = Deadline::ForTransfer(b.timeouts_.WriteTotalTimeoutMultiplier,
                                                b.timeouts_.WriteTotalTimeoutConstant, count)
                              .When();
    auto stopped = [&] { return b.unplugged_ || (ticket && ticket->cancelled); };
    auto lineFree = Clock::now();
    std::size_t sent = 0;
    for (; sent < count && !stopped(); ++sent) {
        if (b.outCtsFlow_ && !b.cts_) {
            if (!b.changed_.wait_until(lock, deadline, [&] { return b.cts_ || stopped(); })) break;
            b.CheckPlugged();
            if (stopped()) break;
            lineFree = std::max(lineFree, Clock::now());
        }
        const auto arrival = lineFree + b.byteTime_;
        if (arrival > deadline) {
            b.changed_.wait_until(lock, deadline, stopped);
            b.CheckPlugged();
            break;
        }
        if (b.changed_.wait_until(lock, arrival, stopped)) {
            b.CheckPlugged();
            break;  // cancelled: this byte does not arrive
        }
        lineFree = arrival;
        const auto changed = b.echoChanges_.find(b.received_.size());
        b.received_.push_back(data[sent]);
        if (ticket) ticket->handedOver = sent + 1;
        if (b.echo_) b.ToHost(changed != b.echoChanges_.end() ? changed->second : data[sent]);
    }
    b.CheckPlugged();
    b.Raise(EV_TXEMPTY);
    return sent;
}

void VirtualController::Device::CancelWrite(WriteTicket& ticket) noexcept {
    std::lock_guard lock(board_->mutex_);
    ticket.cancelled = true;
    board_->changed_.notify_all();
}

std::size_t VirtualController::Device::Read(std::uint8_t* data, std::size_t count) {
    VirtualController& b = *board_;
    std::unique_lock lock(b.mutex_);
    b.CheckPlugged();
    const CommTimeouts t = b.timeouts_;
    const bool returnAtOnce = t.ReadIntervalTimeout == MAXDWORD &&
                              t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    if (b.toHost_.empty() && !returnAtOnce) {
        const auto deadline =
            Deadline::ForTransfer(t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, count)
                .When();
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

void VirtualController::Device::Purge(std::uint32_t flags) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    if (flags & PURGE_RXCLEAR) board_->toHost_.clear();
}

void VirtualController::Device::Escape(EscapeFunction function) {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    switch (function) {
    case EscapeFunction::SETRTS: board_->rts_ = true; break;
    case EscapeFunction::CLRRTS: board_->rts_ = false; break;
    case EscapeFunction::SETDTR: board_->dtr_ = true; break;
    case EscapeFunction::CLRDTR: board_->dtr_ = false; break;
    }
}

CommStatus VirtualController::Device::ClearError() {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    CommStatus status;
    status.InQueue = static_cast<std::uint32_t>(board_->toHost_.size());
    return status;
}

std::uint32_t VirtualController::Device::ModemStatus() {
    std::lock_guard lock(board_->mutex_);
    board_->CheckPlugged();
    std::uint32_t status = MS_RLSD_ON;
    if (board_->cts_) status |= MS_CTS_ON;
    if (board_->dsr_) status |= MS_DSR_ON;
    return status;
}

}  // namespace kmp
