#include "app/TarnIcons.h"

#include "resources/CommandIds.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int W = 16;
constexpr int H = 15;

void page(QPainter& p, const QColor& fill = Qt::white)
{
    QPainterPath path;
    path.moveTo(3, 1);
    path.lineTo(10, 1);
    path.lineTo(13, 4);
    path.lineTo(13, 14);
    path.lineTo(3, 14);
    path.closeSubpath();
    p.fillPath(path, fill);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawPath(path);
}

void folder(QPainter& p)
{
    p.setPen(QColor(0x80, 0x60, 0x10));
    p.setBrush(QColor(0xf0, 0xc8, 0x50));
    p.drawRect(1, 4, 13, 9);
    p.drawRect(1, 2, 5, 2);
}

void glyph(QPainter& p, const QString& text, const QColor& colour, const QRect& box = QRect(0, 0, W, H))
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

void draw(QPainter& p, int id)
{
    const QColor blue(0x1f, 0x4e, 0x8c);
    const QColor green(0x1e, 0x7b, 0x34);
    const QColor red(0xb0, 0x20, 0x20);
    switch (id) {
    case fw::id::FileNew: page(p); break;
    case cmd::FileNewProject: page(p, QColor(0xd8, 0xe8, 0xff)); glyph(p, QStringLiteral("P"), blue); break;
    case fw::id::FileOpen: folder(p); break;
    case fw::id::FileSave:
        p.setPen(Qt::black);
        p.setBrush(blue);
        p.drawRect(2, 1, 12, 13);
        p.fillRect(5, 2, 6, 4, Qt::white);
        p.fillRect(5, 9, 6, 5, QColor(0xc0, 0xc0, 0xc0));
        break;
    case fw::id::FilePrint:
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 5);
        p.setBrush(QColor(0xa0, 0xa0, 0xa0));
        p.drawRect(1, 6, 14, 6);
        break;
    case fw::id::EditCut:
        p.setPen(QPen(Qt::black, 1.2));
        p.drawLine(4, 1, 10, 10);
        p.drawLine(11, 1, 5, 10);
        p.drawEllipse(QPointF(4, 12), 2, 2);
        p.drawEllipse(QPointF(11, 12), 2, 2);
        break;
    case fw::id::EditCopy:
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 8, 9);
        p.drawRect(6, 4, 8, 10);
        break;
    case fw::id::EditPaste:
        p.setPen(Qt::black);
        p.setBrush(QColor(0xc0, 0x90, 0x50));
        p.drawRect(2, 2, 10, 12);
        p.setBrush(Qt::white);
        p.drawRect(6, 6, 8, 8);
        break;
    case cmd::RunExecutable: {
        QPainterPath play;
        play.moveTo(4, 2);
        play.lineTo(13, 7.5);
        play.lineTo(4, 13);
        play.closeSubpath();
        p.fillPath(play, green);
        break;
    }
    case cmd::Link:
        p.setPen(QPen(blue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(1, 4, 8, 7);
        p.drawEllipse(7, 4, 8, 7);
        break;
    case cmd::Debug:
        p.setPen(Qt::black);
        p.setBrush(red);
        p.drawEllipse(4, 3, 8, 10);
        p.drawLine(1, 6, 4, 7);
        p.drawLine(15, 6, 12, 7);
        p.drawLine(1, 11, 4, 10);
        p.drawLine(15, 11, 12, 10);
        break;
    case cmd::BuildSource: page(p); glyph(p, QStringLiteral("B"), green); break;
    case cmd::QuickCompile: page(p); glyph(p, QStringLiteral("Q"), blue); break;
    case cmd::InsertFile: page(p); glyph(p, QStringLiteral("+"), green); break;
    case cmd::RemoveFile: page(p); glyph(p, QStringLiteral("-"), red); break;
    case cmd::BuildProject: folder(p); glyph(p, QStringLiteral("B"), green); break;
    case cmd::LibcReference:
        p.setPen(Qt::black);
        p.setBrush(QColor(0x30, 0x60, 0xa0));
        p.drawRect(2, 1, 11, 13);
        glyph(p, QStringLiteral("?"), Qt::white);
        break;
    case cmd::DebugStart: {
        QPainterPath play;
        play.moveTo(3, 2);
        play.lineTo(11, 7.5);
        play.lineTo(3, 13);
        play.closeSubpath();
        p.fillPath(play, blue);
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawEllipse(QPointF(12.5, 11.5), 3, 3);
        break;
    }
    case cmd::DebugBreak:
        p.fillRect(4, 2, 3, 11, blue);
        p.fillRect(9, 2, 3, 11, blue);
        break;
    case cmd::DebugStop: p.fillRect(3, 3, 10, 10, red); break;
    case cmd::DebugStepOver:
    case cmd::DebugStepInto:
    case cmd::DebugStepOut: {
        // An arrow over, into or out of the dots that stand for lines.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x40, 0x40, 0x40));
        p.drawEllipse(QPointF(8, 12.5), 1.6, 1.6);
        p.setPen(QPen(blue, 1.6));
        p.setBrush(Qt::NoBrush);
        if (id == cmd::DebugStepOver) {
            QPainterPath over;
            over.moveTo(2, 10);
            over.cubicTo(3, 1, 13, 1, 14, 8);
            p.drawPath(over);
            p.drawLine(QPointF(14, 8), QPointF(11, 6.5));
            p.drawLine(QPointF(14, 8), QPointF(15.5, 5));
        } else if (id == cmd::DebugStepInto) {
            p.drawLine(QPointF(8, 1), QPointF(8, 9));
            p.drawLine(QPointF(8, 9), QPointF(5, 6));
            p.drawLine(QPointF(8, 9), QPointF(11, 6));
        } else {
            p.drawLine(QPointF(8, 9), QPointF(8, 1));
            p.drawLine(QPointF(8, 1), QPointF(5, 4));
            p.drawLine(QPointF(8, 1), QPointF(11, 4));
        }
        break;
    }
    case cmd::DebugToggleBreakpoint:
        p.setPen(QColor(0x80, 0x00, 0x00));
        p.setBrush(red);
        p.drawEllipse(QPointF(8, 7.5), 5, 5);
        break;
    default: glyph(p, QStringLiteral("?"), Qt::black); break;
    }
}

} // namespace

QIcon toolbarIcon(int commandId)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(W * scale, H * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p, commandId);
        p.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}
