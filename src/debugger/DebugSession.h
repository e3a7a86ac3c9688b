#pragma once

#include "debugger/DebugState.h"
#include "debugger/MiCommand.h"
#include "debugger/MiParser.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class GdbProcess;
class ProgramTerminal;

// What a session debugs and with which gdb.
struct DebugTarget {
    QString gdbPath;
    QString program;
    QStringList arguments;
    // The program's working directory (Tarn's current directory); empty:
    // gdb's own.
    QString workingDirectory;
};

// A breakpoint Tarn asks for: a source line, as the editor knows it.
struct BreakpointRequest {
    QByteArray file; // the source's path bytes
    int line = 0;    // one-based
    bool enabled = true;
    QByteArray condition;
    bool temporary = false;

    static BreakpointRequest at(QByteArray file, int line)
    {
        BreakpointRequest request;
        request.file = std::move(file);
        request.line = line;
        return request;
    }
};

// One debugging session: gdb as a long-lived child in its machine
// interface (`gdb --interpreter=mi3 -nx -q`), in a process group of its
// own, the program on a pseudo-terminal Tarn owns (ProgramTerminal).
// Commands carry tokens and their answers reach the callback given with
// them; asynchronous records keep the state below up to date.
//
// gdb's input and output are handled on a worker (GdbProcess): it starts
// gdb, writes the commands, reads and parses gdb's records and hands them
// here a read's worth at a time, and ends gdb and the program. The session
// itself lives on the user-interface thread and never waits for gdb or the
// program there: start() returns once gdb's start is asked for, stop() once
// the worker is told to end them. The program's output is read as it comes,
// so a program that floods its terminal never holds up the loop (the
// terminal hands its output on in batches). What gdb writes is bounded on
// its way: a record over MiStreamParser's limit is cut (the console says
// so), a console record is shown up to kConsoleRecordBytes, and the
// transcript keeps its last kConsoleBytes.
//
// DebugSession.cpp starts, steps and ends the session and reads stops;
// DebugSessionBreakpoints.cpp and DebugSessionVariables.cpp hold the
// breakpoints and the Locals and Watch panes' data.
class DebugSession : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,     // never started
        Starting, // gdb is up, the program not yet running
        Running,
        Stopped,
        Ended, // gdb and the program are gone
    };
    // Call Stack shows this many frames at most.
    static constexpr int kMaxFrames = 1000;
    // An array or structure opened in Locals lists this many members at
    // most (a char array of a megabyte would otherwise be a million rows).
    static constexpr int kMaxChildren = 1000;
    // The console transcript keeps about this many of its last bytes.
    static constexpr qsizetype kConsoleBytes = 4 * 1024 * 1024;
    // One record of gdb's shows this much in the console at most.
    static constexpr qsizetype kConsoleRecordBytes = 64 * 1024;

    explicit DebugSession(QObject* parent = nullptr);
    ~DebugSession() override;

    // Starts gdb on the target, sets the breakpoints and runs the program;
    // returns at once. False, with the reason in `error`, for what is known
    // here: no gdb at that path, no terminal. A gdb that fails to start, or a
    // program gdb cannot load, ends the session later (ended(), with why).
    bool start(const DebugTarget& target, const QList<BreakpointRequest>& breakpoints,
               QString* error);
    // Ends the session at once; the worker ends the program and gdb with
    // their process groups (gdb gets the stop grace to exit). Nothing
    // happens once the session has ended.
    void stop();

    // Execution commands; each is ignored unless the program is stopped
    // (interrupt: unless it runs).
    void continueRunning();
    void stepOver();
    void stepInto();
    void stepOut();
    void interrupt();
    // Runs until the line is reached (a temporary breakpoint there).
    void runToLine(const QByteArray& file, int line);

    // Breakpoints while gdb runs. A refusal (no code in that file, no such
    // file) comes back as breakpointProblem().
    void insertBreakpoint(const BreakpointRequest& request);
    void deleteBreakpoint(int number);
    void setBreakpointEnabled(int number, bool enabled);
    void setBreakpointCondition(int number, const QByteArray& condition);
    // The breakpoint gdb placed at that source line, if any (0: none).
    int breakpointAt(const QByteArray& file, int line) const;

    // The Watch pane's expressions, evaluated at every stop.
    void addWatch(const QByteArray& expression);
    void removeWatch(int index);

    // Makes a frame of the call stack the selected one; Locals and the
    // watches follow it.
    void selectFrame(int level);

    // A line typed in the GDB Console, run as gdb's own command; the answer
    // comes back as consoleOutput().
    void consoleCommand(const QByteArray& text);
    // Input for the program, as if typed on its terminal.
    void sendInput(const QByteArray& bytes);

    // Any machine-interface command; the callback gets its result record.
    using Callback = std::function<void(const MiRecord&)>;
    quint64 command(QByteArrayView operation, const QList<QByteArray>& arguments = {},
                    Callback callback = {});
    // The children of a variable object, or of an expression of the
    // selected frame (a variable object is made for it first): the first
    // kMaxChildren of them, and whether there are more.
    using ChildrenDone = std::function<void(const QList<DebugVariableChild>&, bool more)>;
    void listChildren(const QByteArray& expressionOrVarName, bool isVarName, ChildrenDone done);

    State state() const { return m_state; }
    bool isActive() const { return m_state == State::Starting || m_state == State::Running ||
                                   m_state == State::Stopped; }
    const DebugStop& lastStop() const { return m_lastStop; }
    // What the status bar says about the session now.
    QString statusText() const { return m_status; }
    const QList<DebugFrame>& frames() const { return m_frames; }
    // The stack is deeper than the frames listed.
    bool moreFrames() const { return m_moreFrames; }
    int selectedFrame() const { return m_selectedFrame; }
    const QList<DebugVariable>& locals() const { return m_locals; }
    const QList<DebugWatch>& watches() const { return m_watches; }
    const QList<DebugBreakpoint>& breakpoints() const { return m_breakpoints; }
    // The whole console transcript (gdb's answers and the commands typed).
    const QByteArray& consoleText() const { return m_console; }
    bool programHasDebugInfo() const { return m_hasDebugInfo; }
    // 0 until gdb runs.
    qint64 gdbProcessId() const { return m_gdbPid; }
    qint64 programProcessId() const { return m_programPid; }
    // gdb's variable objects the session made and has not deleted yet.
    const QList<QByteArray>& variableObjects() const { return m_varObjects; }
    // gdb processes of ended sessions whose end the worker is still doing.
    int endingGdbs() const { return int(m_retired.size()); }

