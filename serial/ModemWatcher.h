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

class ModemWatcher {
public:
    ModemWatcher(int fd, int wakeFd);
    ~ModemWatcher();
    ModemWatcher(const ModemWatcher&) = delete;
    ModemWatcher& operator=(const ModemWatcher&) = delete;

    bool Unsupported() const { return unsupported_; }

private:
    void Run();
    void Wake();

    const int fd_;
    const int wakeFd_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> unsupported_{false};
    std::mutex mutex_;
    std::condition_variable endedChanged_;
    bool ended_ = false;
    std::thread thread_;
};

}  // namespace kmp
