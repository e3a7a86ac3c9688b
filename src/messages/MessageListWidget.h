#pragma once

#include "messages/MessageStore.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <array>

// A single-column list of message rows (icon and text) without a header,
// with single selection, painted straight from a compact MessageStore so a
// log of a million rows stays cheap. Rows have one height; the vertical
// scroll bar counts rows, the horizontal one pixels of the column.
//
// The column is as wide as the widest row's text plus 100 pixels. The width
// is kept as a running maximum, so an append costs the same on row 10 and on
// row 1,000,000; scroll bars, scrolling to the end and repainting are done
// once per burst of appends, when control returns to the event loop.
class MessageListWidget : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit MessageListWidget(QWidget* parent = nullptr);
    ~MessageListWidget() override;

    // Appends one row and scrolls to the end.
    void appendRow(const QString& text, int icon);
    // Appends the rows of a piece of a tool's output stream (RowBytes.h)
    // straight from its bytes, and scrolls to the end.
    void appendStreamRows(const QByteArray& bytes, bool streamEnd, int rowIcon = kIconByText);
    // Deletes every row; the column width becomes 0.
    void clearRows();

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    QString rowText(int row) const { return m_rows.text(row); }
    int rowIcon(int row) const { return m_rows.icon(row); }
    // The folder of the tool run that wrote the row (MessageStore).
    QString rowDirectory(int row) const { return m_rows.directory(row); }
    void setRowDirectory(const QString& directory) { m_rows.setDirectory(directory); }
    const MessageStore& rows() const { return m_rows; }
    int columnWidth() const { return m_columnWidth; }

    // The selected row, -1 when none.
    int selectedRow() const { return m_selected; }
    void setSelectedRow(int row);
    int rowHeight() const { return m_rowHeight; }
    // Scrolls as little as needed to show the row.
    void ensureVisible(int row);
    // The row at a point of the viewport, -1 below the last row.
    int rowAt(const QPoint& viewportPos) const;
    // Applies pending scroll bar changes at once (they otherwise wait for
    // the event loop).
    void flushLayout();

signals:
    void rowActivated(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int textWidth(const QString& text) const;
    int rowWidth(const QString& text) const;
    int rowWidth(QByteArrayView utf8) const;
    int shapedWidth(QByteArrayView utf8) const;
    void widenColumnFor(QByteArrayView utf8);
    void scheduleLayout(bool scrollToEnd);
    void updateScrollBars();
    int visibleRows() const;
    void remeasure();

    MessageStore m_rows;
    std::array<QPixmap, 5> m_icons;
    // Advances of the printable ASCII characters in 1/64 pixel (sums stay
    // exact), by byte; every other byte has kNeedsShaping.
    std::array<qint64, 256> m_byteAdvance{};
    // The widest advance of any ASCII character, in 1/64 pixel.
    qint64 m_widestAdvance = 0;
    int m_columnWidth = 0;
    int m_selected = -1;
    int m_rowHeight = 16;
    bool m_scrollToEnd = false;
    // A flood of rows is shown a frame at a time: the scroll bars and the
    // rows are laid out and painted at most once per kFrameMs. A layout is
    // pending while the timer runs.
    static constexpr int kFrameMs = 16;
    QElapsedTimer m_lastLayout;
    QTimer m_layoutTimer;
};
