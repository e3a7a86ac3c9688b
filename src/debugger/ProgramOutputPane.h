#pragma once

#include "debugger/TerminalText.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QPlainTextEdit;
class QTextCursor;

// The Program Output pane's text: what the program writes to its terminal,
// read as a line-oriented terminal shows it (TerminalText), at most
// `maxLines` lines of it. The view is redrawn at most every kRedrawMs, with
// at most kLinesPerRedraw new lines at a time, so that a program flooding
// its terminal costs the window a bounded time per turn of the event loop
// (laying out a line costs microseconds; a flood brings hundreds of
// thousands a second): lines that would scroll out of the pane before they
// were drawn are never drawn. The view's last line is the terminal's open
// line, rewritten in place ("50%\r60%" across two writes shows "60%").
class ProgramOutputPane : public QObject {
    Q_OBJECT
public:
    static constexpr int kRedrawMs = 25;
    static constexpr int kLinesPerRedraw = 1000;
    static const QString kFullScreenNote;

    ProgramOutputPane(QPlainTextEdit* view, int maxLines, QObject* parent = nullptr);

    // Bytes as the program wrote them (or as the pane echoes them).
    void append(QByteArrayView bytes);
    // Empties the pane and starts a new terminal.
    void clear();
    // Draws all that was received, now (the session ended: nothing more
    // comes). At most the pane's lines wait, so this is bounded.
    void flush();
    // Whether anything received is not drawn yet.
    bool pending() const;

private:
    void redraw();
    void schedule();
    void trim(QTextCursor& cursor);

    QPlainTextEdit* m_view;
    int m_maxLines;
    TerminalText m_terminal;
    QTimer m_timer;
    QElapsedTimer m_sinceRedraw;
    bool m_receivedSinceRedraw = false;
};
