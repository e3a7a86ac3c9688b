#pragma once

#include "tools/Invocation.h"

#include <QString>

class QProcess;

// How every tool child starts and how what it leaves behind is ended: the
// start and the end of the one road, RunTool (ChildRun.h). The children
// started here are the tools whose output Tarn reads (gcc, make, gdb): a
// program the user runs is started elsewhere, in the user's own locale.

struct ChildStartOptions {
    // Unix: write ends of pipes the runner made, which become the child's
    // standard output and standard error (-1: what the process was set up
    // with).
    int outputFd = -1;
    int errorFd = -1;
    // Qt's pipe to the child's standard input stays open for writing (a
    // child driven by commands, such as gdb); otherwise the child's input
    // is what the process was set up with.
    bool writableInput = false;
};

// Starts the invocation in `process` (channels and standard input already
// set by the caller) and waits until it runs. The child leads a process
// group of its own, whose id is its process id, so that ending the group
// reaches every process the tool started. The program, each argument and
// the working directory reach the child byte for byte: when one of them
// holds a byte that is not UTF-8 (see PathBytes.h), which Qt's own name
// encoding would change, the child enters the folder and executes the
// program itself with the exact bytes, before Qt's exec is reached.
// The child's environment is Tarn's with the tools' messages in the C
// locale (ToolEnvironment). Returns the child's process id, or 0 with the
// reason in `error`.
//
// On Linux the child is killed when Tarn ends, whatever ends it (the
// parent-death signal). The kernel sends that signal when the *thread*
// that started the child ends, not the process, so the rule is: a thread
// that starts a child outlives it. RunTool's caller waits for its child
// (and ends it when cancelled) before it returns; gdb's worker thread ends
// only after gdb has. A thread pool that could end a thread with its
// child still running must not call this.
qint64 StartChild(QProcess& process, const Invocation& invocation, ChildStartOptions options,
                  QString* error);

// Ends whatever is left of a tool's process group once the run is over
// (the tool ended, was stopped, or Tarn is closing): asks the group to stop
// (SIGTERM) and kills it (SIGKILL) when members are still alive after
// `graceMs`. Returns at once when the group is already empty, which is the
// usual case. Waits for no pipe.
void EndProcessGroup(qint64 groupId, int graceMs);

// How long a group asked to stop may take before it is killed.
inline constexpr int kStopGraceMs = 1000;

// Ends a child that has been asked to end in its own way (gdb's -gdb-exit,
// its input closed): what it writes from now on is read and dropped, so a
// child that floods its output neither blocks on a full pipe nor fills
// Tarn's memory; it gets `graceMs` to end, then its group is ended as
// EndProcessGroup does, without a further grace. Waits on the calling
// thread, which must be the thread of `process` (a worker, never the
// interface thread).
void EndChild(QProcess& process, qint64 groupId, int graceMs);

// Why a program path cannot be started, or empty when it looks startable:
// empty path, no such file, a folder, not executable. A path without a
// separator is looked up in PATH. Works on the path's exact bytes.
QString ProgramProblem(const QString& program);
