#include "window_fit.h"

#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace kmp {
namespace {

QSize RoomInside(const QRect& available, const QMargins& frame) {
    return {available.width() - frame.left() - frame.right(),
            available.height() - frame.top() - frame.bottom()};
}

QMargins FrameOf(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Fits the framed window into its screen's free area once.
void FitFrame(QWidget& window, const QSize& size) {
    const QScreen* screen = window.screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = FrameOf(window);
    ScrollWhenLargerThanScreen(window, size, available, frame);
    const QSize room = RoomInside(available, frame);
    if (window.width() > room.width() || window.height() > room.height())
        window.resize(window.size().boundedTo(room));
    // A top-level window's position is its frame's.
    const QSize outer = window.size().grownBy(frame);
    const int x = std::clamp(window.x(), available.left(),
                             std::max(available.left(), available.right() + 1 - outer.width()));
    const int y = std::clamp(window.y(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - outer.height()));
    if (QPoint(x, y) != window.pos()) window.move(x, y);
}

// Waits for the window manager's frame, which comes after the window is
// shown (with a move or resize of the window), then fits the window once.
class FrameWatch final : public QObject {
public:
    FrameWatch(QWidget& window, const QSize& size)
        : QObject(&window), window_(window), size_(size) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == &window_ && (type == QEvent::Show || type == QEvent::Move ||
                                    type == QEvent::Resize || type == QEvent::WindowActivate)) {
            // After the event, when the window's geometry holds its news.
            QTimer::singleShot(0, this, [this] { Check(); });
        }
        return false;
    }

private:
    void Check() {
        if (done_ || !window_.isVisible() || FrameOf(window_).isNull()) return;
        done_ = true;
        window_.removeEventFilter(this);
        FitFrame(window_, size_);
    }

    QWidget& window_;
    QSize size_;
    bool done_ = false;
};

}  // namespace

QMargins GuessedFrame(const QWidget& window) {
    return {0, window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window), 0, 0};
}

bool ScrollWhenLargerThanScreen(QWidget& window, const QSize& size, const QRect& available,
                                const QMargins& frame) {
    const QSize room = RoomInside(available, frame);
    if (size.width() <= room.width() && size.height() <= room.height()) return false;
    if (window.findChild<QScrollArea*>(QStringLiteral("TForm1Scroll"))) return true;
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("TForm1Content"));
    content->setFixedSize(size);
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;
        // A new parent hides a widget; the hidden ones (the send's
        // controls) stay hidden.
        const bool hidden = child->isHidden();
        child->setParent(content);
        child->setVisible(!hidden);
    }
    auto* area = new QScrollArea;
    area->setObjectName(QStringLiteral("TForm1Scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(content);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    // Room for the scroll bars beside the controls: where the width fits,
    // only the height scrolls.
    const int bar = window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &window);
    window.setMinimumSize(size.boundedTo(QSize(320, 240)));
    window.setMaximumSize(size + QSize(bar, bar));
    window.resize(QSize(size.width() + bar, size.height()).boundedTo(room));
    return true;
}

void KeepFrameOnScreen(QWidget& window, const QSize& size) {
    new FrameWatch(window, size);
}

}  // namespace kmp
