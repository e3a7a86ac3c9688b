#include "debugger/DebugSession.h"

#include "debugger/GdbProcess.h"
#include "debugger/ProgramProcesses.h"
#include "debugger/ProgramTerminal.h"
#include "framework/Assert.h"
#include "tools/ChildStart.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"
#include "tools/ToolEnvironment.h"

#include <QProcessEnvironment>

#include <QThread>

#include <memory>

namespace {

// gdb starts the program through the shell, which splits the arguments:
// each is put in single quotes so the shell passes it on as it is.
QByteArray shellQuoted(const QStringList& arguments)
{
    QByteArray line;
    for (const QString& argument : arguments) {
        if (!line.isEmpty())
            line += ' ';
        QByteArray bytes = PathToBytes(argument);
        // A line end would end the machine-interface command.
        bytes.replace('\n', ' ');
        bytes.replace('\r', ' ');
        line += '\'';
        line += bytes.replace("'", "'\\''");
        line += '\'';
    }
    return line;
}

QString errorText(const MiRecord& record)
{
    return QString::fromUtf8(record.results["msg"].bytes());
}

} // namespace

DebugSession::DebugSession(QObject* parent) : QObject(parent) {}

DebugSession::~DebugSession()
{
    stop();
}

bool DebugSession::start(const DebugTarget& target, const QList<BreakpointRequest>& breakpoints,
                         QString* error)
{
    if (isActive()) {
        *error = QStringLiteral("a debugging session is already running");
        return false;
    }
    if (const QString problem = ProgramProblem(target.gdbPath); !problem.isEmpty()) {
        *error = QStringLiteral("gdb cannot be started: %1: %2")
                     .arg(PathForDisplay(target.gdbPath), problem);
        return false;
    }
    // A fresh start: nothing of an earlier session is kept.
    m_tokens = MiCommandTokens();
    m_callbacks.clear();
    m_lastStop = DebugStop();
    m_frames.clear();
    m_moreFrames = false;
    m_selectedFrame = 0;
    m_locals.clear();
    m_breakpoints.clear();
    m_console.clear();
    for (DebugWatch& watch : m_watches)
        watch = DebugWatch{watch.expression, {}, false, false, false};
    m_hasDebugInfo = true;
    m_noDebugInfoNote.clear();
    m_interruptAsked = false;
    m_ending = false;
    m_programPid = 0;

    delete m_terminal;
    m_terminal = new ProgramTerminal(this);
    if (!m_terminal->open(error))
        return false;
    connect(m_terminal, &ProgramTerminal::output, this, &DebugSession::programOutput);

    // An earlier session's gdb may still be ending on its worker: it ends
    // there, out of the way of this one.
    if (m_gdb)
        retire(m_gdb.release());
    m_gdbPid = 0;
    m_varObjects.clear();
    auto self = std::make_shared<GdbProcess*>(nullptr);
    GdbProcess::Handlers handlers;
    handlers.started = [this](qint64 pid) { m_gdbPid = pid; };
    handlers.startFailed = [this, gdbPath = target.gdbPath](const QString& why) {
        finish(QStringLiteral("gdb cannot be started: %1: %2").arg(PathForDisplay(gdbPath), why));
    };
    handlers.records = [this](std::vector<MiRecord>& records) { handleRecords(records); };
    handlers.errorOutput = [this](const QByteArray& bytes) { toConsole(bytes); };
    handlers.finished = [this](int code, bool crashed) { gdbFinished(code, crashed); };
    handlers.ended = [this, self] {
        // Later, not under the worker's own call.
        QMetaObject::invokeMethod(
            this,
            [this, gdb = *self] {
                std::erase_if(m_retired, [gdb](const std::unique_ptr<GdbProcess>& retired) {
                    return retired.get() == gdb;
                });
            },
            Qt::QueuedConnection);
    };
    m_gdb = std::make_unique<GdbProcess>(this, std::move(handlers));
    *self = m_gdb.get();
    m_gdb->start(target.gdbPath);
    setState(State::Starting);
    setStatus(QStringLiteral("Starting %1").arg(PathForDisplay(target.program)));

    // gdb reads commands while the program runs (Break needs that).
    execute("-gdb-set", {"mi-async", "on"});
    execute("-inferior-tty-set", {m_terminal->slavePath()});
    // gdb runs with its messages in the C locale (ToolEnvironment.h), and
    // the program starts with gdb's environment: the program is the user's,
    // so the user's own locale variables are set back for it.
    for (const EnvironmentSetting& setting :
         UserLocaleSettings(QProcessEnvironment::systemEnvironment())) {
        const QByteArray name = setting.name.toLocal8Bit();
        const QByteArray line = setting.value
                                    ? "set environment " + name + '=' + setting.value->toLocal8Bit()
                                    : "unset environment " + name;
        execute("-interpreter-exec", {"console", line});
    }
    if (!target.workingDirectory.isEmpty())
        execute("-environment-cd", {PathToBytes(target.workingDirectory)});
    command("-file-exec-and-symbols", {PathToBytes(target.program)}, [this](const MiRecord& r) {
        if (r.isResult("error"))
            finish(errorText(r));
    });
    // A program built without -g has no source to show: it still runs,
    // and the status bar and Program Output say why no breakpoint holds.
    command("-file-list-exec-source-file", {},
            [this, name = PathForDisplay(FileNameOf(target.program))](const MiRecord& r) {
                if (r.isResult("error") &&
                    r.results["msg"].bytes().startsWith("No symbol table")) {
                    m_hasDebugInfo = false;
                    m_noDebugInfoNote =
                        QStringLiteral("%1 has no debugging information: build it with Debug "
                                       "info (-g)")
                            .arg(name);
                    const QByteArray line = m_noDebugInfoNote.toUtf8() + '\n';
                    toConsole(line);
                    emit programOutput(line);
                    setStatus(m_noDebugInfoNote);
                }
            });
    if (!target.arguments.isEmpty()) {
        // Not through MiCommandLine: gdb hands this command's text to the
        // shell as it stands.
        const MiCommandTokens::Composed composed = m_tokens.compose("-exec-arguments");
        QByteArray line = composed.line;
        line.chop(1);
        line += ' ' + shellQuoted(target.arguments) + '\n';
        m_gdb->write(line);
    }
    for (const BreakpointRequest& request : breakpoints)
        insertBreakpoint(request);
    command("-exec-run", {}, [this](const MiRecord& r) {
        if (r.isResult("error"))
            finish(errorText(r));
    });
    return true;
}

