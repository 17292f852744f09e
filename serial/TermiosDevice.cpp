#include "TermiosDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <thread>

#include "ModemWatcher.h"

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

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Milliseconds left until `deadline`, -1 for none (deadline < 0).
int Remaining(long long deadline) {
    if (deadline < 0) return -1;
    const long long left = deadline - NowMs();
    return left <= 0 ? 0 : static_cast<int>(left);
}

[[noreturn]] void Fail(int error) {
    throw DeviceError(error);
}

void ApplyCharacterFormat(termios& t, const Dcb& dcb) {
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= dcb.ByteSize >= 5 && dcb.ByteSize <= 8 ? kSizes[dcb.ByteSize - 5] : CS8;
    if (dcb.StopBits != ONESTOPBIT) t.c_cflag |= CSTOPB;
    if (dcb.Parity != NOPARITY) t.c_cflag |= PARENB;
    if (dcb.Parity == ODDPARITY || dcb.Parity == MARKPARITY) t.c_cflag |= PARODD;
    if (dcb.Parity == MARKPARITY || dcb.Parity == SPACEPARITY) t.c_cflag |= CMSPAR;
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == 2) t.c_cflag |= CRTSCTS;
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

std::unique_ptr<ComDevice> OpenTermiosDevice(const std::string& port) {
    if (port.empty()) Fail(ENOENT);
    const std::string path = port.front() == '/' ? port : "/dev/" + port;
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Fail(errno);
    auto closeAndFail = [fd](int error) {
        close(fd);
        Fail(error);
    };
    termios t{};
    if (tcgetattr(fd, &t) != 0) closeAndFail(errno);
    // TIOCEXCL keeps other users out; the lock also covers root, whom
    // TIOCEXCL does not stop.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) closeAndFail(errno);
    ioctl(fd, TIOCEXCL);
    const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) closeAndFail(errno);
    return std::make_unique<TermiosDevice>(fd, wakeFd);
}

TermiosDevice::TermiosDevice(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd) {
    int bits = 0;
    // Pseudo-terminals have no modem lines: ENOTTY (EINVAL before Linux 5.13).
    hasModemLines_ = ioctl(fd_, TIOCMGET, &bits) == 0 || (errno != ENOTTY && errno != EINVAL);
    lastModemBits_ = bits;
    if (hasModemLines_) watcher_ = std::make_unique<ModemWatcher>(fd_, wakeFd_);
}

TermiosDevice::~TermiosDevice() {
    watcher_.reset();
    ioctl(fd_, TIOCNXCL);
    close(fd_);
    close(wakeFd_);
}

void TermiosDevice::Wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
}

// A read (or purge) lets the next arrival of bytes be reported again.
void TermiosDevice::Rearm() {
    if (!rxArmed_.exchange(true)) Wake();
}

int TermiosDevice::InQueue() const {
    int count = 0;
    if (ioctl(fd_, TIOCINQ, &count) != 0) Fail(errno);
    return count;
}

void TermiosDevice::SetupQueues(int inputSize, int /*outputSize*/) {
    // The kernel's queues have a fixed size; the input size only scales the
    // 80 % mark of evRx80Full.
    inputSize_ = inputSize;
}

void TermiosDevice::SetState(const Dcb& dcb) {
    termios t{};
    if (tcgetattr(fd_, &t) != 0) Fail(errno);
    cfmakeraw(&t);
    ApplyCharacterFormat(t, dcb);
    speed_t code = B38400;
    const bool standard = StandardSpeed(dcb.BaudRate, code);
    cfsetispeed(&t, code);
    cfsetospeed(&t, code);
    if (tcsetattr(fd_, TCSANOW, &t) != 0) Fail(errno);
    if (!standard) {
        const int error = SetCustomBaudRate(fd_, dcb.BaudRate);
        if (error != 0) Fail(error);
    }
    if (!hasModemLines_) return;
    // Lines not under driver control follow their enable / disable setting.
    if (dcb.fDtrControl != 2)
        Escape(dcb.fDtrControl == 1 ? EscapeFunction::SETDTR : EscapeFunction::CLRDTR);
    if (dcb.fRtsControl == 0 || dcb.fRtsControl == 1)
        Escape(dcb.fRtsControl == 1 ? EscapeFunction::SETRTS : EscapeFunction::CLRRTS);
}

void TermiosDevice::SetTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
}

CommTimeouts TermiosDevice::CurrentTimeouts() {
    std::lock_guard lock(mutex_);
    return timeouts_;
}