signals:
    void stateChanged(DebugSession::State state);
    // The program stopped and the stack, Locals and watches are up to date.
    void stopRefreshed();
    void framesChanged();
    void localsChanged();
    void watchesChanged();
    void breakpointsChanged();
    // gdb put a breakpoint on another line than the one asked for.
    void breakpointMoved(const QByteArray& file, int requestedLine, int line);
    // gdb refused a breakpoint (the request's file and line, gdb's reason).
    void breakpointProblem(const QByteArray& file, int line, const QString& reason);
    void statusChanged(const QString& text);
    void consoleOutput(const QByteArray& bytes);
    void programOutput(const QByteArray& bytes);
    // The session is over (the program ended, Stop Debugging, gdb died).
    void ended(const QString& why);

private:
    void handleRecords(std::vector<MiRecord>& records);
    void handleRecord(const MiRecord& record);
    void handleStopped(const MiRecord& record);
    void handleBreakpointNotice(const MiRecord& record);
    void refreshAfterStop();
    void refreshLocals(const std::function<void()>& done);
    // Values gdb would not read (an array over its 64 KiB limit) shown as
    // their first elements; calls done when all are in.
    void fillOversizedValues(quint64 generation, const std::function<void()>& done);
    void listCapped(const QByteArray& varName, qint64 childCount, const ChildrenDone& done);
    void refreshWatches(const std::function<void()>& done);
    void evaluateWatch(int index, const std::function<void()>& done);
    void selectInnermostFrame();
    void execute(QByteArrayView operation, const QList<QByteArray>& arguments = {});
    // Adds to the console transcript (and shows it): a long record cut, the
    // oldest text dropped past kConsoleBytes.
    void toConsole(const QByteArray& bytes);
    // A variable object made for Locals (deleted when no longer shown).
    void keepVariableObject(const QByteArray& name);
    void deleteVariableObjects();
    void setState(State state);
    void setStatus(const QString& text);
    void upsertBreakpoint(const DebugBreakpoint& breakpoint);
    void finish(const QString& why);
    void gdbFinished(int code, bool crashed);
    void retire(GdbProcess* gdb);

    std::unique_ptr<GdbProcess> m_gdb;
    // Ended sessions' gdbs, until their worker has ended them.
    std::vector<std::unique_ptr<GdbProcess>> m_retired;
    QList<QByteArray> m_varObjects;
    ProgramTerminal* m_terminal = nullptr;
    MiCommandTokens m_tokens;
    QHash<quint64, Callback> m_callbacks;
    State m_state = State::Idle;
    DebugStop m_lastStop;
    QString m_status;
    QList<DebugFrame> m_frames;
    bool m_moreFrames = false;
    int m_selectedFrame = 0;
    QList<DebugVariable> m_locals;
    QList<DebugWatch> m_watches;
    QList<DebugBreakpoint> m_breakpoints;
    QByteArray m_console;
    bool m_hasDebugInfo = true;
    QString m_noDebugInfoNote;
    bool m_interruptAsked = false;
    bool m_ending = false;
    qint64 m_gdbPid = 0;
    qint64 m_programPid = 0;
    // Counts stops, so that answers to an older stop's refresh are dropped.
    quint64 m_stopGeneration = 0;
};