quint64 DebugSession::command(QByteArrayView operation, const QList<QByteArray>& arguments,
                              Callback callback)
{
    TARN_ASSERT(QThread::currentThread() == thread(), "a debugging session is driven from its own thread only");
    if (!m_gdb || m_ending || m_state == State::Ended)
        return 0;
    const MiCommandTokens::Composed composed = m_tokens.compose(operation, arguments);
    if (callback)
        m_callbacks.insert(composed.token, std::move(callback));
    m_gdb->write(composed.line);
    return composed.token;
}

void DebugSession::execute(QByteArrayView operation, const QList<QByteArray>& arguments)
{
    command(operation, arguments, [this](const MiRecord& r) {
        if (r.isResult("error"))
            toConsole("Error: " + r.results["msg"].bytes() + '\n');
    });
}

void DebugSession::handleRecords(std::vector<MiRecord>& records)
{
    for (const MiRecord& record : records) {
        handleRecord(record);
        if (m_state == State::Ended)
            break;
    }
}

void DebugSession::handleRecord(const MiRecord& record)
{
    switch (record.type) {
    case MiRecordType::Result: {
        if (!m_tokens.answer(record))
            return;
        const auto it = m_callbacks.find(*record.token);
        if (it == m_callbacks.end())
            return;
        const Callback callback = std::move(it.value());
        m_callbacks.erase(it);
        callback(record);
        return;
    }
    case MiRecordType::ExecAsync:
        if (record.resultClass == "running") {
            m_frames.clear();
            setState(State::Running);
            // Without debugging information nothing will stop it: the
            // reason stays in view.
            setStatus(m_hasDebugInfo ? QStringLiteral("Running") : m_noDebugInfoNote);
        } else if (record.resultClass == "stopped") {
            handleStopped(record);
        }
        return;
    case MiRecordType::NotifyAsync:
        if (record.resultClass == "thread-group-started") {
            m_programPid = record.results["pid"].number().value_or(0);
        } else if (record.resultClass.startsWith("breakpoint-")) {
            handleBreakpointNotice(record);
        }
        return;
    case MiRecordType::ConsoleStream:
    case MiRecordType::LogStream:
        toConsole(record.stream);
        return;
    case MiRecordType::TargetStream:
        emit programOutput(record.stream);
        return;
    case MiRecordType::Malformed:
        // A runaway record, dropped unread: the console says so.
        if (record.cutBytes > 0)
            toConsole("[gdb's " + record.error + "]\n");
        return;
    case MiRecordType::StatusAsync:
    case MiRecordType::Prompt:
        return;
    }
}

