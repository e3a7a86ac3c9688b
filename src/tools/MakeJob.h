#pragma once

#include "tools/Invocation.h"

#include <QString>

class JobContext;

// The work of a make job, the Make dialog's and Export and Make's alike:
// `firstRow`, when there is one, with a separator row; make's report
// (RunWithMakeReport: "Output from make:", "Errors recieved from make:" or
// "No errors recieved from make"); "Ending make" with a separator row,
// unless make was stopped (Stop Build then says so once); and last the
// verdict for the status bar. Returns the job's status: make's exit status,
// 1 when it could not start, crashed or was stopped.
int RunMakeJob(JobContext& context, const Invocation& make, const QString& firstRow = QString());
