#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QsciScintilla;

// The debugger's marks in a source window: a margin of breakpoint marks (a
// click toggles one), the arrow and band of the line where the program
// stopped, and a lighter band on the line of a caller chosen in Call Stack.
// The marks are Scintilla markers, so they follow the text when lines are
// inserted or deleted above them.
//
// The margin's marks: a red disc (a breakpoint), a red diamond (one with a
// condition), hollow ones of the same shapes (disabled), and a hollow grey
// disc for a breakpoint gdb refused to set.
namespace debugmargin {

inline constexpr int kMargin = 1;
// Background markers: of two on a line Scintilla paints the higher number,
// so the stop's band wins over a caller's on the same line.
inline constexpr int kCallerLineMarker = 0;
inline constexpr int kBreakpointMarker = 1;
inline constexpr int kDisabledBreakpointMarker = 2;
inline constexpr int kCurrentArrowMarker = 3;
inline constexpr int kCurrentLineMarker = 4;
inline constexpr int kConditionalBreakpointMarker = 5;
inline constexpr int kDisabledConditionalMarker = 6;
inline constexpr int kNotSetBreakpointMarker = 7;

// The colours of the two bands.
inline constexpr unsigned kCurrentLineColour = 0xffe680;
inline constexpr unsigned kCallerLineColour = 0xfff6d0;

// Sets up the margin and the markers of a source window.
void Install(QsciScintilla* editor);

// The stop marks: on `line` (zero-based), or none with -1.
void ShowCurrentLine(QsciScintilla* editor, int line);
// The band of a caller's line, on `line` (zero-based), or none with -1.
void ShowCallerLine(QsciScintilla* editor, int line);

// Scintilla paints the caret line's tint instead of a Background marker:
// a window that wants its caret line shown says so here, and the tint is
// left off while the caret is on the stop or caller line (the band shows
// where the caret is), back on elsewhere.
void ShowCaretLine(QsciScintilla* editor, bool shown);

} // namespace debugmargin

// A source's breakpoint as Tarn keeps it between sessions.
struct BookBreakpoint {
    int line = 0; // one-based
    bool enabled = true;
    QByteArray condition;
    // Why gdb did not set it in this session; empty while it is set or no
    // session has tried. Known while Tarn runs, never kept in the session.
    QString notSet = {};
    friend bool operator==(const BookBreakpoint&, const BookBreakpoint&) = default;
};

// Every breakpoint the user set, by source path, while Tarn runs. An open
// source window holds its file's breakpoints as margin marks (which move
// with edits); the book reads them from there, and keeps the lines of a
// window that closes. The debugger of the main window owns the one book of
// the IDE and hands it to the source windows.
class BreakpointBook : public QObject {
    Q_OBJECT
public:
    explicit BreakpointBook(QObject* parent = nullptr) : QObject(parent) {}

    // F9 or a margin click: sets or clears the breakpoint on a zero-based
    // line of the window showing `path`.
    void toggle(QsciScintilla* editor, const QString& path, int line);
    // The breakpoints of a file, the marks of an open window included.
    QList<BookBreakpoint> breakpoints(const QString& path) const;
    // Every file that has breakpoints.
    QStringList files() const;
    void setEnabled(const QString& path, int line, bool enabled);
    void setCondition(const QString& path, int line, const QByteArray& condition);
    // gdb refused the breakpoint on that one-based line (its reason), or
    // every refusal is forgotten (a session starts or ends).
    void setNotSet(const QString& path, int line, const QString& reason);
    void clearNotSet();
    // gdb put a breakpoint elsewhere: the mark moves with it.
    void move(const QString& path, int fromLine, int toLine);
    void remove(const QString& path, int line);
    // A breakpoint kept from an earlier run (the editor's session): set as
    // it was, shown in an open window on the file. One already on that line
    // is replaced.
    void restore(const QString& path, const BookBreakpoint& breakpoint);

    // A window has opened on path: it shows the file's marks.
    void attach(QsciScintilla* editor, const QString& path);
    // The window is going: its marks are kept as lines.
    void detach(QsciScintilla* editor);

signals:
    // A breakpoint was set (added) or cleared by the user; one-based line.
    void toggled(const QString& path, int line, bool added);
    void changed();

private:
    struct Mark {
        BookBreakpoint breakpoint;
        int handle = -1; // its marker in the open window, -1 while closed
    };
    struct Entry {
        QList<Mark> marks;
        QsciScintilla* editor = nullptr;
    };
    // Reads the lines of the marks of an open window into its entry.
    void syncFromEditor(Entry& entry) const;
    void showMarks(const Entry& entry);
    mutable QHash<QString, Entry> m_files;
};
