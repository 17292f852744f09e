// A window of fixed size on a screen too small for it.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace kmp {

// The height that the window manager's title bar takes above a window.
int TitleBarAllowance(const QWidget& window);

// When `available` (the screen's free area) cannot hold `window` at its
// fixed `size` with its title bar, moves the window's controls unchanged
// into a scroll area and lets the window be resized up to `size` and its
// scroll bars, starting at the largest size that fits. Where it fits nothing changes. Returns
// true when the controls now scroll.
bool ScrollWhenLargerThanScreen(QWidget& window, const QSize& size, const QRect& available);

}  // namespace kmp
