#include "tools/ChildStart.h"

#include "tools/PathBytes.h"
#include "tools/ProcessTree.h"
#include "tools/ToolEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX

// The program found on PATH as the shell would find it (bytes in, bytes
// out); empty when no folder of PATH holds an executable file of that name.
QByteArray findOnPath(const QByteArray& name)
{
    const QByteArray path = qgetenv("PATH");
    for (const QByteArray& folder : path.split(':')) {
        const QByteArray candidate = (folder.isEmpty() ? QByteArray(".") : folder) + '/' + name;
        struct stat status {};
        if (::stat(candidate.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
            ::access(candidate.constData(), X_OK) == 0)
            return candidate;
    }
    return {};
}

// What the child executes itself when a name is not text: everything it
// needs is built here, in the parent, so the child only calls chdir, execve,
// write and _exit, which are safe between fork and exec.
struct ExactExec {
    QByteArray folder; // empty: stay in the current directory
    QByteArray program;
    std::vector<QByteArray> words;
    std::vector<char*> argv;
    // The tool's environment (ToolEnvironment), as Qt's exec would pass it.
    std::vector<QByteArray> variables;
    std::vector<char*> envp;
    // The child reports a failed chdir or execve here: which step, errno.
    int report[2] = {-1, -1};

    ~ExactExec()
    {
        for (int fd : report) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    void closeWriteEnd()
    {
        if (report[1] >= 0)
            ::close(report[1]);
        report[1] = -1;
    }
};

enum ExecStep : int { EnterFolder = 1, Execute = 2 };

bool needsExactExec(const Invocation& invocation)
{
    if (!IsTextPath(invocation.program) || !IsTextPath(invocation.workingDirectory))
        return true;
    return std::any_of(invocation.arguments.begin(), invocation.arguments.end(),
                       [](const QString& argument) { return !IsTextPath(argument); });
}

std::shared_ptr<ExactExec> prepareExactExec(const Invocation& invocation)
{
    auto exec = std::make_shared<ExactExec>();
    exec->folder = PathToBytes(invocation.workingDirectory);
    exec->program = PathToBytes(invocation.program);
    if (!exec->program.contains('/')) {
        const QByteArray found = findOnPath(exec->program);
        if (!found.isEmpty())
            exec->program = found;
    }
    exec->words.push_back(PathToBytes(invocation.program));
    for (const QString& argument : invocation.arguments)
        exec->words.push_back(PathToBytes(argument));
    for (QByteArray& word : exec->words)
        exec->argv.push_back(word.data());
    exec->argv.push_back(nullptr);
    exec->variables = ToolEnvironmentBytes();
    for (QByteArray& variable : exec->variables)
        exec->envp.push_back(variable.data());
    exec->envp.push_back(nullptr);
    if (::pipe2(exec->report, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    return exec;
}

// In the child, after fork: only async-signal-safe calls.
[[noreturn]] void execExactly(const ExactExec& exec)
{
    int failure[2] = {EnterFolder, 0};
    if (exec.folder.isEmpty() || ::chdir(exec.folder.constData()) == 0) {
        failure[0] = Execute;
        ::execve(exec.program.constData(), exec.argv.data(), exec.envp.data());
    }
    failure[1] = errno;
    [[maybe_unused]] const ssize_t written = ::write(exec.report[1], failure, sizeof failure);
    ::_exit(127);
}

// After the child has started: the step that failed in it, if one did.
QString exactExecFailure(const ExactExec& exec)
{
    int failure[2] = {0, 0};
    if (::read(exec.report[0], failure, sizeof failure) != ssize_t(sizeof failure))
        return {};
    const QString reason = QString::fromLocal8Bit(std::strerror(failure[1]));
    if (failure[0] == EnterFolder)
        return QStringLiteral("cannot enter the folder %1: %2")
            .arg(PathForDisplay(PathFromBytes(exec.folder)), reason);
    return reason;
}

// True while a process of the group is alive. A member that has ended but
// not been reaped yet (a zombie) no longer counts: it holds nothing.
bool groupHasLiveMembers(pid_t group)
{
    if (::kill(-group, 0) != 0)
        return false;
#ifdef Q_OS_LINUX
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return true;
    bool alive = false;
    while (dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(QLatin1String(entry->d_name)));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) S ppid pgrp ...": the command may hold blanks and
        // parentheses, so the fields are counted from the last ')'.
        const QByteArray text = stat.read(4096);
        const qsizetype close = text.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() > 2 && fields.at(2).toLongLong() == group && fields.at(0) != "Z") {
            alive = true;
            break;
        }
    }
    ::closedir(proc);
    return alive;
#else
    return true;
#endif
}

// In the child, after fork: the child is killed when Tarn ends, however
// it ends (SIGKILL included). Linux sends the signal when the *thread*
// that forked ends, hence the rule in ChildStart.h. A Tarn that ended
// before the request was made leaves the child to another parent: then
// the child ends itself at once.
void dieWithTarn([[maybe_unused]] pid_t tarn)
{
#ifdef Q_OS_LINUX
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != tarn)
        ::_exit(127);
#endif
}

