#include "window_keys.h"

#include <QAbstractButton>
#include <QShortcut>
#include <QStringList>
#include <QWidget>

namespace kmp {

QString TooltipWithKeys(const QString& caption, const QList<QKeySequence>& keys) {
    QStringList names;
    for (const QKeySequence& key : keys) names << key.toString(QKeySequence::NativeText);
    return caption + QStringLiteral(" (") + names.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void AddButtonKeys(QWidget& window, QAbstractButton& button, const QList<QKeySequence>& keys) {
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, &window);
        QObject::connect(shortcut, &QShortcut::activated, &button, &QAbstractButton::click);
    }
    button.setToolTip(TooltipWithKeys(button.text(), keys));
}

}  // namespace kmp
