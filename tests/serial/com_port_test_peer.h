// The tests' view of a port's internal state, which the port does not publish.
#pragma once

#include <chrono>
#include <mutex>

#include "ComPort.h"
#include "ComThread.h"
#include "HandOver.h"

namespace kmp {

class ComPortTestPeer {
public:
    // True while an event thread exists (from Open to Close).
    static bool ThreadRunning(const TCustomComPort& port) { return port.eventThread_ != nullptr; }

    static bool HasBlockReader(const TCustomComPort& port) { return port.hasBlockReader_; }

    // Waits until the event thread has handed reactions over to the port's
    // thread and they have not run yet; false when that did not happen in
    // time. For tests of what Close does with such reactions.
    static bool WaitForQueuedHandOver(TCustomComPort& port, int timeoutMs) {
        if (!port.eventThread_) return false;
        HandOver& h = *port.eventThread_->handOver_;
        std::unique_lock lock(h.mutex_);
        auto queued = [&] { return h.jobQueued_ || h.windowQueued_ > h.windowReleased_; };
        return h.changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            return queued() || h.ended_;
        }) && queued();
    }
};

}  // namespace kmp
