#include "tools/ChildRun.h"

#include "tools/ProcessTree.h"

#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

namespace {

// One wait for output; short, so a cancel is seen at once.
constexpr int kWaitMs = 20;
// The buffer every piece of output is read into, one piece at a time.
constexpr qsizetype kReadBytes = 256 * 1024;

// The runner's side of one tool run: the child and its two output pipes.
// Every piece read from either pipe goes into one buffer, reused for the
// whole run, and from there to the run's output function: nothing the
// child writes is gathered here.
//
// The pipes are the runner's own, read with read(2): a pipe starts
// at the system's default size, so compiles side by side take little of
// the per-user pipe allowance, and one that a flood has filled is widened
// to 1 MiB, so the tool writes on while the reader is not scheduled. (Qt
// starts the child, reports a failed start and reaps it.)
class ToolPipes {
public:
    explicit ToolPipes(const ChildOutput& output)
        : m_output(output), m_buffer(std::make_unique_for_overwrite<char[]>(kReadBytes))
    {
        // Nothing is ever written to a tool: it reads end-of-file at once.
        m_process.setStandardInputFile(QProcess::nullDevice());
    }
    ~ToolPipes()
    {
        for (Pipe& pipe : m_pipes)
            pipe.close();
    }
    ToolPipes(const ToolPipes&) = delete;
    ToolPipes& operator=(const ToolPipes&) = delete;

    bool start(const Invocation& invocation, QString* error)
    {
        ChildStartOptions options;
        int output[2] = {-1, -1};
        int errors[2] = {-1, -1};
        if (::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(errors, O_CLOEXEC) != 0) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            for (int fd : {output[0], output[1], errors[0], errors[1]}) {
                if (fd >= 0)
                    ::close(fd);
            }
            return false;
        }
        m_pipes[0] = {output[0], ToolStream::Output};
        m_pipes[1] = {errors[0], ToolStream::Error};
        // Qt's own channels stay unused.
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        options.outputFd = output[1];
        options.errorFd = errors[1];
        m_group = StartChild(m_process, invocation, options, error);
        // The child has its copies: the pipes end when it (and whatever it
        // left running) closes them.
        ::close(output[1]);
        ::close(errors[1]);
        for (Pipe& pipe : m_pipes)
            ::fcntl(pipe.fd, F_SETFL, ::fcntl(pipe.fd, F_GETFL) | O_NONBLOCK);
        return m_group != 0;
    }

    bool running() const { return m_process.state() != QProcess::NotRunning; }

    // Waits up to ms for output or the child's end, and hands what arrived
    // to the output function. Standard output is read first when both
    // streams have data (make's directory rows place the compiler messages
    // that follow them on the other stream).
    void wait(int ms)
    {
        pollfd fds[2];
        Pipe* polled[2];
        nfds_t count = 0;
        for (Pipe& pipe : m_pipes) {
            if (pipe.fd >= 0) {
                fds[count] = {pipe.fd, POLLIN, 0};
                polled[count++] = &pipe;
            }
        }
        if (count == 0) {
            // Both streams have ended; the child has closed them and is
            // about to end, if it has not already.
            m_process.waitForFinished(ms);
            return;
        }
        if (::poll(fds, count, ms) > 0) {
            for (nfds_t i = 0; i < count; ++i) {
                if (fds[i].revents != 0)
                    read(*polled[i]);
            }
        }
        // Notices the child's end without waiting.
        m_process.waitForFinished(0);
    }

    // Once the child has ended: the pipes are read as far as they hold data
    // now and closed. A process the tool left running may still hold them;
    // it is not waited for.
    void readRest()
    {
        for (Pipe& pipe : m_pipes) {
            // Bounded, in case a leftover keeps writing.
            for (int i = 0; i < 64 && pipe.fd >= 0 && read(pipe) == kReadBytes; ++i) {
            }
            pipe.close();
        }
    }

    // Stop: the whole group is asked to end; the tool gets the grace to do
    // so (its output is still read meanwhile), then the group is killed.
    // What is left of the group after the tool ended gets the rest of the
    // grace.
    void stop()
    {
        ::kill(-static_cast<pid_t>(m_group), SIGTERM);
        QElapsedTimer grace;
        grace.start();
        while (running() && grace.elapsed() < kStopGraceMs)
            wait(kWaitMs);
        if (running()) {
            ::kill(-static_cast<pid_t>(m_group), SIGKILL);
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
    struct Pipe {
        int fd = -1;
        ToolStream stream = ToolStream::Output;
        bool widened = false;

        void close()
        {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    };

    // One read of what the pipe holds; returns the bytes read. The pipe is
    // closed at its end (or on an error).
    qsizetype read(Pipe& pipe)
    {
        const ssize_t got = ::read(pipe.fd, m_buffer.get(), size_t(kReadBytes));
        if (got < 0) {
            if (errno != EAGAIN && errno != EINTR)
                pipe.close();
            return 0;
        }
        if (got == 0) {
            pipe.close();
            return 0;
        }
        if (!pipe.widened && got >= kDefaultPipeBytes) {
            // It was full: a flood. (Where the system refuses, it stays.)
            pipe.widened = true;
#ifdef F_SETPIPE_SZ
            ::fcntl(pipe.fd, F_SETPIPE_SZ, kWidePipeBytes);
#endif
        }
        m_output(pipe.stream, QByteArrayView(m_buffer.get(), got));
        return got;
    }

    static constexpr qsizetype kDefaultPipeBytes = 64 * 1024;
    static constexpr int kWidePipeBytes = 1024 * 1024;
    Pipe m_pipes[2];

    QProcess m_process;
    const ChildOutput& m_output;
    std::unique_ptr<char[]> m_buffer;
    qint64 m_group = 0;
};

// Runs going on now, on any thread. When the last of them ends, what its
// tools left outside their groups (a process that called setsid and was
// taken in by Tarn) is ended too; while others run, it may be theirs.
class RunCount {
public:
    RunCount() { ++s_running; }
    ~RunCount()
    {
        if (--s_running == 0 && !AdoptedProcesses().isEmpty())
            EndAdoptedProcesses();
    }

private:
    static inline std::atomic<int> s_running{0};
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
    RunCount counted;
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
    pipes.readRest();
    pipes.endLeftovers(kStopGraceMs);
    pipes.finish(result);
    return result;
}
