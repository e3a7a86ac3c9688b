#pragma once

#include "tools/ChildStart.h"
#include "tools/Invocation.h"

#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <functional>

// The one road every tool child takes (compiles, links, make; on a worker
// or for the interface thread, see ToolRunner.h).

enum class ToolStream { Output, Error };

// How a tool run ended.
struct ChildResult {
    enum class End { Finished, Crashed, NotStarted, Cancelled };
    End end = End::NotStarted;
    int exitCode = -1;
    // Why the child could not be started (NotStarted only).
    QString startError;

    bool started() const { return end != End::NotStarted; }
};

// Receives a child's output as it arrives, one piece of one stream at a
// time, in the order the runner read it. The piece is only valid during
// the call (the runner reads every piece into the same buffer).
using ChildOutput = std::function<void(ToolStream, QByteArrayView)>;

// Runs one tool child to its end on the calling thread, which needs no
// event loop. The child (its ToolPipes) starts in the invocation's folder,
// in a process group of its own, with standard input at end-of-file. Both
// streams are read while it runs, in short waits (20 ms); between them the
// cancel flag is checked, and when it is set the whole process group (make
// and the compilers it started) is ended: asked to stop, then killed after
// a short grace. When the child has ended by itself, what is left of its
// group (a process it started and left running, which may still hold its
// pipes) is ended the same way: no process outlives the run, and the run
// never waits for a pipe such a process holds. `idle` is called after
// every wait, so a caller can post what has gathered.
ChildResult RunTool(const Invocation& invocation, const std::atomic<bool>& cancel,
                    const ChildOutput& output, const std::function<void()>& idle = {});
