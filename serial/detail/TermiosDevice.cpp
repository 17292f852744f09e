#include "TermiosDevice.h"

#include "SerialTrace.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <limits>
#include <thread>

#include "Deadline.h"
#include "ModemWatcher.h"
#include "PortName.h"

namespace kmp {

namespace {

struct SpeedCode {
    unsigned rate;
    speed_t code;
};

constexpr SpeedCode kSpeeds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool StandardSpeed(unsigned rate, speed_t& code) {
    for (const auto& s : kSpeeds)
        if (s.rate == rate) {
            code = s.code;
            return true;
        }
    return false;
}

// "300 baud, 8 data bits, 2 stop bits, no parity, CTS flow off" of `t`;
// a custom rate (B38400 with termios2) is named by `asked`.
std::string LineSettingsText(const termios& t, unsigned asked) {
    unsigned rate = asked;
    for (const auto& s : kSpeeds)
        if (s.code == cfgetospeed(&t)) rate = s.rate;
    static constexpr int kBits[] = {5, 6, 7, 8};
    const int size = (t.c_cflag & CSIZE) == CS5   ? 0
                     : (t.c_cflag & CSIZE) == CS6 ? 1
                     : (t.c_cflag & CSIZE) == CS7 ? 2
                                                  : 3;
    const char* parity = !(t.c_cflag & PARENB) ? "no parity"
                         : (t.c_cflag & CMSPAR)
                             ? ((t.c_cflag & PARODD) ? "mark parity" : "space parity")
                         : (t.c_cflag & PARODD) ? "odd parity"
                                                : "even parity";
    return std::to_string(rate) + " baud, " + std::to_string(kBits[size]) + " data bits, " +
           ((t.c_cflag & CSTOPB) ? "2" : "1") + " stop bits, " + parity + ", CTS flow " +
           ((t.c_cflag & CRTSCTS) ? "on" : "off");
}

[[noreturn]] void Fail(int error) {
    throw DeviceError(error);
}

// Runs a system call again while a signal interrupts it.
template <typename Call>
int Retry(Call call) {
    int result = 0;
    do result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

void ApplyCharacterFormat(termios& t, const Dcb& dcb) {
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= dcb.ByteSize >= 5 && dcb.ByteSize <= 8 ? kSizes[dcb.ByteSize - 5] : CS8;
    if (dcb.StopBits != ONESTOPBIT) t.c_cflag |= CSTOPB;
    if (dcb.Parity != NOPARITY) t.c_cflag |= PARENB;
    if (dcb.Parity == ODDPARITY || dcb.Parity == MARKPARITY) t.c_cflag |= PARODD;
    if (dcb.Parity == MARKPARITY || dcb.Parity == SPACEPARITY) t.c_cflag |= CMSPAR;
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == rtsHandshake) t.c_cflag |= CRTSCTS;
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF | IXANY);
    if (dcb.fParity) t.c_iflag |= INPCK;
    if (dcb.fOutX) t.c_iflag |= IXON;
    if (dcb.fInX) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = dcb.XonChar;
    t.c_cc[VSTOP] = dcb.XoffChar;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

}  // namespace

std::string RefusedLineSetting(const termios& asked, const termios& taken, bool pseudoTerminal,
                               bool customSpeed) {
    const auto differ = [&](tcflag_t bits) {
        return (asked.c_cflag & bits) != (taken.c_cflag & bits);
    };
    if (!customSpeed && cfgetospeed(&asked) != cfgetospeed(&taken)) return "speed";
    if (!pseudoTerminal && differ(CSIZE)) return "data bits";
    if (differ(CSTOPB)) return "stop bits";
    if (!pseudoTerminal && differ(PARENB | PARODD | CMSPAR)) return "parity";
    if (differ(CRTSCTS)) return "CTS flow control";
    return {};
}

std::unique_ptr<ComDevice> OpenTermiosDevice(const std::string& port) {
    if (port.empty()) Fail(ENOENT);
    const std::string path = PortDevicePath(port);
    UniqueFd fd(
        Retry([&] { return open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); }));
    if (!fd.Valid()) Fail(errno);
    termios t{};
    if (Retry([&] { return tcgetattr(fd.Get(), &t); }) != 0) Fail(errno);
    // The lock keeps out everyone, root too, whom TIOCEXCL does not stop.
    if (Retry([&] { return flock(fd.Get(), LOCK_EX | LOCK_NB); }) != 0) Fail(errno);
    auto device = std::make_unique<TermiosDevice>(std::move(fd), t);
    device->TakeExclusive();
    return device;
}

