#pragma once

#include "tools/ChildRun.h"

#include <atomic>

class BuildVerdict;
class MessageBatcher;

// The two tool reports, for every run of gcc or make on the one road
// (RunTool). The child's streams are cut into rows as they arrive and the
// rows go out through the batcher, so the message window fills while the
// tool runs. They run on the calling thread: a worker, or the helper thread
// of an interface-thread run (ToolRunner.h).
//
// With a verdict, the run and the diagnostics of its rows are added to it
// (BuildVerdict.h).
//
// A child that cannot be started shows "Error: could not start " · program
// · " (" reason ")" with a separator row where the nothing-received line
// would stand. A cancelled run shows the rows gathered until the stop.

// gcc report: standard error under the heading ("Errors:", or "Link
// errors:" for a project link), or "No warnings or errors recieved from
// gcc". Standard output is read and dropped.
ChildResult RunWithGccReport(const Invocation& invocation, const std::atomic<bool>& cancel,
                             MessageBatcher& batch, const QString& heading = QStringLiteral("Errors:"),
                             BuildVerdict* verdict = nullptr);

// make report: standard output under "Output from make:" as it arrives
// (nothing when it stays empty), then standard error under "Errors recieved
// from make:" or "No errors recieved from make". The caller appends "Ending
// make".
ChildResult RunWithMakeReport(const Invocation& invocation, const std::atomic<bool>& cancel,
                              MessageBatcher& batch, BuildVerdict* verdict = nullptr);

// The row that replaces the nothing-received line when a child could not
// be started.
QString CouldNotStartLine(const QString& program, const QString& reason);