void DebugSession::handleStopped(const MiRecord& record)
{
    DebugStop stop = ReadMiStop(record.results);
    const bool interrupted = std::exchange(m_interruptAsked, false);
    m_lastStop = stop;
    if (stop.programEnded()) {
        // The program's last output is read before the end is told.
        if (m_terminal)
            m_terminal->close();
        finish(DescribeStop(stop));
        return;
    }
    ++m_stopGeneration;
    // Locals is drawn anew: the members opened at the last stop are not.
    deleteVariableObjects();
    m_selectedFrame = 0;
    setState(State::Stopped);
    setStatus(DescribeStop(stop, interrupted));
    refreshAfterStop();
}

void DebugSession::refreshAfterStop()
{
    const quint64 generation = m_stopGeneration;
    // Three answers make the picture: the stack, the locals, the watches.
    auto remaining = std::make_shared<int>(3);
    auto oneDone = [this, generation, remaining] {
        if (--*remaining == 0 && generation == m_stopGeneration && m_state == State::Stopped)
            emit stopRefreshed();
    };
    command("-stack-list-frames", {"0", QByteArray::number(kMaxFrames)},
            [this, generation, oneDone](const MiRecord& r) {
                if (generation == m_stopGeneration) {
                    m_frames.clear();
                    const MiValue& stack = r.results["stack"];
                    for (qsizetype i = 0; i < stack.size(); ++i)
                        m_frames.append(ReadMiFrame(stack.at(i)));
                    m_moreFrames = m_frames.size() > kMaxFrames;
                    if (m_moreFrames)
                        m_frames.resize(kMaxFrames);
                    emit framesChanged();
                }
                oneDone();
            });
    refreshLocals(oneDone);
    refreshWatches(oneDone);
}

void DebugSession::selectFrame(int level)
{
    if (m_state != State::Stopped || level < 0 || level >= m_frames.size())
        return;
    command("-stack-select-frame", {QByteArray::number(level)}, [this, level](const MiRecord& r) {
        if (!r.isResult("done"))
            return;
        m_selectedFrame = level;
        deleteVariableObjects();
        emit framesChanged();
        refreshLocals([] {});
        refreshWatches([] {});
    });
}

void DebugSession::selectInnermostFrame()
{
    // Steps go from where the program stopped, whichever frame the Call
    // Stack shows.
    if (m_selectedFrame != 0) {
        execute("-stack-select-frame", {"0"});
        m_selectedFrame = 0;
    }
}

void DebugSession::continueRunning()
{
    if (m_state == State::Stopped)
        execute("-exec-continue");
}

void DebugSession::stepOver()
{
    if (m_state != State::Stopped)
        return;
    selectInnermostFrame();
    execute("-exec-next");
}

void DebugSession::stepInto()
{
    if (m_state != State::Stopped)
        return;
    selectInnermostFrame();
    execute("-exec-step");
}

