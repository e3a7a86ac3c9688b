#include "tools/ChildRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace {

// One wait for output; short, so a cancel is seen at once.
constexpr int kWaitMs = 20;
// How long a stopped group may take to end before it is killed.
constexpr int kGraceMs = 1000;

void signalGroup(QProcess& process, bool kill)
{
#ifdef Q_OS_UNIX
    const qint64 pid = process.processId();
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), kill ? SIGKILL : SIGTERM);
#else
    if (kill)
        process.kill();
    else
        process.terminate();
#endif
}

void stopGroup(QProcess& process)
{
    signalGroup(process, false);
    QElapsedTimer grace;
    grace.start();
    while (process.state() != QProcess::NotRunning && grace.elapsed() < kGraceMs)
        process.waitForFinished(kWaitMs);
    if (process.state() != QProcess::NotRunning) {
        signalGroup(process, true);
        process.waitForFinished(-1);
    }
}

} // namespace

QString ProgramProblem(const QString& program)
{
    if (program.isEmpty())
        return QStringLiteral("no program named");
    QString path = program;
    if (!program.contains(QLatin1Char('/'))) {
        path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            return QStringLiteral("not found");
    } else if (QDir::isRelativePath(program)) {
        // Found from the child's working directory: the start decides.
        return {};
    }
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (!info.isExecutable())
        return QStringLiteral("not executable");
    return {};
}

void WidenOutputPipes()
{
#ifdef Q_OS_LINUX
    // A pipe's room is the pipe's: the child's ends set it for both sides.
    ::fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20);
    ::fcntl(STDERR_FILENO, F_SETPIPE_SZ, 1 << 20);
#endif
}

ChildResult RunChild(const Invocation& invocation, const std::atomic<bool>& cancel,
                     const ChildOutput& output, const std::function<void()>& idle)
{
    ChildResult result;
    if (const QString problem = ProgramProblem(invocation.program); !problem.isEmpty()) {
        result.startError = problem;
        return result;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!invocation.workingDirectory.isEmpty())
        process.setWorkingDirectory(invocation.workingDirectory);
#ifdef Q_OS_UNIX
    // Its own group: a stop reaches make and every compiler it started.
    // (Its pipes keep the default size: with many compiles side by side,
    // wide pipes would eat into the per-user pipe allowance of the system.)
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    process.start(invocation.program, invocation.arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        result.startError = process.errorString();
        return result;
    }
    // Each stream is read as soon as it has data, so the pieces reach
    // `output` in the order the child wrote them as nearly as two pipes
    // allow (make's directory rows on one stream place the compiler
    // messages on the other).
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [&] {
        const QByteArray out = process.readAllStandardOutput();
        if (!out.isEmpty())
            output(ToolStream::Output, out);
    });
    QObject::connect(&process, &QProcess::readyReadStandardError, [&] {
        const QByteArray err = process.readAllStandardError();
        if (!err.isEmpty())
            output(ToolStream::Error, err);
    });
    auto take = [&] {
        const QByteArray out = process.readAllStandardOutput();
        if (!out.isEmpty())
            output(ToolStream::Output, out);
        const QByteArray err = process.readAllStandardError();
        if (!err.isEmpty())
            output(ToolStream::Error, err);
    };
    while (process.state() != QProcess::NotRunning) {
        if (cancel.load()) {
            stopGroup(process);
            result.end = ChildResult::End::Cancelled;
            return result;
        }
        // Reads both streams into the process's buffers while it waits and
        // returns when the child ended or the time is up. (waitForReadyRead
        // watches only one channel and returns at once once it is closed,
        // which would spin while the other stream still flows.)
        process.waitForFinished(kWaitMs);
        take();
        if (idle)
            idle();
    }
    take();
    result.end = process.exitStatus() == QProcess::CrashExit ? ChildResult::End::Crashed
                                                             : ChildResult::End::Finished;
    result.exitCode = process.exitCode();
    return result;
}
