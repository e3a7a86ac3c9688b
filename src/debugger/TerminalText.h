#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <deque>
#include <unordered_map>
#include <vector>

// A colour as 0xRRGGBB, or the pane's own colour.
inline constexpr quint32 kTerminalDefaultColour = 0xFFFFFFFFu;

// How a stretch of a line is drawn, as the program's SGR sequences
// ("ESC[1;31m") asked.
struct TerminalStyle {
    quint32 foreground = kTerminalDefaultColour;
    quint32 background = kTerminalDefaultColour;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool inverse = false;

    bool isDefault() const { return *this == TerminalStyle(); }
    friend bool operator==(const TerminalStyle&, const TerminalStyle&) = default;
};

// The colour of palette entry `index` (0..255: the sixteen basic colours,
// the 6x6x6 cube and the grey ramp) as 0xRRGGBB.
quint32 TerminalPaletteColour(int index);

// A stretch of a line drawn in a style other than the default.
struct TerminalRun {
    qsizetype start = 0;
    qsizetype length = 0;
    TerminalStyle style;

    friend bool operator==(const TerminalRun&, const TerminalRun&) = default;
};

// One line as a line-oriented terminal shows it; `runs` is empty when the
// whole line is in the default style.
struct TerminalLine {
    QString text;
    QList<TerminalRun> runs;

    friend bool operator==(const TerminalLine&, const TerminalLine&) = default;
};

struct CsiFields;

// Turns what a program writes to its terminal into the lines a terminal
// would show, for a pane that adds lines at its end and can rewrite its
// last one. Fed in pieces of any size: an escape sequence or a UTF-8
// character cut between two pieces comes out as if it came whole.
//
//  - LF (and VT, FF) ends the line; CR returns to its start, and what
//    follows overwrites it ("50%\r60%" shows "60%"); backspace steps back;
//    a tab goes to the next multiple of 8 columns; BEL is counted, not shown.
//  - SGR sequences (colours, bold, italic, underline, inverse; the 16, 256
//    and 24-bit forms) become the lines' runs. Erase in line (ESC[K) and the
//    moves along the line (ESC[C, ESC[D, ESC[G) are applied. Every other
//    escape sequence (other CSI sequences, private modes such as bracketed
//    paste ESC[?2004h, OSC strings ended by BEL or ST, DCS/APC/PM strings,
//    charset selections, two-byte ESC sequences) is removed.
//  - Bytes that are not UTF-8 show as U+FFFD.
//  - A line keeps at most kMaxLineLength characters; what would go past is
//    dropped and the line ends with kCutNote.
//  - A program that switches to the alternate screen (ESC[?1049h, ?47h,
//    ?1047h), or clears the screen and addresses the cursor (ESC[2J with
//    ESC[H), draws a full screen, which a line-oriented pane cannot show:
//    takeFullScreen() says so, once.
class TerminalText {
public:
    static constexpr qsizetype kMaxLineLength = 16384;
    static constexpr const char* kCutNote = " [line cut at 16384 characters]";

    // At most `keptLines` finished lines wait to be taken; older ones are
    // dropped (a pane that keeps as many lines would scroll them out).
    explicit TerminalText(qsizetype keptLines = 20000);

    void feed(QByteArrayView bytes);
    // Forgets everything (lines, styles, a sequence begun): a new terminal.
    void reset();

    // Lines finished and not taken yet.
    qsizetype finishedCount() const { return qsizetype(m_finished.size()); }
    // The oldest `most` of them, removed from those waiting.
    std::vector<TerminalLine> takeFinished(qsizetype most);
    // Adds a line of Tarn's own (a note) after those finished, before the
    // open line.
    void addLine(const QString& text);
    // Finished lines dropped unseen since the start.
    qint64 droppedLines() const { return m_dropped; }

    // The line being written (the terminal's cursor is on it).
    TerminalLine openLine() const;
    bool openLineChanged() const { return m_openChanged; }
    void markOpenLineShown() { m_openChanged = false; }

    // True once, the first time the program asks for a full screen.
    bool takeFullScreen();
    bool fullScreen() const { return m_fullScreen; }
    bool fullScreenUntold() const { return m_fullScreen && !m_fullScreenTaken; }
    qint64 bells() const { return m_bells; }

private:
    enum class State { Ground, Escape, EscapeIntermediate, Csi, String, StringEscape };

    void text(const char* from, const char* to, bool atEnd);
    void ascii(const char* from, const char* to);
    void flushCarry();
    void put(QStringView chars);
    void control(char c);
    void step(char c);
    void dispatchCsi(char final);
    void selectGraphics(const CsiFields& fields);
    void eraseInLine(int mode);
    void finishLine();
    void setColumn(qsizetype column);
    quint16 styleId();

    qsizetype m_keptLines;
    std::deque<TerminalLine> m_finished;
    qint64 m_dropped = 0;

    // The open line: its characters, and (once a character of another
    // style is on it) one index into m_lineStyles per character.
    QString m_text;
    std::vector<quint16> m_styleIds;
    QList<TerminalStyle> m_lineStyles;
    struct StyleHash {
        size_t operator()(const TerminalStyle& s) const
        {
            return std::hash<quint64>()(quint64(s.foreground) << 32 ^ s.background) ^
                   size_t(s.bold | s.italic << 1 | s.underline << 2 | s.inverse << 3);
        }
    };
    std::unordered_map<TerminalStyle, quint16, StyleHash> m_styleIndex;
    qsizetype m_column = 0;
    bool m_cut = false;
    bool m_openChanged = false;

    TerminalStyle m_style;
    int m_styleIdOnLine = -1;

    State m_state = State::Ground;
    static constexpr int kMaxParams = 64;
    char m_params[kMaxParams] = {};
    int m_paramLength = 0;
    bool m_paramsOverflow = false;
    bool m_intermediate = false;
    QByteArray m_carry; // the start of a UTF-8 character

    bool m_screenCleared = false;
    bool m_cursorAddressed = false;
    bool m_fullScreen = false;
    bool m_fullScreenTaken = false;
    qint64 m_bells = 0;
};
