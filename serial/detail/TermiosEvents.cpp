// The event wait of the termios device.
#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "ModemWatcher.h"
#include "TermiosDevice.h"

namespace kmp {

namespace {

// The TIOCMGET reading interval for drivers without TIOCMIWAIT.
constexpr int kModemPollMs = 50;

}  // namespace

void TermiosDevice::SetEventMask(std::uint32_t mask) {
    eventMask_ = mask;
}

// Each arrival of bytes wakes the edge-triggered watch once, however many
// bytes already wait, so that bytes which a reaction leaves waiting do not
// make the wait return again and again, while new bytes are still reported.
UniqueFd TermiosDevice::WatchArrivals(int fd) {
    UniqueFd epoll(epoll_create1(EPOLL_CLOEXEC));
    if (!epoll.Valid()) throw DeviceError(errno);
    epoll_event event{};
    event.events = EPOLLIN | EPOLLET;
    event.data.fd = fd;
    if (epoll_ctl(epoll.Get(), EPOLL_CTL_ADD, fd, &event) != 0) throw DeviceError(errno);
    return epoll;
}

// Takes the arrivals that the watch has seen; true when bytes came.
bool TermiosDevice::TakeArrivals() {
    epoll_event event{};
    int n = 0;
    while ((n = epoll_wait(arrivals_.Get(), &event, 1, 0)) < 0)
        if (errno != EINTR) throw DeviceError(errno);
    return n > 0 && (event.events & EPOLLIN);
}

std::uint32_t TermiosDevice::ReceivedEvents() {
    rxArmed_ = false;
    std::uint32_t events = EV_RXCHAR;
    const int size = inputSize_;
    int waiting = 0;
    if (ioctl(fd_.Get(), TIOCINQ, &waiting) == 0 && size > 0 && waiting * 5 >= size * 4)
        events |= EV_RX80FULL;
    return events;
}

// Line errors, breaks, rings and line changes from the driver's counters.
std::uint32_t TermiosDevice::CounterEvents() {
    if (!hasModemLines_) return 0;
    serial_icounter_struct now{};
    if (ioctl(fd_.Get(), TIOCGICOUNT, &now) != 0) return 0;
    if (!haveCounters_) {
        haveCounters_ = true;
        lastCounters_ = now;
        return 0;
    }
    const serial_icounter_struct& was = lastCounters_;
    std::uint32_t events = 0;
    std::uint32_t errors = 0;
    if (now.cts != was.cts) events |= EV_CTS;
    if (now.dsr != was.dsr) events |= EV_DSR;
    if (now.dcd != was.dcd) events |= EV_RLSD;
    if (now.rng != was.rng) events |= EV_RING;
    if (now.brk != was.brk) {
        events |= EV_BREAK;
        errors |= CE_BREAK;
    }
    if (now.frame != was.frame) errors |= CE_FRAME;
    if (now.overrun != was.overrun) errors |= CE_OVERRUN;
    if (now.parity != was.parity) errors |= CE_RXPARITY;
    if (now.buf_overrun != was.buf_overrun) errors |= CE_RXOVER;
    if (errors != 0) {
        lineErrors_ |= errors;
        events |= EV_ERR;
    }
    lastCounters_ = now;
    return events;
}

// Line changes from a TIOCMGET reading (drivers without TIOCMIWAIT).
std::uint32_t TermiosDevice::PolledModemEvents() {
    int bits = 0;
    if (ioctl(fd_.Get(), TIOCMGET, &bits) != 0) return 0;
    const int changed = bits ^ lastModemBits_;
    lastModemBits_ = bits;
    std::uint32_t events = 0;
    if (changed & TIOCM_CTS) events |= EV_CTS;
    if (changed & TIOCM_DSR) events |= EV_DSR;
    if (changed & TIOCM_CD) events |= EV_RLSD;
    if ((changed & TIOCM_RNG) && !(bits & TIOCM_RNG)) events |= EV_RING;
    return events;
}

// Received bytes are reported at each arrival, and once more after a read
// or purge (Rearm) for the bytes that it left waiting.
std::uint32_t TermiosDevice::WaitEvent(int stopFd) {
    for (;;) {
        std::uint32_t events = txEmptyPending_.exchange(false) ? EV_TXEMPTY : 0;
        const bool pollModem = watcher_ && watcher_->Unsupported();
        const bool rxSelected = eventMask_ & (EV_RXCHAR | EV_RX80FULL | EV_RXFLAG);
        const bool leftWaiting = rxSelected && rxArmed_;
        pollfd fds[4] = {{stopFd, POLLIN, 0},
                         {wake_.Fd(), POLLIN, 0},
                         {fd_.Get(), static_cast<short>(leftWaiting ? POLLIN : 0), 0},
                         {arrivals_.Get(), POLLIN, 0}};
        const int timeout = events != 0 ? 0 : pollModem ? kModemPollMs : -1;
        const int r = poll(fds, 4, timeout);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw DeviceError(errno);
        if (fds[0].revents) return 0;
        if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) throw DeviceError(EIO);
        if (fds[1].revents) wake_.Drain();
        const bool arrived = (fds[3].revents & POLLIN) && TakeArrivals();
        if (rxSelected && (arrived || (fds[2].revents & POLLIN))) events |= ReceivedEvents();
        events |= CounterEvents();
        if (pollModem) events |= PolledModemEvents();
        events &= eventMask_;
        if (events != 0) return events;
    }
}

}  // namespace kmp
