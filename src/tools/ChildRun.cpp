#include "tools/ChildRun.h"

#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace {

// One wait for output; short, so a cancel is seen at once.
constexpr int kWaitMs = 20;

// Stop: the whole group is asked to end; the tool gets the grace to do so
// (its output is still read meanwhile), then the group is killed. What is
// left of the group after the tool ended gets the rest of the grace.
void stopGroup(QProcess& process, qint64 group)
{
#ifdef Q_OS_UNIX
    ::kill(-static_cast<pid_t>(group), SIGTERM);
#else
    process.terminate();
#endif
    QElapsedTimer grace;
    grace.start();
    while (process.state() != QProcess::NotRunning && grace.elapsed() < kStopGraceMs)
        process.waitForFinished(kWaitMs);
    if (process.state() != QProcess::NotRunning) {
#ifdef Q_OS_UNIX
        ::kill(-static_cast<pid_t>(group), SIGKILL);
#else
        process.kill();
#endif
        process.waitForFinished(-1);
    }
    EndProcessGroup(group, int(std::max<qint64>(kStopGraceMs - grace.elapsed(), 0)));
}

} // namespace

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
    // (Its pipes keep the default size: with many compiles side by side,
    // wide pipes would eat into the per-user pipe allowance of the system.)
    const qint64 group = StartChild(process, invocation, {}, &result.startError);
    if (group == 0)
        return result;
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
            stopGroup(process, group);
            result.end = ChildResult::End::Cancelled;
            return result;
        }
        // Reads both streams into the process's buffers while it waits and
        // returns when the child ended or the time is up. (waitForReadyRead
        // watches only one channel and returns at once once it is closed,
        // which would spin while the other stream still flows.) Once the
        // child has ended, its pipes are read as far as they hold data and
        // closed: a process it left holding them is not waited for.
        process.waitForFinished(kWaitMs);
        take();
        if (idle)
            idle();
    }
    take();
    EndProcessGroup(group, kStopGraceMs);
    result.end = process.exitStatus() == QProcess::CrashExit ? ChildResult::End::Crashed
                                                             : ChildResult::End::Finished;
    result.exitCode = process.exitCode();
    return result;
}
