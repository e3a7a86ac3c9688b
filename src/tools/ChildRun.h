#pragma once

#include "tools/Invocation.h"

#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <functional>

enum class ToolStream { Output, Error };

// How a worker's child run ended.
struct ChildResult {
    enum class End { Finished, Crashed, NotStarted, Cancelled };
    End end = End::NotStarted;
    int exitCode = -1;
    // Why the child could not be started (NotStarted only).
    QString startError;

    bool started() const { return end != End::NotStarted; }
};

// Receives a child's output as it arrives, one piece of one stream at a
// time, in the order the runner read it.
using ChildOutput = std::function<void(ToolStream, QByteArrayView)>;

// Runs one child to its end on the calling thread, which needs no event
// loop (a worker). The child starts in the invocation's folder, in a
// process group of its own, with standard input at end-of-file. Both
// streams are read while it runs, in short waits (20 ms); between
// them the cancel flag is checked, and when it is set the whole process
// group (make and the compilers it started) is ended: asked to stop, then
// killed after a short grace. `idle` is called after every wait, so a
// caller can post what has gathered.
ChildResult RunChild(const Invocation& invocation, const std::atomic<bool>& cancel,
                     const ChildOutput& output, const std::function<void()>& idle = {});

// Runs in a tool's child process just before the tool starts (so it does
// only what is safe after a fork): gives its output pipes room for 1 MiB
// where the system allows it, so a flood of output costs fewer wake-ups of
// the child and of Tarn. For the one tool the interface thread runs at a
// time; the system limits the pipe room of all of a user's pipes together.
void WidenOutputPipes();

// Why a program path cannot be started, or empty when it looks startable:
// empty path, no such file, a folder, not executable. A path without a
// separator is looked up in PATH.
QString ProgramProblem(const QString& program);
