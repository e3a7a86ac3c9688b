#pragma once

#include "project/BuildJob.h"

#include <QString>

class JobManager;
class ToolSession;
struct BuildOutcome;

// The status of a finished build: 0 when the link ran and gcc reported
// success for it, 1 when the build stopped before linking, the link failed
// or Tarn stopped the build.
int BuildStatus(const BuildOutcome& outcome);

// Starts a project build (BuildChangedThread or RebuildAllThread, by the
// job's kind) as a job of the manager and returns at once with the job's
// id. The job is the worker's
// own copy; its rows reach the message sink in batches through the one
// ordered queue, and its verdict (BuildVerdict.h) after them. The job's
// status is BuildStatus.
int StartProjectBuild(JobManager& jobs, const BuildJob& job);

// ExportAndMakeThread: make started with "-f Makefile" in the project
// directory, its report, then "Ending make" and the verdict. Tarn's current directory
// becomes the project directory (later tool runs start there). The job's
// status is make's exit status (1 when it could not start or was stopped).
int StartExportAndMake(ToolSession& tools, const QString& makePath, const QString& projectDirectory);
