#pragma once

#include "project/BuildSteps.h"

#include <QList>
#include <QString>

#include <memory>

// One message-window row as a build produces it.
struct BuildRow {
    QString text;
    int withSeparator = 0;

    friend bool operator==(const BuildRow&, const BuildRow&) = default;
};

// What became of one child run.
struct StepResult {
    bool started = false;   // false: the program could not be started
    bool succeeded = false; // ended normally with exit status 0
};

// A place a build writes to: its rows, and the reports of the steps it runs
// there. Rows that belong together (a heading, its rows, its separator)
// come in one call, in the build's order.
class BuildOutlet {
public:
    virtual ~BuildOutlet() = default;
    virtual void postRows(const QList<BuildRow>& rows) = 0;
    // Runs the step to its end and writes its gcc report: standard error
    // under the heading, or "No warnings or errors recieved from gcc", or
    // the runner's could-not-start row.
    virtual StepResult runStep(const BuildStep& step, const QString& heading) = 0;
    // A compile's outlet only: the compile has ended and every compile
    // before it has been released, so what it holds goes out now.
    virtual void release() {}
};

// What a running build needs from its surroundings: a way to run a child
// (and wait for it), places for its rows, and whether to stop. The IDE and
// the command line give it the worker engine and their message sink, the
// tests a script.
//
// The host is itself the outlet of the build's own rows (the opening and
// closing rows, the link). Each compile writes to an outlet of its own.
class BuildHost : public BuildOutlet {
public:
    virtual void clearRows() = 0;
    // True once the build is to stop (Stop Build, or Tarn is closing): no
    // compile starts and nothing more is written.
    virtual bool stopRequested() const { return false; }
    // The outlet of one compile, asked for on the thread that runs it. A
    // held outlet keeps its rows until release(), because a compile before
    // it is still running; one that is not held may write at once (every
    // compile before it has been shown), and is released all the same.
    virtual std::unique_ptr<BuildOutlet> compileOutlet(bool held) = 0;
};

struct BuildOutcome {
    int failedCompiles = 0;     // compiles of this run that failed
    bool linked = false;        // the link ran
    bool linkSucceeded = false; // and gcc reported success for it
    bool stopped = false;       // the build was asked to stop
};

// The whole build: the compile phase (every source, or those out of date),
// the check that every object is present and current, the link, with the
// rows the message window shows. A compile of this run that failed stops
// the build before the link even when an older object of that source is
// still there and looks current (gcc leaves it alone when it fails).
//
// The compile phase runs up to job.parallelCompiles compiles at a time (1:
// one after another on the calling thread). Sources are taken in project
// order; whether one is out of date is decided when it is taken. Each
// compile's rows (its announcement and report) stay together and compiles
// are shown in project order, whatever order they end in, so every width
// writes the same rows.
BuildOutcome RunProjectBuild(const BuildJob& job, BuildHost& host);
