#include "Icons.h"

#include <QPainter>
#include <QPolygon>

namespace UpsLink {

namespace {

constexpr int IconSize = 16;

QPixmap Blank()
{
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap IndicatorPixmap(bool connected)
{
    QPixmap pixmap = Blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor body = connected ? QColor(0, 160, 0) : QColor(200, 0, 0);
    painter.setPen(QPen(body.darker(160), 1));
    painter.setBrush(body);
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(4, 4, 4, 3.5));
    return pixmap;
}

QIcon WindowIcon()
{
    QPixmap pixmap = Blank();
    QPainter painter(&pixmap);
    // A battery: a dark body with a terminal on top.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRect(2, 3, 12, 12);
    painter.drawRect(6, 1, 4, 2);
    // A yellow lightning bolt across it.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 255, 0));
    painter.drawPolygon(QPolygon({QPoint(9, 4), QPoint(5, 10), QPoint(8, 10), QPoint(6, 14), QPoint(11, 8),
                                  QPoint(8, 8), QPoint(10, 4)}));
    return QIcon(pixmap);
}

}  // namespace UpsLink
