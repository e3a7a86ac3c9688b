#include "messages/MessageListWidget.h"

#include "messages/MessageIcons.h"
#include "messages/RowBytes.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int IconLeft = 2;
constexpr int IconSize = 12;
constexpr int TextLeft = IconLeft + IconSize + 4;
constexpr int ColumnExtra = 100;
// More than the advances of any row's bytes can add up to.
constexpr qint64 kNeedsShaping = qint64(1) << 48;

// 1/64 pixels to pixels, rounded as qRound rounds.
constexpr qint64 pixels(qint64 sixtyFourths)
{
    return (sixtyFourths + 32) / 64;
}
} // namespace

MessageListWidget::MessageListWidget(QWidget* parent) : QAbstractScrollArea(parent)
{
    for (int i = 0; i < int(m_icons.size()); ++i)
        m_icons[i] = messageIconPixmap(i);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    m_layoutTimer.setSingleShot(true);
    connect(&m_layoutTimer, &QTimer::timeout, this, &MessageListWidget::flushLayout);
    remeasure();
}

MessageListWidget::~MessageListWidget() = default;

int MessageListWidget::textWidth(const QString& text) const
{
    return text.isEmpty() ? 0 : fontMetrics().horizontalAdvance(text);
}

int MessageListWidget::rowWidth(const QString& text) const
{
    // Shaping a text to measure it is by far the dearest part of an append.
    // Plain ASCII rows (nearly all tool output) are measured with the font's
    // per-character advances instead, which differs from the shaped width
    // only by kerning, a pixel or two; other rows are shaped.
    qint64 width = 0;
    for (QChar c : text)
        width += c.unicode() < 0x80 ? m_byteAdvance[c.unicode()] : kNeedsShaping;
    return width >= kNeedsShaping ? textWidth(text) : int(pixels(width));
}

int MessageListWidget::rowWidth(QByteArrayView utf8) const
{
    // No branch per byte: a byte that is not printable ASCII adds so much
    // that the sum tells. Four sums, so the additions need not wait for
    // each other.
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const qsizetype size = utf8.size();
    qint64 a = 0, b = 0, c = 0, d = 0;
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        a += m_byteAdvance[bytes[i]];
        b += m_byteAdvance[bytes[i + 1]];
        c += m_byteAdvance[bytes[i + 2]];
        d += m_byteAdvance[bytes[i + 3]];
    }
    for (; i < size; ++i)
        a += m_byteAdvance[bytes[i]];
    const qint64 width = a + b + c + d;
    return width >= kNeedsShaping ? shapedWidth(utf8) : int(pixels(width));
}

int MessageListWidget::shapedWidth(QByteArrayView utf8) const
{
    return textWidth(Utf8Text(utf8));
}

void MessageListWidget::widenColumnFor(QByteArrayView utf8)
{
    // A row too short to widen the column is not measured: no character is
    // wider than the widest ASCII advance per byte it takes.
    if (pixels(utf8.size() * m_widestAdvance) + ColumnExtra > m_columnWidth)
        m_columnWidth = std::max(m_columnWidth, rowWidth(utf8) + ColumnExtra);
}

void MessageListWidget::appendStreamRows(const QByteArray& bytes, bool streamEnd, int rowIcon)
{
    m_rows.appendStreamRows(bytes, streamEnd, [this](QByteArrayView utf8) { widenColumnFor(utf8); }, rowIcon);
    scheduleLayout(true);
}

void MessageListWidget::appendRow(const QString& text, int icon)
{
    m_rows.append(text, icon);
    m_columnWidth = std::max(m_columnWidth, rowWidth(text) + ColumnExtra);
    scheduleLayout(true);
}

void MessageListWidget::clearRows()
{
    m_rows.clear();
    m_columnWidth = 0;
    m_selected = -1;
    scheduleLayout(true);
}

void MessageListWidget::scheduleLayout(bool scrollToEnd)
{
    m_scrollToEnd = m_scrollToEnd || scrollToEnd;
    if (m_layoutTimer.isActive())
        return;
    // Rows that arrive in a burst (a tool's flood, a search's rows in
    // batches) are shown at most once a frame: each showing lays out and
    // paints the rows and both scroll bars, which would otherwise take more
    // of the interface thread than storing the rows does. The first rows
    // after a pause show at the next turn of the event loop.
    const qint64 since = m_lastLayout.isValid() ? m_lastLayout.elapsed() : kFrameMs;
    m_layoutTimer.start(int(std::max<qint64>(0, kFrameMs - since)));
}

void MessageListWidget::flushLayout()
{
    m_layoutTimer.stop();
    m_lastLayout.start();
    updateScrollBars();
    if (m_scrollToEnd) {
        m_scrollToEnd = false;
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }
    viewport()->update();
}

