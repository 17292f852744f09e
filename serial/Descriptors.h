// File descriptors of the serial layer: one that closes itself, and the
// event descriptor through which one thread wakes another's wait.
#pragma once

namespace kmp {

// Owns a file descriptor and closes it at the end (-1: none).
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd& operator=(UniqueFd&&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// An eventfd: Wake makes it readable until Drain, from any thread. Neither
// blocks. A failed creation leaves it invalid, with the errno in Error().
class EventFd {
public:
    EventFd();

    int Fd() const { return fd_.Get(); }
    bool Valid() const { return fd_.Valid(); }
    int Error() const { return error_; }
    void Wake() const;
    void Drain() const;

private:
    UniqueFd fd_;
    int error_ = 0;
};

}  // namespace kmp
