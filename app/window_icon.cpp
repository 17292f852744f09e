#include "window_icon.h"

#include <QPainter>
#include <QPixmap>

namespace kmp {

namespace {

// A stepper motor seen from the front: a grey housing, a green rotor with a
// shaft mark, and a yellow arrow for the turning direction.
QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    // No smoothing: the icon keeps to a few of the 16 standard colours.
    const qreal unit = size / 16.0;
    painter.setPen(QPen(Qt::black, unit));
    painter.setBrush(QColor(128, 128, 128));
    painter.drawRect(QRectF(1 * unit, 1 * unit, 14 * unit, 14 * unit));
    painter.setBrush(QColor(0, 128, 0));
    painter.drawEllipse(QRectF(3.5 * unit, 3.5 * unit, 9 * unit, 9 * unit));
    painter.setPen(QPen(QColor(255, 255, 0), 1.5 * unit));
    painter.drawLine(QPointF(8 * unit, 8 * unit), QPointF(8 * unit, 4.5 * unit));
    painter.drawArc(QRectF(2 * unit, 2 * unit, 12 * unit, 12 * unit), 30 * 16, 120 * 16);
    return pixmap;
}

}  // namespace

QIcon WindowIcon() {
    QIcon icon;
    icon.addPixmap(DrawIcon(16));
    icon.addPixmap(DrawIcon(32));
    return icon;
}

}  // namespace kmp
