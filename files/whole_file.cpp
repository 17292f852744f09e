#include "whole_file.h"

#include "file_error.h"
#include "program_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kmp {
namespace {

constexpr std::size_t kFirstRead = 65536;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// One read, retried on EINTR; a descriptor left non-blocking by someone else
// is waited for rather than failed.
ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return -1;
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, -1) < 0 && errno != EINTR) return -1;
    }
}

// Reads to the end of `fd` after the `used` bytes already in `bytes`. The
// buffer never grows past the limit and one byte, so a source without end
// costs bounded memory.
int ReadBounded(int fd, std::size_t sizeHint, std::string& bytes, std::size_t used) {
    constexpr std::size_t kCapacity = kMaxProgramFileBytes + 1;
    if (sizeHint > kMaxProgramFileBytes) return kTextTooLong;
    bytes.resize(std::clamp(sizeHint + 1, std::max(kFirstRead, used + 1), kCapacity));
    for (;;) {
        if (used == bytes.size()) {
            if (used == kCapacity) {
                std::string().swap(bytes);
                return kTextTooLong;
            }
            bytes.resize(std::min(bytes.size() * 2, kCapacity));
        }
        const ssize_t n = ReadSome(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0) return errno;
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return 0;
}

bool IsAnonymousPipe(int fd) {
    struct statfs info {};
    return ::fstatfs(fd, &info) == 0 && info.f_type == PIPEFS_MAGIC;
}

// A named FIFO opened without waiting: a read gives its first byte, EAGAIN
// while a writer holds it open, and 0 when nobody does (a blocking read would
// then wait for a writer that may never come). False when there is no writer.
bool ProbeFifoWriter(int fd, std::string& bytes) {
    char first = 0;
    ssize_t n;
    do {
        n = ::read(fd, &first, 1);
    } while (n < 0 && errno == EINTR);
    if (n == 1) bytes.assign(1, first);
    return n == 1 || (n < 0 && errno == EAGAIN);
}

}  // namespace

int ReadProgramInputFrom(int fd, std::string& bytes) {
    bytes.clear();
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    return ReadBounded(fd, regular ? static_cast<std::size_t>(info.st_size) : 0, bytes, 0);
}

int ReadProgramInput(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Non-blocking, so that neither a FIFO nor a terminal's carrier stalls the open.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) return errno;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    // A terminal would wait for a person or a device to type the program.
    if (::isatty(file.get())) return EINVAL;
    if (S_ISFIFO(info.st_mode) && !IsAnonymousPipe(file.get()) &&
        !ProbeFifoWriter(file.get(), bytes)) {
        return EINVAL;
    }
    if (::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK) != 0) return errno;
    const std::size_t sizeHint = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
    return ReadBounded(file.get(), sizeHint, bytes, bytes.size());
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    if (const int error = ReadProgramInput(path, bytes); error != 0)
        throw FileError(CannotOpenMessage(path, error == kTextTooLong ? EFBIG : error));
    return bytes;
}

}  // namespace kmp
