// SIGINT and SIGTERM as events for kmpc --upload: read from a signalfd, so
// nothing runs in a signal handler. The signals must be blocked first
// (BlockStopSignals) in every thread.
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace kmpc {

// The exit status of a run ended by `signal`: 130 for SIGINT, 143 for SIGTERM.
constexpr int ExitStatusOfStop(int signal) {
    return 128 + signal;
}

// Blocks SIGINT and SIGTERM in the calling thread and every thread it
// starts later, so that they arrive only through the signalfd. Call it
// before Qt starts any thread.
void BlockStopSignals();

// A non-blocking signalfd for SIGINT and SIGTERM, or -1.
int OpenStopSignals();

// The stop signal that `fd` holds (SIGINT or SIGTERM), or 0 when none.
int ReadStopSignal(int fd);

// Calls `stop` with the signal's number for every SIGINT and SIGTERM that
// arrives while it lives. Needs a QCoreApplication.
class StopSignalWatch {
public:
    explicit StopSignalWatch(std::function<void(int signal)> stop);
    ~StopSignalWatch();
    StopSignalWatch(const StopSignalWatch&) = delete;
    StopSignalWatch& operator=(const StopSignalWatch&) = delete;

    // False when no signalfd could be made.
    bool Watching() const { return fd_ >= 0; }

private:
    int fd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kmpc
