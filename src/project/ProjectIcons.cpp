#include "project/ProjectIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 16;

// A page with a folded corner and grey lines of text; the highlighted line,
// when given, is drawn as a blue bar across the page.
void page(QPainter& p, int highlightedLine)
{
    QPainterPath outline;
    outline.moveTo(3, 1);
    outline.lineTo(10, 1);
    outline.lineTo(13, 4);
    outline.lineTo(13, 15);
    outline.lineTo(3, 15);
    outline.closeSubpath();
    p.fillPath(outline, Qt::white);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawPath(outline);
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
    for (int line = 0; line < 4; ++line) {
        const int y = 6 + 2 * line;
        if (line == highlightedLine) {
            p.fillRect(4, y - 1, 9, 3, QColor(0x1f, 0x4e, 0x8c));
        } else {
            p.setPen(QColor(0x90, 0x90, 0x90));
            p.drawLine(5, y, 11, y);
        }
    }
}

void linkedSquares(QPainter& p)
{
    const QColor dark(0x40, 0x40, 0x40);
    p.setPen(QPen(QColor(0x1e, 0x7b, 0x34), 1.5));
    p.drawLine(5, 6, 11, 10);
    p.setPen(dark);
    p.setBrush(QColor(0xd8, 0xe8, 0xff));
    p.drawRect(1, 1, 7, 7);
    p.setBrush(QColor(0xf0, 0xc8, 0x50));
    p.drawRect(8, 8, 7, 7);
}

} // namespace

QIcon projectTreeIcon(ProjectImage image)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (image) {
    case ProjectImage::Page: page(p, -1); break;
    case ProjectImage::Function: page(p, 1); break;
    case ProjectImage::Dependencies: linkedSquares(p); break;
    case ProjectImage::Missing:
        // The page, crossed out in red: the file is not there to read.
        page(p, -1);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0xc0, 0x10, 0x10), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 4.5), QPointF(13, 14));
        p.drawLine(QPointF(13, 4.5), QPointF(3.5, 14));
        break;
    }
    p.end();
    return QIcon(pixmap);
}