TermiosDevice::TermiosDevice(UniqueFd fd, const termios& original)
    : fd_(std::move(fd)), original_(original), arrivals_(WatchArrivals(fd_.Get())) {
    if (!wake_.Valid()) Fail(wake_.Error());
    if (!cancelWake_.Valid()) Fail(cancelWake_.Error());
    int bits = 0;
    // Pseudo-terminals have no modem lines: ENOTTY (EINVAL before Linux 5.13).
    hasModemLines_ = Retry([&] { return ioctl(fd_.Get(), TIOCMGET, &bits); }) == 0 ||
                     (errno != ENOTTY && errno != EINVAL);
    lastModemBits_ = bits;
    if (hasModemLines_) watcher_ = std::make_unique<ModemWatcher>(fd_.Get(), wake_);
}

TermiosDevice::~TermiosDevice() {
    watcher_.reset();
    // The next user of the device finds it as it was before the open, as a
    // well-behaved terminal program leaves it; a device that is gone takes
    // nothing, which is no matter any more.
    Retry([this] { return tcsetattr(fd_.Get(), TCSANOW, &original_); });
    ioctl(fd_.Get(), TIOCNXCL);
}

// TIOCEXCL keeps out other users than root. A device without exclusive mode
// (ENOTTY, EINVAL) is still kept by the lock.
void TermiosDevice::TakeExclusive() {
    if (Retry([this] { return ioctl(fd_.Get(), TIOCEXCL); }) == 0) return;
    if (errno != ENOTTY && errno != EINVAL) Fail(errno);
}

// A read (or purge) lets bytes that still wait be reported again.
void TermiosDevice::Rearm() {
    if (!rxArmed_.exchange(true)) wake_.Wake();
}

int TermiosDevice::InQueue() const {
    int count = 0;
    if (Retry([&] { return ioctl(fd_.Get(), TIOCINQ, &count); }) != 0) Fail(errno);
    return count;
}

void TermiosDevice::SetupQueues(int inputSize, int /*outputSize*/) {
    // The kernel's queues have a fixed size; the input size only scales the
    // 80 % mark of evRx80Full.
    inputSize_ = inputSize;
}

void TermiosDevice::SetState(const Dcb& dcb) {
    const int fd = fd_.Get();
    termios t{};
    if (Retry([&] { return tcgetattr(fd, &t); }) != 0) Fail(errno);
    cfmakeraw(&t);
    ApplyCharacterFormat(t, dcb);
    speed_t code = B38400;
    const bool standard = StandardSpeed(dcb.BaudRate, code);
    cfsetispeed(&t, code);
    cfsetospeed(&t, code);
    if (Retry([&] { return tcsetattr(fd, TCSANOW, &t); }) != 0) Fail(errno);
    if (!standard) {
        const int error = SetCustomBaudRate(fd, dcb.BaudRate);
        if (error != 0) Fail(error);
    }
    // tcsetattr succeeds when the driver took any of the settings: read
    // them back, so that a refused one is not mistaken for the line's.
    termios taken{};
    if (Retry([&] { return tcgetattr(fd, &taken); }) != 0) Fail(errno);
    TraceSerial([&] { return "settings read back: " + LineSettingsText(taken, dcb.BaudRate); });
    if (const std::string refused = RefusedLineSetting(t, taken, !hasModemLines_, !standard);
        !refused.empty())
        throw DeviceError(EINVAL, "the device did not take the " + refused);
    if (!hasModemLines_) return;
    // Lines not under driver control follow their enable / disable setting.
    if (dcb.fDtrControl != dtrHandshake)
        Escape(dcb.fDtrControl == dtrEnable ? EscapeFunction::SETDTR : EscapeFunction::CLRDTR);
    if (dcb.fRtsControl == rtsDisable || dcb.fRtsControl == rtsEnable)
        Escape(dcb.fRtsControl == rtsEnable ? EscapeFunction::SETRTS : EscapeFunction::CLRRTS);
}

void TermiosDevice::SetTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
}

CommTimeouts TermiosDevice::CurrentTimeouts() {
    std::lock_guard lock(mutex_);
    return timeouts_;
}

