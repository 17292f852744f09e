// What a background write of the port reports: its end (WriteOutcome, once)
// and its progress while it runs (WriteStatus, on request).
#pragma once

#include <chrono>
#include <exception>

namespace kmp {

// How a background write ended.
enum TWriteEnd {
    weCompleted,  // every byte left the port
    weTimedOut,   // the write time-out ended it short
    weCancelled,  // CancelWrite (or Close) stopped it
    weFailed,     // the device failed: Error holds the EComPort
};

struct WriteOutcome {
    int Written = 0;  // bytes that left the port
    int Total = 0;    // bytes asked for
    TWriteEnd End = weCompleted;
    std::exception_ptr Error;  // the EComPort of weFailed, else null
};

struct WriteStatus {
    using Clock = std::chrono::steady_clock;

    bool Running = false;  // a background write is in flight
    int Written = 0;       // bytes that left the port so far (the end count after it)
    int Total = 0;         // bytes of the write (of the last one after it)
    // The transmitter waits for the handshake: CTS off while CTS flow control
    // is on, since HeldSince.
    bool Held = false;
    Clock::time_point HeldSince{};
};

}  // namespace kmp
