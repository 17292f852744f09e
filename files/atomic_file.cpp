#include "atomic_file.h"

#include "file_error.h"
#include "program_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <random>

namespace kmp {
namespace {

// Links followed before giving up with ELOOP, as the kernel does.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Where a symbolic link ends.
struct LinkEnd {
    std::string path;    // the last name of the chain: no link (or nothing)
    bool viaDescriptor;  // a link of /proc (/dev/stdout, /dev/fd/N) was passed
    int error;           // 0, or why the chain cannot be followed
};

bool IsProcLink(const std::string& link) {
    struct statfs info {};
    return ::statfs(FolderOf(link).c_str(), &info) == 0 && info.f_type == PROC_SUPER_MAGIC;
}

// Follows the chain of symbolic links that starts at `path`, one link at a
// time, so that a dangling link yields the name it points to.
LinkEnd FollowLinks(const std::string& path) {
    LinkEnd end{path, false, 0};
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(end.path.c_str(), &info) != 0) {
            if (errno != ENOENT) end.error = errno;
            return end;
        }
        if (!S_ISLNK(info.st_mode)) return end;
        if (IsProcLink(end.path)) {
            end.viaDescriptor = true;
            return end;
        }
        char target[PATH_MAX];
        const ssize_t length = ::readlink(end.path.c_str(), target, sizeof target);
        if (length < 0 || length == sizeof target) {
            end.error = length < 0 ? errno : ENAMETOOLONG;
            return end;
        }
        const std::string next(target, static_cast<std::size_t>(length));
        end.path = next.starts_with('/') ? next : FolderOf(end.path) + "/" + next;
    }
    end.error = ELOOP;
    return end;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Writes into an existing file that is not to be replaced. The open does not
// wait (for the reader of a FIFO, the carrier of a terminal); the writes do.
int WriteInPlace(const std::string& path, bool regular, std::string_view bytes) {
    const int flags = O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | (regular ? O_TRUNC : 0);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) return errno;
    int error = ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 ? 0 : errno;
    if (error == 0) error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    return error;
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

// Gives the new file the permissions (and, where allowed, the owner) of the
// file that it replaces.
int CopyPermissions(int fd, const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    // Allowed only to the owner's group or to root; keeping ours is fine otherwise.
    [[maybe_unused]] const int chowned = ::fchown(fd, info.st_uid, info.st_gid);
    return ::fchmod(fd, info.st_mode & 07777) == 0 ? 0 : errno;
}

// Flushes the folder so that the rename itself survives a crash.
void SyncFolder(const std::string& target) {
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Replaces the regular file (or the missing file) `target`.
int ReplaceRegularFile(const std::string& target, std::string_view bytes) {
    std::string tempPath;
    const int fd = CreateTemporary(target, tempPath);
    if (fd < 0) return errno;
    int error = CopyPermissions(fd, target);
    if (error == 0) error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(tempPath.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(tempPath.c_str());
        return error;
    }
    SyncFolder(target);
    return 0;
}

}  // namespace

int WriteFileReplacing(const std::string& path, std::string_view bytes) {
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return errno;
    if (exists && S_ISDIR(info.st_mode)) return EISDIR;
    if (exists && !S_ISREG(info.st_mode)) return WriteInPlace(path, false, bytes);
    const LinkEnd end = FollowLinks(path);
    if (end.error != 0) return end.error;
    if (end.viaDescriptor) return WriteInPlace(path, exists, bytes);
    return ReplaceRegularFile(end.path, bytes);
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    if (const int error = WriteFileReplacing(path, bytes); error != 0)
        throw FileError(CannotCreateMessage(path, error));
}

}  // namespace kmp
