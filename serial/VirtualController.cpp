#include "VirtualController.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

#include "VirtualDevice.h"

namespace kmp {

VirtualController::VirtualController(std::chrono::nanoseconds byteTime)
    : byteTime_(byteTime), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

VirtualController::~VirtualController() {
    if (wakeFd_ >= 0) close(wakeFd_);
}

void VirtualController::Wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = write(wakeFd_, &one, sizeof one);
}

void VirtualController::Raise(std::uint32_t events) {
    pendingEvents_ |= events;
    changed_.notify_all();
    Wake();
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
    if (wakeFd_ < 0) throw DeviceError(EMFILE);
    open_ = true;
    pendingEvents_ = 0;
    eventMask_ = 0;
    toHost_.clear();
    rts_ = dtr_ = false;
    std::uint64_t stale = 0;
    [[maybe_unused]] const auto n = read(wakeFd_, &stale, sizeof stale);
    return std::make_unique<VirtualDevice>(shared_from_this());
}

}  // namespace kmp
