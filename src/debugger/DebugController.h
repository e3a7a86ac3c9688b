#pragma once

#include "debugger/DebugSession.h"
#include "editor/DebugMargin.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class CProjectDoc;
class CTarnView;
class DebugPanes;
struct SourceProgram;
class IdeContext;
namespace fw {
class MdiMainFrame;
}

// The Debug menu's commands on the main frame: starts a session on the
// active window's program, steps it, shows where it stopped in the source
// windows and keeps the panes and the breakpoint marks in step with it.
class DebugController : public QObject {
    Q_OBJECT
public:
    // The program starts in the tools' current directory; a project is
    // built as a job of the tools' session.
    DebugController(fw::MdiMainFrame* frame, IdeContext& tools);
    ~DebugController() override;

    // A command of the Debug menu with its handler and enabling rule; the
    // main frame registers them.
    struct Command {
        int id;
        std::function<void()> run;
        std::function<bool()> enabled;
    };
    QList<Command> commands();

    // F5: starts the program of the active window, or continues it. A
    // project whose program is out of date is built first: the session
    // starts when the build succeeds, not at all when it fails.
    void OnStartDebugging();
    void OnStopDebugging();
    void OnBreak();
    void OnStepOver();
    void OnStepInto();
    void OnStepOut();
    void OnRunToCursor();
    void OnToggleBreakpoint();
    // The source context menu's items while a session runs: on the line
    // and the word under the mouse where the menu was opened.
    void OnToggleBreakpointHere();
    void OnRunToHere();
    void OnAddWatchHere();

    // Tarn is closing: gdb and the program end.
    void shutdown();

    DebugSession& session() { return m_session; }
    // Every breakpoint the user set while Tarn runs; the source windows
    // show and toggle them in their margins.
    BreakpointBook& breakpointBook() { return m_book; }
    // The debugger's docks, made on the first call; madePanes() is null
    // until then.
    DebugPanes* panes();
    DebugPanes* madePanes() const { return m_panes; }
    // The executable F5 would debug now, or empty with the reason.
    QString programToDebug(QString* problem) const;
    // The project build Start Debugging waits for (0: none).
    int pendingBuild() const { return m_buildJob; }

private:
    CTarnView* activeSourceView() const;
    // The project window that is active, or the open project that holds
    // the active source window's file.
    CProjectDoc* activeProject() const;
    // Builds the active project when its program is out of date; true when
    // a build was started (the session follows it, with `extra`) or refused.
    bool buildProjectFirst(const QList<BreakpointRequest>& extra);
    // F5 or Run to Cursor with nothing running: the project is built when
    // out of date, a source's program looked for (and built when the user
    // wants), then the session starts.
    void startOrBuild(const QList<BreakpointRequest>& extra);
    // A source outside projects: true when its program may be debugged
    // now. When none is found, or it is older than the source, the user is
    // told so and may build it first (Build Source, -g ticked).
    bool readySourceProgram();
    bool buildSourceForDebugging(CTarnView& view);
    static QString noProgramText(const QString& source, const SourceProgram& found);
    void buildFinished(int id, int status);
    bool startSession(const QList<BreakpointRequest>& extra);
    void showStop();
    // Opens the frame's source at its line (marked as the stop's with
    // markStop); the window, or nullptr when there is none to show.
    CTarnView* showFrame(const DebugFrame& frame, bool markStop);
    // The stop's marks and a caller's band go from every source window.
    void clearStopMarks();
    void clearCallerMarks();
    QList<CTarnView*> sourceViews() const;
    void showStatus(const QString& text);
    void breakpointToggled(const QString& path, int line, bool added);

    fw::MdiMainFrame* m_frame;
    IdeContext& m_tools;
    int m_buildJob = 0;
    // The breakpoints the session starts with beyond the book's (Run to
    // Cursor's temporary one), kept while the build runs.
    QList<BreakpointRequest> m_afterBuild;
    BreakpointBook m_book;
    DebugSession m_session;
    // Owned here (deleted before the session and the book it shows); made
    // by panes() when first wanted.
    DebugPanes* m_panes = nullptr;
};
