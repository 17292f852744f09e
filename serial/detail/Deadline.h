// The end of a transfer that the port's total time-outs allow.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace kmp {

class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    // No time limit.
    Deadline() = default;
    // Multiplier × count + constant milliseconds from now; none when that is 0.
    static Deadline ForTransfer(std::uint32_t multiplierMs, std::uint32_t constantMs,
                                std::size_t count);

    bool None() const { return when_ == Clock::time_point::max(); }
    // The moment itself; Clock::time_point::max() without a limit.
    Clock::time_point When() const { return when_; }
    // Milliseconds left, rounded up, as poll takes them: -1 without a limit,
    // 0 once the moment has passed.
    int RemainingMs() const;

private:
    Clock::time_point when_ = Clock::time_point::max();
};

}  // namespace kmp
