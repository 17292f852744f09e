// Start-up measurements and the screenshot tool of kmp-studio.
#pragma once

#include <QString>

class QWidget;

namespace kmp {

// With KMP_PRINT_FIRST_PAINT set, prints "first-paint NANOSECONDS" (wall
// clock since the epoch) to standard output when `window` is first painted.
void WatchFirstPaint(QWidget& window);

// Saves a picture of `window` to `path` once it has been painted, then quits.
void TakeScreenshotAndQuit(QWidget& window, const QString& path);

}  // namespace kmp
