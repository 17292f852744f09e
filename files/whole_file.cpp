#include "whole_file.h"

#include "file_error.h"
#include "program_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kmp {
namespace {

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

// Reads to the end of `fd`; false with errno set on a read error.
bool ReadAll(int fd, std::size_t sizeHint, std::string& bytes) {
    bytes.resize(sizeHint + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return true;
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    // Non-blocking, so that a FIFO cannot stall the open; only regular files are read.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) throw FileError(CannotOpenMessage(path, errno));
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) throw FileError(CannotOpenMessage(path, errno));
    if (S_ISDIR(info.st_mode)) throw FileError(CannotOpenMessage(path, EISDIR));
    if (!S_ISREG(info.st_mode)) throw FileError(CannotOpenMessage(path, EINVAL));
    std::string bytes;
    if (!ReadAll(file.get(), static_cast<std::size_t>(info.st_size), bytes))
        throw FileError(CannotOpenMessage(path, errno));
    return bytes;
}

}  // namespace kmp
