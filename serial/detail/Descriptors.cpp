#include "Descriptors.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace kmp {

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) close(fd_);
}

EventFd::EventFd() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!fd_.Valid()) error_ = errno;
}

// The counter cannot overflow in practice; a failed write leaves it readable.
void EventFd::Wake() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(fd_.Get(), &one, sizeof one);
}

// Non-blocking: EAGAIN when nothing was woken.
void EventFd::Drain() const {
    std::uint64_t value = 0;
    [[maybe_unused]] const auto got = read(fd_.Get(), &value, sizeof value);
}

}  // namespace kmp
