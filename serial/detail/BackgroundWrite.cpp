#include "BackgroundWrite.h"

namespace kmp {

BackgroundWrite::BackgroundWrite(ComDevice& device, std::vector<std::uint8_t> data,
                                 const EventFd& ended)
    : device_(device), data_(std::move(data)), wake_(ended) {
    worker_ = std::thread([this] { Run(); });
}

BackgroundWrite::~BackgroundWrite() {
    Cancel();
    Join();
}

void BackgroundWrite::Run() {
    try {
        written_ = device_.Write(data_.data(), data_.size(), &ticket_);
    } catch (...) {
        error_ = std::current_exception();
    }
    ended_ = true;
    wake_.Wake();
}

void BackgroundWrite::Cancel() noexcept {
    if (!ticket_.cancelled) device_.CancelWrite(ticket_);
}

void BackgroundWrite::Join() {
    if (worker_.joinable()) worker_.join();
}

}  // namespace kmp
