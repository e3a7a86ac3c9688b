#include "tools/ToolRunner.h"

#include "tools/MakeDirectories.h"

#include "framework/BusyScope.h"

#include "app/IdeSettings.h"
#include "tools/CommandLine.h"
#include "tools/CompileOptions.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

bool onUserInterfaceThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// The live settings belong to the user-interface thread; everywhere else a
// consistent copy is taken.
IdeSettings currentSettings()
{
    if (onUserInterfaceThread())
        return ideSettings();
    return ideSettingsSnapshot();
}

} // namespace

ToolPipes::ToolPipes() = default;

ToolPipes::~ToolPipes()
{
    // A run dropped while its tool still runs (Tarn is closing): the whole
    // group is asked to stop, then killed, and the tool is reaped.
    const bool wasRunning = running();
    endGroup();
    if (wasRunning)
        m_process->waitForFinished(kStopGraceMs);
}

void ToolPipes::endGroup()
{
    if (m_group != 0)
        EndProcessGroup(m_group, kStopGraceMs);
    m_group = 0;
}

bool ToolPipes::start(const QString& program, const QStringList& arguments)
{
    return start(Invocation{program, arguments, QString()});
}

bool ToolPipes::start(const Invocation& invocation)
{
    endGroup();
    const QString& program = invocation.program;
    const QStringList& arguments = invocation.arguments;
    m_program = program;
    m_arguments = arguments;
    m_directory = RowDirectory(invocation.workingDirectory);
    m_output = Stream();
    m_error = Stream();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    // Nothing is ever written to a tool: it reads end-of-file at once.
    m_process->setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_WIN
    m_process->setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
        args->flags |= CREATE_NO_WINDOW;
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_HIDE;
    });
#endif
    // The caller's environment; the process's current directory unless the
    // invocation names a folder. A process group of its own, so the end of
    // the run can end whatever the tool left running.
    m_startError.clear();
    m_group = StartChild(*m_process, invocation, {.widenPipes = true}, &m_startError);
    m_started = m_group != 0;
    return m_started;
}

ChildResult ToolPipes::result() const
{
    ChildResult result;
    if (!m_started) {
        result.startError = m_startError;
        return result;
    }
    const bool crashed = m_process->exitStatus() == QProcess::CrashExit;
    result.end = crashed ? ChildResult::End::Crashed : ChildResult::End::Finished;
    result.exitCode = m_process->exitCode();
    return result;
}

bool ToolPipes::running() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

void ToolPipes::waitForEnd()
{
    if (!m_started)
        return;
    if (running()) {
        QEventLoop loop;
        QObject::connect(m_process.get(), &QProcess::readyReadStandardOutput, &loop,
                         [this] { take(ToolStream::Output, m_process->readAllStandardOutput()); });
        QObject::connect(m_process.get(), &QProcess::readyReadStandardError, &loop,
                         [this] { take(ToolStream::Error, m_process->readAllStandardError()); });
        QObject::connect(m_process.get(), &QProcess::finished, &loop, &QEventLoop::quit);
        // Repaints go on; clicks and keys wait until the tool has ended, and
        // the main window stays open meanwhile.
        fw::BusyScope busy;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    collect();
    // Whatever the tool started and left running (it may hold the pipes,
    // which are not waited for) ends with the run.
    endGroup();
}

namespace {

// Makes room for more output. A flood of output is megabytes of fresh
// memory: the buffer grows in large steps (at least 4 MiB, then doubling),
// which halves the page faults against growing it piece by piece (measured
// by bench_tool_runner).
void makeRoom(QByteArray& bytes, qsizetype more)
{
    const qsizetype needed = bytes.size() + more;
    if (needed <= bytes.capacity())
        return;
    constexpr qsizetype kLarge = 4 * 1024 * 1024;
    if (needed < kLarge / 4)
        return; // small outputs grow as usual
    bytes.reserve(std::max(needed, std::max(2 * bytes.capacity(), kLarge)));
}

} // namespace

void ToolPipes::take(ToolStream which, const QByteArray& chunk)
{
    if (chunk.isEmpty())
        return;
    QByteArray& bytes = stream(which).bytes;
    makeRoom(bytes, chunk.size());
    bytes += chunk;
}

void ToolPipes::collect()
{
    if (!m_process)
        return;
    take(ToolStream::Output, m_process->readAllStandardOutput());
    take(ToolStream::Error, m_process->readAllStandardError());
}

QByteArray ToolPipes::bytes(ToolStream which)
{
    collect();
    return stream(which).bytes;
}

bool RunTool(const QString& commandLine, ToolPipes& pipes, int useGcc)
{
    const IdeSettings settings = currentSettings();
    if (useGcc != 0)
        return pipes.start(settings.gccPath, ArgumentsAfterProgram(commandLine, settings.gccPath));
    // make builds the default target of the current directory's makefile.
    return pipes.start(settings.makePath, {});
}

bool RunCommandLine(const QString& commandLine, ToolPipes& pipes)
{
    QStringList words = SplitCommandLine(commandLine);
    const QString program = words.isEmpty() ? QString() : words.takeFirst();
    return pipes.start(program, words);
}

QString BuildProjectCompileLine(const QString& sourcePath, const CompileOptions& options)
{
    return BuildProjectCompileLine(currentSettings().gccPath, sourcePath, options);
}
