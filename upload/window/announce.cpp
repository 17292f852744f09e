#include "announce.h"

#include <QAccessible>
#include <QWidget>

namespace kmp {

void Announce(QWidget& pane, const QString& sentence) {
    // The same sentence twice is reported twice: a second compile with the
    // same result is news too.
    pane.setAccessibleDescription(sentence);
    QAccessibleEvent changed(&pane, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace kmp
