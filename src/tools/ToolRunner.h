#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>


#include <memory>

class QProcess;
struct CompileOptions;

#include "tools/ChildRun.h"
#include "tools/Invocation.h"

// The caller's side of one tool run: the child process and both of its
// output streams. The child starts with no window, in the process's current
// working directory, with the caller's environment; its standard input is
// closed at once (it reads end-of-file). Both output streams are read while
// the child runs, so a child that writes megabytes to either never blocks.
// The child leads a process group of its own; when the run ends (or the
// ToolPipes goes away) whatever is left of the group is asked to stop and
// then killed, so no process the tool started outlives the run.
//
// The interface thread runs gcc with it (workers run their tools with
// RunChild, which can be cancelled).
class ToolPipes {
public:
    ToolPipes();
    ~ToolPipes();
    ToolPipes(const ToolPipes&) = delete;
    ToolPipes& operator=(const ToolPipes&) = delete;

    // Starts the program with the given arguments. Returns false (and keeps
    // the reason) when it could not be started: empty path, no such file, a
    // folder, not executable.
    bool start(const QString& program, const QStringList& arguments);
    // The same for an invocation; a non-empty working directory is where
    // the child starts.
    bool start(const Invocation& invocation);

    // Waits, without a time-out, until
    // the child has ended and both streams are read to their end, in a local
    // event loop that keeps painting but takes no user input. Returns at once
    // when the child never started.
    void waitForEnd();

    bool started() const { return m_started; }
    bool running() const;
    // The program path as it was given to start().
    const QString& program() const { return m_program; }
    // Why the child could not be started (empty when it started).
    const QString& startError() const { return m_startError; }
    const QStringList& arguments() const { return m_arguments; }
    // The folder the child started in, ending with a separator.
    const QString& directory() const { return m_directory; }
    // How the run ended, as a worker's run reports it (once it has ended).
    ChildResult result() const;
    // Everything the child wrote to each stream (complete once it ended).
    QByteArray standardOutput() { return bytes(ToolStream::Output); }
    QByteArray standardError() { return bytes(ToolStream::Error); }
    QByteArray bytes(ToolStream stream);

private:
    struct Stream {
        QByteArray bytes;
    };
    Stream& stream(ToolStream which) { return which == ToolStream::Output ? m_output : m_error; }
    void take(ToolStream which, const QByteArray& chunk);
    void collect();
    void endGroup();

    std::unique_ptr<QProcess> m_process;
    QString m_program;
    QString m_startError;
    QStringList m_arguments;
    QString m_directory;
    Stream m_output;
    Stream m_error;
    bool m_started = false;
    // The child's process group while it may hold members (0: none).
    qint64 m_group = 0;
};

// Starts gccPath with the words of the command line after the gcc path
// (useGcc nonzero), or makePath with no arguments at all (useGcc zero; the
// command line is then ignored). The paths come from the IDE settings.
bool RunTool(const QString& commandLine, ToolPipes& pipes, int useGcc);

// Starts the program named by the first word of the command line with the
// words after it (a program without a folder is looked up in PATH).
bool RunCommandLine(const QString& commandLine, ToolPipes& pipes);

// The project compile line of CompileOptions.h with the gcc path of the IDE
// settings (the live ones on the user-interface thread, a snapshot on any
// other thread).
QString BuildProjectCompileLine(const QString& sourcePath, const CompileOptions& options);
