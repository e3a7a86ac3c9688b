#include "debugger/ProgramOutputPane.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

const QString ProgramOutputPane::kFullScreenNote = QStringLiteral(
    "[This program draws a full screen, which this pane cannot show: run it with Debug... "
    "(Commands menu), which opens a terminal]");

namespace {

QColor colour(quint32 rgb, const QColor& fallback)
{
    return rgb == kTerminalDefaultColour ? fallback : QColor::fromRgb(QRgb(0xff000000u | rgb));
}

QTextCharFormat format(const TerminalStyle& style, const QPalette& palette)
{
    QTextCharFormat f;
    QColor foreground = colour(style.foreground, palette.color(QPalette::Text));
    QColor background = colour(style.background, QColor());
    if (style.inverse) {
        const QColor text = foreground;
        foreground = background.isValid() ? background : palette.color(QPalette::Base);
        background = text;
    }
    if (style.foreground != kTerminalDefaultColour || style.inverse)
        f.setForeground(foreground);
    if (background.isValid())
        f.setBackground(background);
    if (style.bold)
        f.setFontWeight(QFont::Bold);
    if (style.italic)
        f.setFontItalic(true);
    if (style.underline)
        f.setFontUnderline(true);
    return f;
}

// Lines in the default style are inserted together, in one call.
class LineWriter {
public:
    LineWriter(QTextCursor& cursor, const QPalette& palette) : m_cursor(cursor), m_palette(palette) {}
    ~LineWriter() { flushPlain(); }

    void write(const TerminalLine& line)
    {
        if (line.runs.isEmpty()) {
            m_plain += line.text;
            return;
        }
        flushPlain();
        qsizetype at = 0;
        for (const TerminalRun& run : line.runs) {
            if (run.start > at)
                m_cursor.insertText(line.text.sliced(at, run.start - at), QTextCharFormat());
            m_cursor.insertText(line.text.sliced(run.start, run.length), format(run.style, m_palette));
            at = run.start + run.length;
        }
        if (at < line.text.size())
            m_cursor.insertText(line.text.sliced(at), QTextCharFormat());
    }
    void endLine() { m_plain += QLatin1Char('\n'); }

private:
    void flushPlain()
    {
        if (!m_plain.isEmpty())
            m_cursor.insertText(std::exchange(m_plain, QString()), QTextCharFormat());
    }

    QTextCursor& m_cursor;
    const QPalette& m_palette;
    QString m_plain;
};

} // namespace

ProgramOutputPane::ProgramOutputPane(QPlainTextEdit* view, int maxLines, QObject* parent)
    : QObject(parent), m_view(view), m_maxLines(maxLines), m_terminal(maxLines)
{
    // The pane trims itself (see trim()): a maximum block count would lay
    // out every line it removes.
    m_view->setMaximumBlockCount(0);
    m_view->document()->setUndoRedoEnabled(false);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ProgramOutputPane::redraw);
    m_sinceRedraw.start();
}

void ProgramOutputPane::append(QByteArrayView bytes)
{
    m_terminal.feed(bytes);
    m_receivedSinceRedraw = true;
    schedule();
}

void ProgramOutputPane::clear()
{
    m_timer.stop();
    m_terminal.reset();
    m_view->clear();
}

void ProgramOutputPane::flush()
{
    while (pending())
        redraw();
    m_timer.stop();
}

bool ProgramOutputPane::pending() const
{
    return m_terminal.finishedCount() > 0 || m_terminal.openLineChanged() ||
           m_terminal.fullScreenUntold();
}

// The first output after a quiet spell is drawn in the next turn of the
// event loop; during a flood, at most every kRedrawMs.
void ProgramOutputPane::schedule()
{
    if (m_timer.isActive())
        return;
    m_timer.start(int(std::max<qint64>(0, kRedrawMs - m_sinceRedraw.elapsed())));
}

void ProgramOutputPane::redraw()
{
    m_timer.stop();
    if (m_terminal.takeFullScreen())
        m_terminal.addLine(kFullScreenNote);
    const std::vector<TerminalLine> lines = m_terminal.takeFinished(kLinesPerRedraw);
    const bool more = m_terminal.finishedCount() > 0;
    if (lines.empty() && !m_terminal.openLineChanged())
        return;

    QElapsedTimer cost;
    cost.start();
    QScrollBar* bar = m_view->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextDocument* doc = m_view->document();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    // The last block is the open line as last drawn: it is drawn again.
    // (Positions are set, not moved to: a move lays out the text it
    // crosses.)
    cursor.setPosition(doc->lastBlock().position());
    cursor.setPosition(doc->characterCount() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    {
        LineWriter writer(cursor, m_view->palette());
        for (const TerminalLine& line : lines) {
            writer.write(line);
            writer.endLine();
        }
        // With more finished lines to come, the open line waits for them.
        if (!more) {
            writer.write(m_terminal.openLine());
            m_terminal.markOpenLineShown();
        }
    }
    trim(cursor);
    cursor.endEditBlock();
    if (atEnd)
        bar->setValue(bar->maximum());
    m_sinceRedraw.restart();
    // A flood is drawn a slice at a time, with the event loop free between.
    // While the program still writes, drawing takes at most a fifth of the
    // interface thread, which also reads the terminal; once it stops, what
    // waits is drawn as fast as the event loop turns.
    if (more) {
        const qint64 spent = cost.elapsed();
        m_timer.start(m_receivedSinceRedraw ? int(std::max<qint64>(kRedrawMs, 4 * spent)) : 0);
    }
    m_receivedSinceRedraw = false;
}

// The oldest lines go once the pane holds more than it keeps.
void ProgramOutputPane::trim(QTextCursor& cursor)
{
    QTextDocument* doc = m_view->document();
    const int extra = doc->blockCount() - m_maxLines;
    if (extra <= 0)
        return;
    cursor.setPosition(0);
    cursor.setPosition(doc->findBlockByNumber(extra).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
