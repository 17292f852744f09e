#include "ModemWatcher.h"

#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>

#include "Descriptors.h"

namespace kmp {

namespace {

// The signal that interrupts TIOCMIWAIT at stop. Its handler does nothing;
// it is installed without SA_RESTART so that the ioctl returns EINTR.
constexpr int kInterruptSignal = SIGURG;

void Ignore(int) {}

void InstallInterruptHandler() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = Ignore;
        sigemptyset(&action.sa_mask);
        return sigaction(kInterruptSignal, &action, nullptr) == 0;
    }();
    (void)installed;
}

constexpr int kLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RNG;
constexpr int kNoIoctlCommand = 515;  // ENOIOCTLCMD, seen by some drivers

}  // namespace

ModemWatcher::ModemWatcher(int fd, const EventFd& wake) : fd_(fd), wake_(wake) {
    InstallInterruptHandler();
    thread_ = std::thread([this] { Run(); });
}

ModemWatcher::~ModemWatcher() {
    stop_ = true;
    std::unique_lock lock(mutex_);
    // The signal may arrive just before the thread enters the ioctl; it is
    // sent again until the thread has ended.
    while (!ended_) {
        pthread_kill(thread_.native_handle(), kInterruptSignal);
        endedChanged_.wait_for(lock, std::chrono::milliseconds(20));
    }
    lock.unlock();
    thread_.join();
}

void ModemWatcher::Run() {
    while (!stop_) {
        if (ioctl(fd_, TIOCMIWAIT, kLines) == 0) {
            wake_.Wake();
            continue;
        }
        if (errno == EINTR) continue;
        if (errno == ENOTTY || errno == EINVAL || errno == kNoIoctlCommand) unsupported_ = true;
        wake_.Wake();  // the event wait sees the fallback or the lost device
        break;
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    endedChanged_.notify_all();
}

}  // namespace kmp
