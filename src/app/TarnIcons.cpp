#include "app/TarnIcons.h"

#include <QPainter>
#include <QPainterPath>

QPixmap tarnLogo(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(QColor(0xe8, 0xf1, 0xf8));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();

    // Mountains around the lake.
    QPainterPath mountains;
    mountains.moveTo(0, h * 0.62);
    mountains.lineTo(w * 0.22, h * 0.18);
    mountains.lineTo(w * 0.40, h * 0.45);
    mountains.lineTo(w * 0.60, h * 0.10);
    mountains.lineTo(w * 0.85, h * 0.50);
    mountains.lineTo(w, h * 0.35);
    mountains.lineTo(w, h * 0.62);
    mountains.closeSubpath();
    p.fillPath(mountains, QColor(0x5b, 0x6b, 0x7a));

    // Snow caps.
    QPainterPath snow;
    snow.moveTo(w * 0.60, h * 0.10);
    snow.lineTo(w * 0.66, h * 0.21);
    snow.lineTo(w * 0.54, h * 0.21);
    snow.closeSubpath();
    p.fillPath(snow, Qt::white);

    // The tarn: a dark blue ellipse in the hollow.
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(w * 0.12, h * 0.56, w * 0.76, h * 0.30));

    // Braces on the water: the IDE's own mark.
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(qMax(8, int(h * 0.20)));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(w * 0.12, h * 0.56, w * 0.76, h * 0.30), Qt::AlignCenter, QStringLiteral("{ }"));
    return pixmap;
}

QIcon tarnAppIcon()
{
    QIcon icon;
    for (int side : {16, 32, 48, 64})
        icon.addPixmap(tarnLogo(QSize(side, side)));
    return icon;
}
