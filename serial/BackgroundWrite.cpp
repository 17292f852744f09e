#include "BackgroundWrite.h"

namespace kmp {

BackgroundWrite::BackgroundWrite(ComDevice& device, std::vector<std::uint8_t> data,
                                 std::function<void()> ended)
    : device_(device), data_(std::move(data)) {
    worker_ = std::thread([this, ended = std::move(ended)] { Run(ended); });
}

BackgroundWrite::~BackgroundWrite() {
    Cancel();
    Join();
}

void BackgroundWrite::Run(const std::function<void()>& ended) {
    try {
        written_ = device_.Write(data_.data(), data_.size(), &ticket_);
    } catch (...) {
        error_ = std::current_exception();
    }
    ended();
}

void BackgroundWrite::Cancel() noexcept {
    if (!ticket_.cancelled) device_.CancelWrite(ticket_);
}

void BackgroundWrite::Join() {
    if (worker_.joinable()) worker_.join();
}

}  // namespace kmp