std::size_t TermiosDevice::Write(const std::uint8_t* data, std::size_t count, WriteTicket* ticket) {
    const CommTimeouts t = CurrentTimeouts();
    const Deadline deadline =
        Deadline::ForTransfer(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, count);
    if (ticket) cancelWake_.Drain();  // wakes meant for an earlier write
    auto cancelled = [ticket] { return ticket && ticket->cancelled; };
    std::size_t sent = 0;
    while (sent < count && !cancelled()) {
        const ssize_t n = write(fd_.Get(), data + sent, count - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            if (ticket) ticket->handedOver = sent;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) Fail(errno);
        short revents = 0;
        if (WaitOrCancel(fd_.Get(), POLLOUT, deadline, ticket, revents) != WaitEnd::ready) break;
        if (revents & (POLLERR | POLLHUP | POLLNVAL)) Fail(EIO);
    }
    const bool stopped = sent < count || cancelled();
    const std::size_t dropped = stopped ? DropUnsent() : DrainUntil(deadline, ticket);
    sent -= std::min(sent, dropped);
    txEmptyPending_ = true;
    wake_.Wake();
    return sent;
}

void TermiosDevice::CancelWrite(WriteTicket& ticket) noexcept {
    ticket.cancelled = true;
    cancelWake_.Wake();
}

std::size_t TermiosDevice::OutputQueue() {
    if (!hasModemLines_) return 0;  // a pseudo-terminal's count reads 0 anyway
    int unsent = 0;
    if (Retry([&] { return ioctl(fd_.Get(), TIOCOUTQ, &unsent); }) != 0) Fail(errno);
    return static_cast<std::size_t>(std::max(unsent, 0));
}

// A hung-up terminal (a pulled adapter, a pseudo-terminal whose master
// closed) reports POLLHUP even when no event is asked for.
void TermiosDevice::CheckLine() {
    pollfd p{fd_.Get(), 0, 0};
    if (Retry([&] { return poll(&p, 1, 0); }) < 0) Fail(errno);
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) Fail(EIO);
}

// Waits until `fd` has one of `events`, the deadline passes or the ticket is
// cancelled; `revents` receives what poll reported for `fd`.
TermiosDevice::WaitEnd TermiosDevice::WaitOrCancel(int fd, short events, const Deadline& deadline,
                                                   WriteTicket* ticket, short& revents) {
    for (;;) {
        pollfd fds[2] = {{fd, events, 0}, {cancelWake_.Fd(), POLLIN, 0}};
        const int r = poll(fds, ticket ? 2 : 1, deadline.RemainingMs());
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) Fail(errno);
        if (ticket && ticket->cancelled) return WaitEnd::cancelled;
        if (r == 0) return WaitEnd::timedOut;
        revents = fds[0].revents;
        if (revents != 0) return WaitEnd::ready;
        cancelWake_.Drain();  // a wake without a cancel of this ticket
    }
}

// Waits until the output queue has left the port, at most until `deadline`
// or a cancel of `ticket` (then the unsent rest is dropped, which also ends
// the kernel's wait). Returns the number of bytes dropped, as DropUnsent.
std::size_t TermiosDevice::DrainUntil(const Deadline& deadline, WriteTicket* ticket) {
    auto drain = [fd = fd_.Get()] { Retry([fd] { return tcdrain(fd); }); };
    if (deadline.None() && !ticket) {
        drain();
        return 0;
    }
    // tcdrain has no time limit and no cancel: it waits on a thread of its own.
    const EventFd drained;
    if (!drained.Valid()) Fail(drained.Error());
    std::thread drainer([&] {
        drain();
        drained.Wake();
    });
    WaitEnd end = WaitEnd::timedOut;
    try {
        short revents = 0;
        end = WaitOrCancel(drained.Fd(), POLLIN, deadline, ticket, revents);
    } catch (...) {
        DropUnsent();
        drainer.join();
        throw;
    }
    const std::size_t dropped = end == WaitEnd::ready ? 0 : DropUnsent();
    drainer.join();
    return dropped;
}

// Time is up: what still waits in the output queue does not leave. Returns
// at least the number of bytes thrown away (the queue only shrinks between
// its count and the flush), so that Write never counts a dropped byte.
// A pseudo-terminal or socat port cannot tell: TIOCOUTQ reads 0 there, and
// its queue is the peer's unread input, which a flush would throw away
// uncounted. Its queue is kept, so every byte that the device has taken
// reaches the peer as counted. A real port whose count cannot be read is
// flushed (to end the drain) and no byte of the write is sure to have left.
std::size_t TermiosDevice::DropUnsent() {
    if (!hasModemLines_) return 0;
    int unsent = 0;
    const bool counted = Retry([&] { return ioctl(fd_.Get(), TIOCOUTQ, &unsent); }) == 0;
    Retry([this] { return tcflush(fd_.Get(), TCOFLUSH); });
    return counted ? static_cast<std::size_t>(unsent) : std::numeric_limits<std::size_t>::max();
}

