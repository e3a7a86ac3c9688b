#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QsciScintilla;

// The debugger's marks in a source window: a margin of red breakpoint
// marks (a click toggles one), and the arrow and line colour of the line
// where the program stopped. The marks are Scintilla markers, so they
// follow the text when lines are inserted or deleted above them.
namespace debugmargin {

inline constexpr int kMargin = 1;
inline constexpr int kBreakpointMarker = 1;
inline constexpr int kDisabledBreakpointMarker = 2;
inline constexpr int kCurrentArrowMarker = 3;
inline constexpr int kCurrentLineMarker = 4;

// Sets up the margin and the markers of a source window.
void Install(QsciScintilla* editor);

// The zero-based lines that hold a breakpoint mark (enabled or not).
QList<int> BreakpointLines(QsciScintilla* editor);
bool HasBreakpoint(QsciScintilla* editor, int line);
void SetBreakpoint(QsciScintilla* editor, int line, bool present, bool enabled = true);

// The stop marks: on `line` (zero-based), or none with -1.
void ShowCurrentLine(QsciScintilla* editor, int line);
// The line the stop arrow is on, or -1.
int CurrentLine(QsciScintilla* editor);

} // namespace debugmargin

// A source's breakpoint as Tarn keeps it between sessions.
struct BookBreakpoint {
    int line = 0; // one-based
    bool enabled = true;
    QByteArray condition;
    // While a session runs: empty when gdb set it (or has not been asked
    // yet), else gdb's reason for refusing it. Not kept between runs.
    QString notSet;
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
    // gdb put a breakpoint elsewhere: the mark moves with it.
    void move(const QString& path, int fromLine, int toLine);
    void remove(const QString& path, int line);
    // gdb refused the breakpoint on that line (reason empty: it is set).
    void setNotSet(const QString& path, int line, const QString& reason);
    // A session ended: no breakpoint is refused any more.
    void clearNotSet();
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
