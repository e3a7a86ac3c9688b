#include "tools/ChildRun.h"

#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <memory>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace {

// One wait for output; short, so a cancel is seen at once.
constexpr int kWaitMs = 20;
// The buffer every piece of output is read into, one piece at a time.
constexpr qint64 kReadBytes = 64 * 1024;

// The runner's side of one tool run: the child and its two output pipes.
// Every piece read from either pipe goes into one buffer, reused for the
// whole run, and from there to the run's output function: nothing the
// child writes is gathered here.
class ToolPipes {
public:
    explicit ToolPipes(const ChildOutput& output)
        : m_output(output), m_buffer(std::make_unique_for_overwrite<char[]>(kReadBytes))
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        // Nothing is ever written to a tool: it reads end-of-file at once.
        m_process.setStandardInputFile(QProcess::nullDevice());
        // Each stream is read as soon as it has data, so the pieces reach
        // the output function in the order the child wrote them as nearly
        // as two pipes allow (make's directory rows on one stream place the
        // compiler messages on the other).
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput,
                         [this] { read(QProcess::StandardOutput, ToolStream::Output); });
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { read(QProcess::StandardError, ToolStream::Error); });
    }
    ToolPipes(const ToolPipes&) = delete;
    ToolPipes& operator=(const ToolPipes&) = delete;

    // The group id (the child's process id), or 0 with the reason.
    bool start(const Invocation& invocation, QString* error)
    {
        // (The pipes keep the default size: with many compiles side by
        // side, wide pipes would eat into the per-user pipe allowance.)
        m_group = StartChild(m_process, invocation, {}, error);
        return m_group != 0;
    }

    bool running() const { return m_process.state() != QProcess::NotRunning; }

    // Reads both streams while it waits and returns when the child ended
    // or the time is up. (waitForReadyRead watches only one channel and
    // returns at once once it is closed, which would spin while the other
    // stream still flows.) Once the child has ended, its pipes are read as
    // far as they hold data and closed: a process it left holding them is
    // not waited for.
    void wait(int ms)
    {
        m_process.waitForFinished(ms);
        readBoth();
    }

    void readBoth()
    {
        read(QProcess::StandardOutput, ToolStream::Output);
        read(QProcess::StandardError, ToolStream::Error);
    }

    // Stop: the whole group is asked to end; the tool gets the grace to do
    // so (its output is still read meanwhile), then the group is killed.
    // What is left of the group after the tool ended gets the rest of the
    // grace.
    void stop()
    {
#ifdef Q_OS_UNIX
        ::kill(-static_cast<pid_t>(m_group), SIGTERM);
#else
        m_process.terminate();
#endif
        QElapsedTimer grace;
        grace.start();
        while (running() && grace.elapsed() < kStopGraceMs)
            m_process.waitForFinished(kWaitMs);
        if (running()) {
#ifdef Q_OS_UNIX
            ::kill(-static_cast<pid_t>(m_group), SIGKILL);
#else
            m_process.kill();
#endif
            m_process.waitForFinished(-1);
        }
        endLeftovers(int(std::max<qint64>(kStopGraceMs - grace.elapsed(), 0)));
    }

    // Whatever the tool started and left running ends with the run.
    void endLeftovers(int graceMs)
    {
        EndProcessGroup(m_group, graceMs);
        m_group = 0;
    }

    void finish(ChildResult& result) const
    {
        result.end = m_process.exitStatus() == QProcess::CrashExit ? ChildResult::End::Crashed
                                                                   : ChildResult::End::Finished;
        result.exitCode = m_process.exitCode();
    }

private:
    void read(QProcess::ProcessChannel channel, ToolStream stream)
    {
        m_process.setCurrentReadChannel(channel);
        for (;;) {
            const qint64 got = m_process.read(m_buffer.get(), kReadBytes);
            if (got <= 0)
                return;
            m_output(stream, QByteArrayView(m_buffer.get(), got));
        }
    }

    QProcess m_process;
    const ChildOutput& m_output;
    std::unique_ptr<char[]> m_buffer;
    qint64 m_group = 0;
};

} // namespace

ChildResult RunTool(const Invocation& invocation, const std::atomic<bool>& cancel,
                    const ChildOutput& output, const std::function<void()>& idle)
{
    ChildResult result;
    if (const QString problem = ProgramProblem(invocation.program); !problem.isEmpty()) {
        result.startError = problem;
        return result;
    }
    ToolPipes pipes(output);
    if (!pipes.start(invocation, &result.startError))
        return result;
    while (pipes.running()) {
        if (cancel.load()) {
            pipes.stop();
            result.end = ChildResult::End::Cancelled;
            return result;
        }
        pipes.wait(kWaitMs);
        if (idle)
            idle();
    }
    pipes.readBoth();
    pipes.endLeftovers(kStopGraceMs);
    pipes.finish(result);
    return result;
}
