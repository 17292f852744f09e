#include "stop_signal.h"

#include <QSocketNotifier>

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace kmpc {

namespace {

sigset_t StopSignalSet() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    return stopSignals;
}

}  // namespace

void BlockStopSignals() {
    const sigset_t stopSignals = StopSignalSet();
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
}

int OpenStopSignals() {
    const sigset_t stopSignals = StopSignalSet();
    return signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC);
}

int ReadStopSignal(int fd) {
    signalfd_siginfo info{};
    ssize_t n;
    do {
        n = read(fd, &info, sizeof info);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(sizeof info) ? static_cast<int>(info.ssi_signo) : 0;
}

StopSignalWatch::StopSignalWatch(std::function<void(int signal)> stop) : fd_(OpenStopSignals()) {
    // Without a signalfd the signals stay blocked and pending: the upload
    // then ends on its own time limits.
    if (fd_ < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, stop = std::move(stop)] {
        if (const int signal = ReadStopSignal(fd_); signal != 0) stop(signal);
    });
}

StopSignalWatch::~StopSignalWatch() {
    notifier_.reset();
    if (fd_ >= 0) close(fd_);
}

}  // namespace kmpc
