#include "file_drop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>
#include <QWidget>

namespace kmp {

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

ProgramFileDrop::ProgramFileDrop(std::function<void(const QString&)> open, QObject* parent)
    : QObject(parent), open_(std::move(open)) {}

void ProgramFileDrop::Watch(QWidget& widget) {
    widget.setAcceptDrops(true);
    widget.installEventFilter(this);
}

bool ProgramFileDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedProgramFile(*drag->mimeData()).isEmpty()) break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString name = DroppedProgramFile(*drop->mimeData());
        if (name.isEmpty()) break;
        drop->acceptProposedAction();
        open_(name);
        return true;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kmp
