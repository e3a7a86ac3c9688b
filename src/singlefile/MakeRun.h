#pragma once

#include <QString>

class IdeContext;

// Make of a named makefile, as the Make dialog starts it: on the calling
// (user-interface) thread the settings are read, Tarn's current directory
// moves to the makefile's folder, and the invocation is built; then a job
// of the session's JobManager runs make and reports both streams ("Output
// from make:", "Errors recieved from make:" or "No errors recieved from
// make", "Ending make"; a stopped make ends after its report) and then its
// verdict for the status bar, without waiting. Returns the job's id.
int MakeThread(IdeContext& tools, const QString& makeFile);