std::size_t TermiosDevice::Write(const std::uint8_t* data, std::size_t count) {
    const CommTimeouts t = CurrentTimeouts();
    const long long total =
        static_cast<long long>(t.WriteTotalTimeoutMultiplier) * static_cast<long long>(count) +
        t.WriteTotalTimeoutConstant;
    const long long deadline = total > 0 ? NowMs() + total : -1;
    std::size_t sent = 0;
    while (sent < count) {
        const ssize_t n = write(fd_, data + sent, count - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) Fail(errno);
        pollfd p{fd_, POLLOUT, 0};
        const int r = poll(&p, 1, Remaining(deadline));
        if (r < 0 && errno != EINTR) Fail(errno);
        if (r == 0) break;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) Fail(EIO);
    }
    const std::size_t unsent = sent < count ? DropUnsent() : DrainUntil(deadline);
    sent -= std::min(sent, unsent);
    txEmptyPending_ = true;
    Wake();
    return sent;
}

// Waits until the output queue has left the port, at most until `deadline`
// (then the unsent rest is dropped, which also ends the kernel's wait).
// Returns the number of bytes dropped.
std::size_t TermiosDevice::DrainUntil(long long deadline) {
    if (deadline < 0) {
        while (tcdrain(fd_) != 0 && errno == EINTR) {
        }
        return 0;
    }
    std::promise<void> drained;
    auto done = drained.get_future();
    std::thread drain([&] {
        while (tcdrain(fd_) != 0 && errno == EINTR) {
        }
        drained.set_value();
    });
    std::size_t dropped = 0;
    if (done.wait_for(std::chrono::milliseconds(Remaining(deadline))) ==
        std::future_status::timeout)
        dropped = DropUnsent();  // this also ends the kernel's wait
    drain.join();
    return dropped;
}

// Time is up: what still waits in the output queue does not leave.
std::size_t TermiosDevice::DropUnsent() {
    int unsent = 0;
    if (ioctl(fd_, TIOCOUTQ, &unsent) != 0) unsent = 0;
    tcflush(fd_, TCOFLUSH);
    return static_cast<std::size_t>(unsent);
}

bool TermiosDevice::WaitReadable(int timeoutMs) {
    pollfd p{fd_, POLLIN, 0};
    for (;;) {
        const int r = poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) Fail(errno);
        if (r > 0 && (p.revents & (POLLERR | POLLNVAL))) Fail(EIO);
        return r > 0;
    }
}

std::size_t TermiosDevice::Read(std::uint8_t* data, std::size_t count) {
    const CommTimeouts t = CurrentTimeouts();
    const bool returnAtOnce = t.ReadIntervalTimeout == MAXDWORD &&
                              t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    const long long total =
        static_cast<long long>(t.ReadTotalTimeoutMultiplier) * static_cast<long long>(count) +
        t.ReadTotalTimeoutConstant;
    const long long deadline = total > 0 ? NowMs() + total : -1;
    std::size_t got = 0;
    for (;;) {
        const ssize_t n = read(fd_, data + got, count - got);
        if (n < 0 && errno != EAGAIN && errno != EINTR) Fail(errno);
        if (n > 0) got += static_cast<std::size_t>(n);
        if (got == count || returnAtOnce) break;
        if (got > 0 && t.ReadIntervalTimeout == MAXDWORD) break;
        int wait = Remaining(deadline);
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
    int queued = 0;
    if ((flags & (PURGE_TXABORT | PURGE_RXABORT)) && ioctl(fd_, TIOCOUTQ, &queued) != 0)
        Fail(errno);
    if ((flags & PURGE_TXCLEAR) && tcflush(fd_, TCOFLUSH) != 0) Fail(errno);
    if ((flags & PURGE_RXCLEAR) && tcflush(fd_, TCIFLUSH) != 0) Fail(errno);
    if (flags & PURGE_RXCLEAR) Rearm();
}

void TermiosDevice::Escape(EscapeFunction function) {
    if (!hasModemLines_) return;  // a virtual port: nothing to drive
    int bit = function == EscapeFunction::SETRTS || function == EscapeFunction::CLRRTS ? TIOCM_RTS
                                                                                       : TIOCM_DTR;
    const bool set = function == EscapeFunction::SETRTS || function == EscapeFunction::SETDTR;
    if (ioctl(fd_, set ? TIOCMBIS : TIOCMBIC, &bit) != 0) Fail(errno);
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
    if (ioctl(fd_, TIOCMGET, &bits) != 0) Fail(errno);
    std::uint32_t status = 0;
    if (bits & TIOCM_CTS) status |= MS_CTS_ON;
    if (bits & TIOCM_DSR) status |= MS_DSR_ON;
    if (bits & TIOCM_RNG) status |= MS_RING_ON;
    if (bits & TIOCM_CD) status |= MS_RLSD_ON;
    return status;
}

}  // namespace kmp
