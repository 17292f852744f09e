// Keyboard shortcuts of the window that stand for a click on a button.
#pragma once

#include <QKeySequence>
#include <QList>

class QAbstractButton;
class QWidget;

namespace kmp {

// The shortcuts of the window's buttons.
inline const QList<QKeySequence> kOpenKeys = {QKeySequence(Qt::CTRL | Qt::Key_O)};
// Ctrl+S saves to the current file; Ctrl+Shift+S always asks for a name.
inline const QList<QKeySequence> kSaveKeys = {QKeySequence(Qt::CTRL | Qt::Key_S)};
inline const QList<QKeySequence> kSaveAsKeys = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
inline const QList<QKeySequence> kCompileKeys = {QKeySequence(Qt::Key_F5),
                                                 QKeySequence(Qt::CTRL | Qt::Key_R)};
inline const QList<QKeySequence> kSendKeys = {QKeySequence(Qt::CTRL | Qt::Key_U)};
inline const QList<QKeySequence> kCloseKeys = {QKeySequence(Qt::CTRL | Qt::Key_Q)};
inline const QList<QKeySequence> kCancelKeys = {QKeySequence(Qt::Key_Escape)};
inline const QList<QKeySequence> kReferenceKeys = {QKeySequence(Qt::Key_F1)};

// Makes each of `keys`, pressed anywhere in `window`, click `button`, so that
// the button's own reaction runs (nothing happens while it is disabled), and
// names the keys in the button's tooltip after its caption.
void AddButtonKeys(QWidget& window, QAbstractButton& button, const QList<QKeySequence>& keys);

// "caption (key, key)", the keys as the desktop writes them.
QString TooltipWithKeys(const QString& caption, const QList<QKeySequence>& keys);

}  // namespace kmp
