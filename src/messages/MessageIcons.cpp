#include "messages/MessageIcons.h"

#include <QPainter>
#include <QPolygonF>

namespace {

constexpr int IconSize = 12;

QPolygonF octagon()
{
    // Corners cut by three pixels on a 12 x 12 square.
    return QPolygonF({QPointF(3.5, 0.5), QPointF(8.5, 0.5), QPointF(11.5, 3.5), QPointF(11.5, 8.5),
                      QPointF(8.5, 11.5), QPointF(3.5, 11.5), QPointF(0.5, 8.5), QPointF(0.5, 3.5)});
}

void drawInfo(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 0, 160));
    p.setBrush(QColor(0, 0, 255));
    p.drawPolygon(octagon());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(5, 2, 2, 2, Qt::white); // the dot of the "i"
    p.fillRect(5, 5, 2, 5, Qt::white); // its stem
}

void drawError(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(255, 0, 0));
    p.drawPolygon(octagon());
    p.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(8.5, 8.5));
    p.drawLine(QPointF(8.5, 3.5), QPointF(3.5, 8.5));
}

void drawSeparator(QPainter& p)
{
    p.fillRect(0, 5, IconSize, 2, Qt::black);
}

void drawMatch(QPainter& p)
{
    // A grey magnifying glass: a found place, neither good nor bad news.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1.4));
    p.setBrush(QColor(225, 225, 225));
    p.drawEllipse(QPointF(4.8, 4.8), 3.6, 3.6);
    p.setPen(QPen(QColor(90, 90, 90), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.6, 7.6), QPointF(10.8, 10.8));
}

} // namespace

QPixmap messageIconPixmap(int index)
{
    if (index < 0 || index > 4 || index == 3)
        return {};
    QPixmap pixmap(IconSize, IconSize);
    // The pictures keep their white background, as the list shows them.
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    switch (index) {
    case 0: drawInfo(painter); break;
    case 1: drawError(painter); break;
    case 2: drawSeparator(painter); break;
    default: drawMatch(painter); break;
    }
    return pixmap;
}
