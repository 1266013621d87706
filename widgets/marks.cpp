// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/marks.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace widgets {

namespace {

QIcon triangleMark(const QColor& edge, const QColor& fill) {
    QIcon made;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal s = size;
        QPolygonF triangle;
        triangle << QPointF(s / 2, s * 0.06) << QPointF(s * 0.96, s * 0.92)
                 << QPointF(s * 0.04, s * 0.92);
        painter.setPen(QPen(edge, s / 16));
        painter.setBrush(fill);
        painter.drawPolygon(triangle);
        painter.setPen(QPen(Qt::black, s / 8, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(s / 2, s * 0.36), QPointF(s / 2, s * 0.6));
        painter.drawPoint(QPointF(s / 2, s * 0.77));
        painter.end();
        made.addPixmap(pixmap);
    }
    return made;
}

}  // namespace

QIcon warningMark() {
    static const QIcon icon = triangleMark(QColor(0x8a, 0x5a, 0x00), QColor(0xf5, 0xb0, 0x00));
    return icon;
}

QIcon errorMark() {
    static const QIcon icon = triangleMark(QColor(0x80, 0x10, 0x10), QColor(0xe8, 0x40, 0x30));
    return icon;
}

}  // namespace widgets
