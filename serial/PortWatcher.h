// PortWatcher: tells when serial devices may have come or gone, from the
// kernel's inotify events on the device folders (no polling).
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include <map>
#include <memory>

namespace kmp {

class PortWatcher : public QObject {
    Q_OBJECT
public:
    // The folders where device nodes and their stable links appear.
    static QStringList SystemFolders();

    // Watches `folders` (a folder that does not exist yet is watched from
    // the moment it appears inside a watched one). A burst of events within
    // `settleMs` gives one Changed(). Without inotify nothing is reported.
    explicit PortWatcher(QStringList folders = SystemFolders(), int settleMs = 250,
                         QObject* parent = nullptr);
    ~PortWatcher() override;

    bool Watching() const { return fd_ >= 0; }

signals:
    // Something in a watched folder was created, removed or renamed.
    void Changed();

private:
    void ReadEvents();
    void AddMissingWatches();

    QStringList folders_;
    int fd_ = -1;
    std::map<QString, int> watches_;  // folder -> watch descriptor
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer settle_;
};

}  // namespace kmp