int MessageListWidget::visibleRows() const
{
    return std::max(1, viewport()->height() / std::max(1, m_rowHeight));
}

void MessageListWidget::updateScrollBars()
{
    const int pageRows = visibleRows();
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - pageRows));
    verticalScrollBar()->setPageStep(pageRows);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(0, m_columnWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 2);
}

void MessageListWidget::remeasure()
{
    const QFontMetrics metrics = fontMetrics();
    m_rowHeight = std::max(metrics.height(), IconSize) + 2;
    const QFontMetricsF exact(font());
    m_widestAdvance = 0;
    m_byteAdvance.fill(kNeedsShaping);
    for (char16_t c = 0; c < 0x80; ++c) {
        const qint64 advance = qRound64(std::max<qreal>(0, exact.horizontalAdvance(QChar(c))) * 64);
        if (c >= 32)
            m_byteAdvance[c] = advance;
        m_widestAdvance = std::max(m_widestAdvance, advance);
    }
    if (m_columnWidth > 0) {
        int widest = 0;
        for (int row = 0; row < rowCount(); ++row)
            widest = std::max(widest, rowWidth(m_rows.utf8(row)));
        m_columnWidth = widest + ColumnExtra;
    }
}

void MessageListWidget::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        remeasure();
        scheduleLayout(false);
    }
}

void MessageListWidget::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void MessageListWidget::scrollContentsBy(int, int)
{
    viewport()->update();
}

int MessageListWidget::rowAt(const QPoint& viewportPos) const
{
    if (viewportPos.y() < 0)
        return -1;
    const int row = verticalScrollBar()->value() + viewportPos.y() / m_rowHeight;
    return row < rowCount() ? row : -1;
}

void MessageListWidget::setSelectedRow(int row)
{
    if (row < -1 || row >= rowCount())
        row = -1;
    if (row == m_selected)
        return;
    m_selected = row;
    viewport()->update();
}

void MessageListWidget::ensureVisible(int row)
{
    if (row < 0)
        return;
    if (m_layoutTimer.isActive())
        flushLayout();
    QScrollBar* bar = verticalScrollBar();
    if (row < bar->value())
        bar->setValue(row);
    else if (row >= bar->value() + visibleRows())
        bar->setValue(row - visibleRows() + 1);
}

void MessageListWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int first = verticalScrollBar()->value() + area.top() / m_rowHeight;
    const int last = std::min(rowCount() - 1, verticalScrollBar()->value() + area.bottom() / m_rowHeight);
    const int x0 = -horizontalScrollBar()->value();
    const QFontMetrics metrics = fontMetrics();
    const int fullWidth = std::max(m_columnWidth, viewport()->width());
    const int textOffset = (m_rowHeight - metrics.height()) / 2 + metrics.ascent();
    for (int row = first; row <= last; ++row) {
        const int y = (row - verticalScrollBar()->value()) * m_rowHeight;
        const bool selected = row == m_selected;
        if (selected) {
            const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
            painter.fillRect(QRect(x0, y, fullWidth, m_rowHeight), palette().brush(group, QPalette::Highlight));
            painter.setPen(palette().color(group, QPalette::HighlightedText));
        } else {
            painter.setPen(palette().color(QPalette::Text));
        }
        const int icon = m_rows.icon(row);
        if (icon >= 0 && icon < int(m_icons.size()) && !m_icons[icon].isNull())
            painter.drawPixmap(x0 + IconLeft, y + (m_rowHeight - IconSize) / 2, m_icons[icon]);
        const QByteArrayView bytes = m_rows.utf8(row);
        if (!bytes.isEmpty())
            painter.drawText(QPoint(x0 + TextLeft, y + textOffset), Utf8Text(bytes));
    }
}

void MessageListWidget::mousePressEvent(QMouseEvent* event)
{
    // A click on the empty area below the rows clears the selection.
    setSelectedRow(rowAt(event->position().toPoint()));
    event->accept();
}

void MessageListWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setSelectedRow(rowAt(event->position().toPoint()));
    emit rowActivated(m_selected);
}

void MessageListWidget::keyPressEvent(QKeyEvent* event)
{
    if (rowCount() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    int row = m_selected;
    const int last = rowCount() - 1;
    switch (event->key()) {
    case Qt::Key_Up: row = row < 0 ? last : std::max(0, row - 1); break;
    case Qt::Key_Down: row = row < 0 ? 0 : std::min(last, row + 1); break;
    case Qt::Key_PageUp: row = std::max(0, (row < 0 ? last : row) - visibleRows()); break;
    case Qt::Key_PageDown: row = std::min(last, (row < 0 ? 0 : row) + visibleRows()); break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = last; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit rowActivated(m_selected);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    setSelectedRow(row);
    ensureVisible(row);
}
