#pragma once

#include <QList>
#include <QRect>

#include <utility>
#include <QString>

class SettingsProfile;

// The editor's own sections of Tarn32.ini, kept apart from the ten keys of
// [Options] (which stay exactly as they are):
//
//   [Editor]
//   Syntax Colouring=1
//   Line Numbers=1
//   Reopen Last Session=1
//
//   [Session]
//   Windows=2
//   Window1=/home/ann/hello/hello.tarn
//   Window2=/home/ann/hello/main.c
//   Line2=42
//   Place2=40,30,800,500
//   Place1=0,0,700,400,maximised
//   Active=2
//   MessagePlace=0,610,1280,200
//   Breakpoints=2
//   Breakpoint1=/home/ann/hello/main.c
//   BreakpointLine1=17
//   Breakpoint2=/home/ann/hello/util.c
//   BreakpointLine2=5
//   BreakpointOff2=1
//   BreakpointIf2=n == 3
//
// (The breakpoint keys are written only when there are breakpoints; Off
// and If only for a disabled or conditioned one. A Place is x, y, width and
// height in the main window's client area, then "maximised" or "minimised"
// when the window was; the rectangle is where it goes when restored.)

// The View menu's switches; each is on unless its key says 0.
struct EditorSwitches {
    bool syntaxColouring = true;
    bool lineNumbers = true;
    bool reopenSession = true;

    bool operator==(const EditorSwitches&) const = default;
};

inline constexpr char EditorSection[] = "Editor";
inline constexpr char SessionSection[] = "Session";

EditorSwitches readEditorSwitches(const SettingsProfile& profile);
// Writes the three keys of [Editor]; a file without [Options] gets an empty
// [Options] first, so the editor's section always follows it.
void writeEditorSwitches(SettingsProfile& profile, const EditorSwitches& switches);

// Where a window stood: its normal rectangle in the client area and whether
// it was maximised or minimised. An empty rectangle: not known.
struct WindowPlace {
    enum class State { Normal, Maximised, Minimised };
    QRect rect;
    State state = State::Normal;

    bool known() const { return !rect.isEmpty(); }
    bool operator==(const WindowPlace&) const = default;
};

// "x,y,width,height[,maximised|minimised]"; an unknown place reads from
// anything else (a width or height below 1, a number that is not one).
QByteArray windowPlaceToValue(const WindowPlace& place);
WindowPlace windowPlaceFromValue(QByteArrayView value);

// The windows open when Tarn last ended, in the order they were opened.
struct SessionWindow {
    SessionWindow() = default;
    SessionWindow(QString path, int line = 1, WindowPlace place = {})
        : path(std::move(path)), line(line), place(place)
    {
    }

    QString path; // absolute; bytes that are not UTF-8 kept (tools/PathBytes.h)
    int line = 1; // the caret's line, counted from 1 (sources only)
    WindowPlace place;

    bool operator==(const SessionWindow&) const = default;
};

// A breakpoint the debugger kept, by its source's path.
struct SessionBreakpoint {
    QString path; // absolute, as SessionWindow's
    int line = 1; // counted from 1
    bool enabled = true;
    QByteArray condition; // gdb's expression, empty for none

    bool operator==(const SessionBreakpoint&) const = default;
};

struct Session {
    Session() = default;
    Session(QList<SessionWindow> windows, int active = -1, QList<SessionBreakpoint> breakpoints = {})
        : windows(std::move(windows)), active(active), breakpoints(std::move(breakpoints))
    {
    }

    QList<SessionWindow> windows;
    int active = -1; // index into windows of the active one; -1 for none
    QList<SessionBreakpoint> breakpoints;
    WindowPlace messagePlace; // the message window's

    bool operator==(const Session&) const = default;
};

// At most this many windows are read back: a hand-edited count cannot make
// start-up open (or look for) millions of files.
inline constexpr int MaxSessionWindows = 500;
inline constexpr int MaxSessionBreakpoints = 1000;

// Reads [Session] as far as it makes sense: entries without a path or with
// a relative one are dropped, a count, line or active index that is not a
// number or out of range is ignored; a breakpoint without a line number
// (from 1) is dropped. Never fails.
Session readSession(const SettingsProfile& profile);
// Replaces the whole [Session] section (old entries go), after [Options].
void writeSession(SettingsProfile& profile, const Session& session);

// A path as a one-line value: the bytes of the path, with '%', control
// characters and blanks at either end written as %XX, so every path
// survives the trip through the file. Undone by sessionValueToPath; a '%'
// not followed by two hex digits stays as it is.
QByteArray sessionPathToValue(const QString& path);
QString sessionValueToPath(QByteArrayView value);
