#include "window_fit.h"

#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

namespace kmp {

int TitleBarAllowance(const QWidget& window) {
    return window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
}

bool ScrollWhenLargerThanScreen(QWidget& window, const QSize& size, const QRect& available) {
    const QSize room(available.width(), available.height() - TitleBarAllowance(window));
    if (size.width() <= room.width() && size.height() <= room.height()) return false;
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

}  // namespace kmp
