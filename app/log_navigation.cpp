#include "log_navigation.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace kmp {

PaneLineChoice::PaneLineChoice(QPlainTextEdit& pane, Gesture gesture,
                               std::function<void(int)> chosen)
    : QObject(&pane), pane_(pane), gesture_(gesture), chosen_(std::move(chosen)) {
    pane.viewport()->installEventFilter(this);
    pane.installEventFilter(this);
}

bool PaneLineChoice::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type mouse =
        gesture_ == Gesture::Click ? QEvent::MouseButtonRelease : QEvent::MouseButtonDblClick;
    if (watched == pane_.viewport() && event->type() == mouse) {
        const auto* click = static_cast<QMouseEvent*>(event);
        if (click->button() == Qt::LeftButton)
            chosen_(pane_.cursorForPosition(click->position().toPoint()).blockNumber());
    } else if (watched == &pane_ && event->type() == QEvent::KeyPress &&
               gesture_ == Gesture::DoubleClickOrEnter) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // A line selected whole (triple click, Shift+Down) ends at the
            // start of the next line: the selection's first line is meant.
            const QTextCursor cursor = pane_.textCursor();
            chosen_(pane_.document()->findBlock(cursor.selectionStart()).blockNumber());
            return true;
        }
    }
    return false;
}

}  // namespace kmp