void DebugSession::stepOut()
{
    if (m_state != State::Stopped)
        return;
    selectInnermostFrame();
    // From the outermost frame there is nowhere to return to: gdb says so
    // ("finish" not meaningful...), which the status bar shows.
    command("-exec-finish", {}, [this](const MiRecord& r) {
        if (r.isResult("error"))
            setStatus(errorText(r));
    });
}

void DebugSession::interrupt()
{
    if (m_state != State::Running)
        return;
    m_interruptAsked = true;
    execute("-exec-interrupt");
}

void DebugSession::consoleCommand(const QByteArray& text)
{
    const QByteArray line = text.trimmed();
    if (line.isEmpty())
        return;
    toConsole("(gdb) " + line + '\n');
    command("-interpreter-exec", {"console", line}, [this](const MiRecord& r) {
        if (r.isResult("error"))
            toConsole(r.results["msg"].bytes() + '\n');
    });
}

void DebugSession::sendInput(const QByteArray& bytes)
{
    if (!m_terminal || !isActive())
        return;
    if (!m_terminal->send(bytes)) {
        setStatus(QStringLiteral("Input not sent: the program has not read the %1 bytes sent before")
                      .arg(m_terminal->unsentBytes()));
    }
}

void DebugSession::toConsole(const QByteArray& bytes)
{
    QByteArray shown = bytes;
    if (shown.size() > kConsoleRecordBytes) {
        shown.truncate(kConsoleRecordBytes);
        shown += "\n[" + QByteArray::number(bytes.size() - kConsoleRecordBytes) +
                 " more bytes not shown]\n";
    }
    m_console += shown;
    if (m_console.size() > kConsoleBytes) {
        // The oldest quarter goes at once, from a line start where there is
        // one, so that the cut is not made again for every record.
        qsizetype cut = m_console.size() - kConsoleBytes * 3 / 4;
        const qsizetype lineEnd = m_console.indexOf('\n', cut);
        if (lineEnd >= 0 && lineEnd - cut < 4096)
            cut = lineEnd + 1;
        m_console.remove(0, cut);
    }
    emit consoleOutput(shown);
}

void DebugSession::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void DebugSession::setStatus(const QString& text)
{
    m_status = text;
    emit statusChanged(text);
}

void DebugSession::retire(GdbProcess* gdb)
{
    m_retired.emplace_back(gdb);
}

void DebugSession::finish(const QString& why)
{
    if (m_ending || m_state == State::Ended || m_state == State::Idle)
        return;
    m_ending = true;
    // The program leads a session and a process group of its own (gdb
    // gives it them on its terminal): they take any child it forked along.
    // Then gdb, and whatever it started and left behind in its group. All
    // of it on gdb's worker, which reads /proc and waits for the grace.
    if (m_gdb) {
        m_gdb->end([program = m_programPid] { KillProgramProcesses(program); });
        retire(m_gdb.release());
    }
    m_programPid = 0;
    if (m_terminal)
        m_terminal->close();
    m_callbacks.clear();
    m_callbacks.squeeze();
    m_varObjects.clear();
    m_frames.clear();
    m_locals.clear();
    m_selectedFrame = 0;
    // A watch's value and change mark belong to the program that ran:
    // the expressions stay for the next session.
    for (DebugWatch& watch : m_watches)
        watch = DebugWatch{watch.expression, {}, false, false, false};
    m_console.squeeze();
    setStatus(why);
    setState(State::Ended);
    emit framesChanged();
    emit localsChanged();
    emit watchesChanged();
    emit ended(why);
}

void DebugSession::stop()
{
    finish(QStringLiteral("Debugging stopped"));
}

void DebugSession::gdbFinished(int code, bool crashed)
{
    if (m_ending)
        return;
    // gdb ended on its own (or was killed from outside): the program goes too.
    finish(crashed ? QStringLiteral("gdb ended unexpectedly")
                   : QStringLiteral("gdb ended (exit code %1)").arg(code));
}
