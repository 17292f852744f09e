#include "atomic_file.h"

#include "file_error.h"
#include "program_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

namespace kmp {
namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A symbolic link is replaced by writing to the file it points to.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// Creates a new file next to `target`; its name goes to `tempPath`.
int CreateTemporary(const std::string& target, std::string& tempPath) {
    std::random_device random;
    const auto slash = target.rfind('/');
    const std::string prefix =
        FolderOf(target) + "/." + target.substr(slash == std::string::npos ? 0 : slash + 1) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = prefix + std::to_string(random() % 1'000'000'000u) + ".tmp";
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Gives the new file the permissions (and, where allowed, the owner) of the
// file that it replaces.
bool CopyPermissions(int fd, const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return true;
    // Allowed only to the owner's group or to root; keeping ours is fine otherwise.
    [[maybe_unused]] const int chowned = ::fchown(fd, info.st_uid, info.st_gid);
    return ::fchmod(fd, info.st_mode & 07777) == 0;
}

// Flushes the folder so that the rename itself survives a crash.
void SyncFolder(const std::string& target) {
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = ResolvedTarget(path);
    std::string tempPath;
    const int fd = CreateTemporary(target, tempPath);
    if (fd < 0) throw FileError(CannotCreateMessage(path, errno));
    bool ok = CopyPermissions(fd, target) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(tempPath.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (ok) {
        SyncFolder(target);
        return;
    }
    ::unlink(tempPath.c_str());
    throw FileError(CannotCreateMessage(path, error));
}

}  // namespace kmp
