#include "file_drop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>
#include <QWidget>
#include <algorithm>

namespace kmp {

bool HoldsLocalFiles(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

QString DroppedProgramFile(const QMimeData& data) {
    if (!data.hasUrls()) return {};
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        const QFileInfo info(path);
        if (!info.isFile()) continue;
        if (info.suffix().compare(QLatin1String("kmp"), Qt::CaseInsensitive) == 0) return path;
        if (QMimeDatabase().mimeTypeForFile(info).inherits(QStringLiteral("text/plain")))
            return path;
    }
    return {};
}

ProgramFileDrop::ProgramFileDrop(std::function<bool()> accepting,
                                 std::function<void(const QString&)> open, QObject* parent)
    : QObject(parent), accepting_(std::move(accepting)), open_(std::move(open)) {}

void ProgramFileDrop::Watch(QWidget& widget) {
    widget.setAcceptDrops(true);
    widget.installEventFilter(this);
}

bool ProgramFileDrop::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    // Drags without files (text, for instance) go on to the widget.
    auto* drop = static_cast<QDropEvent*>(event);
    if (!HoldsLocalFiles(*drop->mimeData())) return QObject::eventFilter(watched, event);
    const QString name = DroppedProgramFile(*drop->mimeData());
    if (name.isEmpty() || !accepting_()) {
        // Other files are refused rather than pasted as their names.
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) open_(name);
    return true;
}

}  // namespace kmp
