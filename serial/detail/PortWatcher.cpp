#include "PortWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

namespace kmp {
namespace {

// Node creation and removal, links made or dropped by udev, and folders
// moved in or out (udev writes by-id links through a rename).
constexpr std::uint32_t kWatchedEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

QStringList PortWatcher::SystemFolders() {
    return {QStringLiteral("/dev"), QStringLiteral("/dev/serial"),
            QStringLiteral("/dev/serial/by-id")};
}

PortWatcher::PortWatcher(QStringList folders, int settleMs, QObject* parent)
    : QObject(parent), folders_(std::move(folders)) {
    settle_.setSingleShot(true);
    settle_.setInterval(settleMs);
    connect(&settle_, &QTimer::timeout, this, &PortWatcher::Changed);
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return;
    AddMissingWatches();
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &PortWatcher::ReadEvents);
}

PortWatcher::~PortWatcher() {
    notifier_.reset();
    if (fd_ >= 0) close(fd_);
}

// A folder that is missing now (no USB adapter yet: no /dev/serial) is
// tried again after every event, so its links are seen once it exists.
void PortWatcher::AddMissingWatches() {
    for (const QString& folder : folders_) {
        if (watches_.count(folder)) continue;
        const int wd = inotify_add_watch(fd_, folder.toLocal8Bit().constData(), kWatchedEvents);
        if (wd >= 0) watches_[folder] = wd;
    }
}

void PortWatcher::ReadEvents() {
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    for (;;) {
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // EAGAIN: all read
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                // The folder itself went away: watch it again when it is back.
                for (auto it = watches_.begin(); it != watches_.end(); ++it)
                    if (it->second == event->wd) {
                        watches_.erase(it);
                        break;
                    }
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            any = true;
        }
    }
    if (!any) return;
    AddMissingWatches();
    if (!settle_.isActive()) settle_.start();
}

}  // namespace kmp
