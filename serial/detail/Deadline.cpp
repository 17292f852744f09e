#include "Deadline.h"

#include <algorithm>
#include <climits>

namespace kmp {

namespace {

// About 31 years: longer limits are kept at this, so that the moment stays
// within the clock's range.
constexpr unsigned long long kLongestMs = 1'000'000'000'000ULL;

}  // namespace

Deadline Deadline::ForTransfer(std::uint32_t multiplierMs, std::uint32_t constantMs,
                               std::size_t count) {
    unsigned long long total = kLongestMs;
    if (count == 0 || multiplierMs <= kLongestMs / count)
        total = std::min(kLongestMs, multiplierMs * static_cast<unsigned long long>(count) +
                                         static_cast<unsigned long long>(constantMs));
    Deadline deadline;
    if (total > 0) deadline.when_ = Clock::now() + std::chrono::milliseconds(total);
    return deadline;
}

int Deadline::RemainingMs() const {
    if (None()) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when_ - Clock::now()).count();
    if (left <= 0) return 0;
    return left >= INT_MAX ? INT_MAX : static_cast<int>(left);
}

}  // namespace kmp
