#pragma once

#include "project/ProjectBuildRun.h"

#include <atomic>

// The compile phase of `tarn --build/--rebuild --jobs N`: up to `parallel`
// compiles run side by side on threads of their own, each with the gcc
// report of a sequential build. A unit's rows are held until every unit
// before it has been shown, then go out in one piece, so the output reads
// as a sequential build's. Once `cancel` is set no unit starts (running
// compiles are ended by their child runs); what ran is still shown.
// Returns when every started unit has ended and been shown, with the
// number of compiles that failed.
int RunCompilesSideBySide(const QList<CompileUnit>& units, int parallel,
                           const std::atomic<bool>& cancel);