#endif // Q_OS_UNIX

} // namespace

qint64 StartChild(QProcess& process, const Invocation& invocation, ChildStartOptions options,
                  QString* error)
{
    // Tarn's environment as it is now, with the tools' messages in the C
    // locale (ToolEnvironment.h).
    process.setProcessEnvironment(ToolEnvironment(QProcessEnvironment::systemEnvironment()));
#ifdef Q_OS_UNIX
    std::shared_ptr<ExactExec> exact;
    if (needsExactExec(invocation)) {
        // Tarn's own exec can only say that it failed: the usual reasons
        // are found first, as Qt's start would report them.
        if (const QString problem = ProgramProblem(invocation.program); !problem.isEmpty()) {
            *error = problem;
            return 0;
        }
        exact = prepareExactExec(invocation);
        if (!exact) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return 0;
        }
    } else if (!invocation.workingDirectory.isEmpty()) {
        process.setWorkingDirectory(invocation.workingDirectory);
    }
    process.setChildProcessModifier([exact, options, tarn = ::getpid()] {
        dieWithTarn(tarn);
        // Its own group: a stop reaches make and every compiler it started.
        ::setpgid(0, 0);
        // The runner's pipes in place of what Qt set up.
        if (options.outputFd >= 0)
            ::dup2(options.outputFd, STDOUT_FILENO);
        if (options.errorFd >= 0)
            ::dup2(options.errorFd, STDERR_FILENO);
        if (exact)
            execExactly(*exact);
    });
#else
    (void)options;
    if (!invocation.workingDirectory.isEmpty())
        process.setWorkingDirectory(invocation.workingDirectory);
#endif
#ifdef Q_OS_WIN
    // A console tool gets no console window of its own.
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
        args->flags |= CREATE_NO_WINDOW;
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_HIDE;
    });
#endif
    {
        // Noted as Tarn's own before anyone looks for processes Tarn took in.
        OwnChildStart starting;
        // With an exact exec the names given to Qt here are never executed.
        process.start(invocation.program, invocation.arguments,
                      options.writableInput ? QIODevice::ReadWrite : QIODevice::ReadOnly);
        NoteOwnChild(process.processId());
    }
#ifdef Q_OS_UNIX
    if (exact)
        exact->closeWriteEnd();
#endif
    if (!process.waitForStarted(-1)) {
        *error = ProgramProblem(invocation.program);
        if (error->isEmpty())
            *error = process.errorString();
        return 0;
    }
    const qint64 pid = process.processId();
#ifdef Q_OS_UNIX
    if (exact) {
        // The child wrote its failure before it ended, and it had ended
        // before the start was reported: nothing to wait for.
        const QString failure = exactExecFailure(*exact);
        if (!failure.isEmpty()) {
            process.waitForFinished(-1);
            *error = failure;
            return 0;
        }
    }
#endif
    return pid;
}

void EndProcessGroup(qint64 groupId, int graceMs)
{
#ifdef Q_OS_UNIX
    const auto group = static_cast<pid_t>(groupId);
    if (group <= 0 || ::kill(-group, SIGTERM) != 0)
        return; // nothing left of it
    QElapsedTimer grace;
    grace.start();
    while (groupHasLiveMembers(group)) {
        if (grace.elapsed() >= graceMs) {
            ::kill(-group, SIGKILL);
            return;
        }
        QThread::msleep(10);
    }
#else
    (void)groupId;
    (void)graceMs;
#endif
}

void EndChild(QProcess& process, qint64 groupId, int graceMs)
{
    process.closeReadChannel(QProcess::StandardOutput);
    process.closeReadChannel(QProcess::StandardError);
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(graceMs)) {
#ifdef Q_OS_UNIX
        ::kill(-static_cast<pid_t>(groupId), SIGKILL);
#else
        process.kill();
#endif
        process.waitForFinished(-1);
    }
    // Whatever it started and left behind in its group goes too.
    EndProcessGroup(groupId, 0);
}

QString ProgramProblem(const QString& program)
{
    if (program.isEmpty())
        return QStringLiteral("no program named");
#ifdef Q_OS_UNIX
    QByteArray path = PathToBytes(program);
    if (!path.contains('/')) {
        path = findOnPath(path);
        if (path.isEmpty())
            return QStringLiteral("not found");
    } else if (!path.startsWith('/')) {
        // Found from the child's working directory: the start decides.
        return {};
    }
    struct stat status {};
    if (::stat(path.constData(), &status) != 0)
        return QStringLiteral("no such file");
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("it is a folder");
    if (::access(path.constData(), X_OK) != 0)
        return QStringLiteral("not executable");
    return {};
#else
    return {};
#endif
}
