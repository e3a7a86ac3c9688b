#pragma once

#include "project/BuildSteps.h"

#include <QList>
#include <QString>

#include <optional>

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

// One source of the compile phase: the rows shown before its compile (the
// announcement), and the compile, when it has one (a source without an
// object name has only a row).
struct CompileUnit {
    QList<BuildRow> rows;
    std::optional<BuildStep> step;
};

// What a running build needs from its surroundings: a way to run a child
// (and wait for it), a place for its rows, and whether to stop. The IDE
// and the command line give it the worker engine and their message sink,
// the tests a script.
class BuildHost {
public:
    virtual ~BuildHost() = default;
    // Runs the step to its end and shows its gcc report: standard error
    // under the heading, or "No warnings or errors recieved from gcc", or
    // the runner's could-not-start row.
    virtual StepResult runStep(const BuildStep& step, const QString& heading) = 0;
    // Rows that belong together (a heading, its rows, its separator) come in
    // one call, in the build's order.
    virtual void postRows(const QList<BuildRow>& rows) = 0;
    virtual void clearRows() = 0;
    // True once the build is to stop (Stop Build, or Tarn is closing): it
    // stops before its next step and writes nothing more.
    virtual bool stopRequested() const { return false; }
    // The compile phase: each unit's rows, then its compile with the report
    // under "Errors:", up to `parallel` compiles side by side. A unit's rows
    // and report stay together and units are shown in the list's order. No
    // unit starts once a stop is requested. Used when the job has
    // parallelCompiles above 1; this one runs them one after another
    // through postRows and runStep. Returns how many compiles failed (did
    // not start, crashed or ended with a non-zero status).
    virtual int runCompiles(const QList<CompileUnit>& units, int parallel);
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
BuildOutcome RunProjectBuild(const BuildJob& job, BuildHost& host);
