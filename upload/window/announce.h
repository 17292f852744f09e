// Tells a screen reader a result that the window shows in a pane: the
// pane's accessible description becomes the sentence, and the change is
// reported as an accessible event.
#pragma once

#include <QString>

class QWidget;

namespace kmp {

void Announce(QWidget& pane, const QString& sentence);

}  // namespace kmp
