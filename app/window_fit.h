// A window of fixed size on a screen too small for it.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace kmp {

// The frame that the window manager will draw around `window`, as far as
// it can be told before the window is shown: the style's title bar.
QMargins GuessedFrame(const QWidget& window);

// When `available` (the screen's free area) cannot hold `window` at its
// fixed `size` inside `frame`, moves the window's controls unchanged into a
// scroll area and lets the window be resized up to `size` and its scroll
// bars, starting at the largest size that fits. Where it fits nothing
// changes. Returns true when the controls now scroll.
bool ScrollWhenLargerThanScreen(QWidget& window, const QSize& size, const QRect& available,
                                const QMargins& frame);

// Once the window manager has framed `window` (its real title bar and
// borders are known only then), makes the whole frame fit its screen's free
// area: the controls scroll where needed, the window shrinks and moves.
// `size` is the window's full size.
void KeepFrameOnScreen(QWidget& window, const QSize& size);

}  // namespace kmp
