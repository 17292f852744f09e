#include "input_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kmpc {
namespace {

bool ReadAll(int fd, std::string& bytes, int& error) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            return true;
        } else if (errno != EINTR) {
            error = errno;
            return false;
        }
    }
}

}  // namespace

bool ReadInputBytes(const std::string& path, std::string& bytes, int& error) {
    if (path == "-") return ReadAll(STDIN_FILENO, bytes, error);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    const bool ok = ReadAll(fd, bytes, error);
    close(fd);
    return ok;
}

}  // namespace kmpc
