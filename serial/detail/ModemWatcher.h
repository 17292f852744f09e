// Wakes a port's event wait when a modem input line changes, by blocking in
// TIOCMIWAIT on a thread of its own. Drivers without TIOCMIWAIT (cp210x)
// make it report Unsupported(); the event wait then reads the lines every
// 50 ms instead.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kmp {

class EventFd;

class ModemWatcher {
public:
    // Watches the lines of `fd` and wakes `wake`; both outlive the watcher.
    ModemWatcher(int fd, const EventFd& wake);
    ~ModemWatcher();
    ModemWatcher(const ModemWatcher&) = delete;
    ModemWatcher& operator=(const ModemWatcher&) = delete;

    bool Unsupported() const { return unsupported_; }

private:
    void Run();

    const int fd_;
    const EventFd& wake_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> unsupported_{false};
    std::mutex mutex_;
    std::condition_variable endedChanged_;
    bool ended_ = false;
    std::thread thread_;
};

}  // namespace kmp
