#pragma once

#include "debugger/DebugSession.h"
#include "editor/DebugMargin.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class CTarnView;
class DebugPanes;
namespace fw {
class MdiMainFrame;
}

// The Debug menu's commands on the main frame: starts a session on the
// active window's program, steps it, shows where it stopped in the source
// windows and keeps the panes and the breakpoint marks in step with it.
class DebugController : public QObject {
    Q_OBJECT
public:
    // currentDirectory gives Tarn's current directory, where the program
    // starts.
    DebugController(fw::MdiMainFrame* frame, std::function<QString()> currentDirectory);
    ~DebugController() override;

    // A command of the Debug menu with its handler and enabling rule; the
    // main frame registers them.
    struct Command {
        int id;
        std::function<void()> run;
        std::function<bool()> enabled;
    };
    QList<Command> commands();

    // F5: starts the program of the active window, or continues it.
    void OnStartDebugging();
    void OnStopDebugging();
    void OnBreak();
    void OnStepOver();
    void OnStepInto();
    void OnStepOut();
    void OnRunToCursor();
    void OnToggleBreakpoint();

    // Tarn is closing: gdb and the program end.
    void shutdown();

    DebugSession& session() { return m_session; }
    // Every breakpoint the user set while Tarn runs; the source windows
    // show and toggle them in their margins.
    BreakpointBook& breakpointBook() { return m_book; }
    DebugPanes* panes() const { return m_panes; }
    // The executable F5 would debug now, or empty with the reason.
    QString programToDebug(QString* problem) const;

private:
    CTarnView* activeSourceView() const;
    bool startSession(const QList<BreakpointRequest>& extra);
    void showStop();
    void showFrame(const DebugFrame& frame, bool markStop);
    void clearStopMarks();
    void showStatus(const QString& text);
    void breakpointToggled(const QString& path, int line, bool added);

    fw::MdiMainFrame* m_frame;
    std::function<QString()> m_currentDirectory;
    BreakpointBook m_book;
    DebugSession m_session;
    DebugPanes* m_panes = nullptr;
};
