#pragma once

#include "tools/ChildRun.h"

#include <atomic>
#include <functional>

// The interface thread's wait for a tool run (Quick Compile, Build Source
// and Link run gcc while their command waits for it).
//
// The run (RunTool with its report, WorkerReports.h) goes on a helper
// thread, given a cancel flag; meanwhile the interface thread waits in a
// local event loop that keeps painting and handling timers and posted
// rows, but takes no user input, and the main window refuses to close
// (fw::BusyScope). The rows the run posts reach the message window while
// the tool runs; when this returns, every row the run posted to `messages`
// is shown.
// Should the loop be ended from outside (the application quitting), the
// cancel flag is set, which ends the tool's process group, and the helper
// is joined before this returns.
//
// User-interface thread only.
using ToolRun = std::function<ChildResult(const std::atomic<bool>& cancel)>;
class MessageChannel;
ChildResult RunWithInterfaceWait(MessageChannel& messages, const ToolRun& run);