bool TermiosDevice::WaitReadable(int timeoutMs) {
    pollfd p{fd_.Get(), POLLIN, 0};
    const int r = Retry([&] { return poll(&p, 1, timeoutMs); });
    if (r < 0) Fail(errno);
    if (r > 0 && (p.revents & (POLLERR | POLLNVAL))) Fail(EIO);
    return r > 0;
}

std::size_t TermiosDevice::Read(std::uint8_t* data, std::size_t count) {
    const CommTimeouts t = CurrentTimeouts();
    const bool returnAtOnce = t.ReadIntervalTimeout == MAXDWORD &&
                              t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    const Deadline deadline =
        Deadline::ForTransfer(t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, count);
    std::size_t got = 0;
    for (;;) {
        const ssize_t n = read(fd_.Get(), data + got, count - got);
        if (n < 0 && errno != EAGAIN && errno != EINTR) Fail(errno);
        if (n > 0) got += static_cast<std::size_t>(n);
        if (got == count || returnAtOnce) break;
        if (got > 0 && t.ReadIntervalTimeout == MAXDWORD) break;
        int wait = deadline.RemainingMs();
        if (got > 0 && t.ReadIntervalTimeout != 0 &&
            (wait < 0 || t.ReadIntervalTimeout < static_cast<unsigned>(wait)))
            wait = static_cast<int>(t.ReadIntervalTimeout);
        if (wait == 0 || !WaitReadable(wait)) break;
    }
    Rearm();
    return got;
}

// The abort flags end transfers in flight; transfers here are synchronous,
// so they only check that the device is still there. The clear flags empty
// the queues.
void TermiosDevice::Purge(std::uint32_t flags) {
    const int fd = fd_.Get();
    int queued = 0;
    if ((flags & (PURGE_TXABORT | PURGE_RXABORT)) &&
        Retry([&] { return ioctl(fd, TIOCOUTQ, &queued); }) != 0)
        Fail(errno);
    // A pseudo-terminal's output queue is the peer's unread input: its bytes
    // were counted as written, so they are kept (as DropUnsent keeps them).
    const bool clearOutput = (flags & PURGE_TXCLEAR) && hasModemLines_;
    if (clearOutput && Retry([&] { return tcflush(fd, TCOFLUSH); }) != 0) Fail(errno);
    if ((flags & PURGE_RXCLEAR) && Retry([&] { return tcflush(fd, TCIFLUSH); }) != 0) Fail(errno);
    if (flags & PURGE_RXCLEAR) Rearm();
}

void TermiosDevice::Escape(EscapeFunction function) {
    if (!hasModemLines_) return;  // a virtual port: nothing to drive
    int bit = function == EscapeFunction::SETRTS || function == EscapeFunction::CLRRTS ? TIOCM_RTS
                                                                                       : TIOCM_DTR;
    const bool set = function == EscapeFunction::SETRTS || function == EscapeFunction::SETDTR;
    if (Retry([&] { return ioctl(fd_.Get(), set ? TIOCMBIS : TIOCMBIC, &bit); }) != 0) Fail(errno);
}

CommStatus TermiosDevice::ClearError() {
    CommStatus status;
    status.InQueue = static_cast<std::uint32_t>(InQueue());
    status.Errors = lineErrors_.exchange(0);
    return status;
}

std::uint32_t TermiosDevice::ModemStatus() {
    if (!hasModemLines_) return MS_CTS_ON | MS_DSR_ON | MS_RLSD_ON;
    int bits = 0;
    if (Retry([&] { return ioctl(fd_.Get(), TIOCMGET, &bits); }) != 0) Fail(errno);
    std::uint32_t status = 0;
    if (bits & TIOCM_CTS) status |= MS_CTS_ON;
    if (bits & TIOCM_DSR) status |= MS_DSR_ON;
    if (bits & TIOCM_RNG) status |= MS_RING_ON;
    if (bits & TIOCM_CD) status |= MS_RLSD_ON;
    return status;
}

}  // namespace kmp
