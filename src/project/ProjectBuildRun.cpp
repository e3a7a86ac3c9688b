#include "project/ProjectBuildRun.h"

namespace {

BuildRow row(const QString& text, int withSeparator = 0)
{
    return BuildRow{text, withSeparator};
}

// Runs one step: its announcement rows first, so the user sees what runs,
// then the report once it has ended.
StepResult runAnnounced(BuildHost& host, const BuildStep& step, const QString& announcement,
                        const QString& heading)
{
    host.postRows({row(announcement), row(step.shownLine)});
    return host.runStep(step, heading);
}

// Compiles the sources that need it, one after another; whether a source
// is out of date is decided when its turn comes. False when asked to stop.
bool compileInTurn(const BuildJob& job, BuildHost& host)
{
    for (const QString& source : job.sources) {
        if (host.stopRequested())
            return false;
        if (!HasObjectName(source)) {
            host.postRows({row(buildrows::NoObjectName(source), 1)});
            continue;
        }
        if (job.kind == BuildKind::Changed && ObjectIsCurrent(source, SourceObject(source)))
            continue;
        runAnnounced(host, CompileStep(job, source), buildrows::Compiling(source),
                     buildrows::kErrors);
    }
    return true;
}

// The same with several compiles side by side (the command line's --jobs):
// what is out of date is decided before the first compile starts.
bool compileSideBySide(const BuildJob& job, BuildHost& host)
{
    QList<CompileUnit> units;
    for (const QString& source : job.sources) {
        if (!HasObjectName(source)) {
            units.append({{row(buildrows::NoObjectName(source), 1)}, std::nullopt});
            continue;
        }
        if (job.kind == BuildKind::Changed && ObjectIsCurrent(source, SourceObject(source)))
            continue;
        const BuildStep step = CompileStep(job, source);
        units.append({{row(buildrows::Compiling(source)), row(step.shownLine)}, step});
    }
    host.runCompiles(units, job.parallelCompiles);
    return !host.stopRequested();
}

bool compilePhase(const BuildJob& job, BuildHost& host)
{
    return job.parallelCompiles > 1 ? compileSideBySide(job, host) : compileInTurn(job, host);
}

bool everyObjectCurrent(const BuildJob& job)
{
    for (const QString& source : job.sources) {
        if (!HasObjectName(source) || !ObjectIsCurrent(source, SourceObject(source)))
            return false;
    }
    return true;
}

} // namespace

void BuildHost::runCompiles(const QList<CompileUnit>& units, int)
{
    for (const CompileUnit& unit : units) {
        if (stopRequested())
            return;
        postRows(unit.rows);
        if (unit.step)
            runStep(*unit.step, buildrows::kErrors);
    }
}

BuildOutcome RunProjectBuild(const BuildJob& job, BuildHost& host)
{
    BuildOutcome outcome;
    if (job.clearBeforeBuild)
        host.clearRows();
    host.postRows({row(buildrows::kBeginning, 1)});
    if (!compilePhase(job, host) || host.stopRequested()) {
        // Nothing more runs. Whoever stopped the build says so once, after
        // every job it stopped (Stop Build: "Stopped by the user").
        outcome.stopped = true;
        return outcome;
    }
    if (!everyObjectCurrent(job)) {
        host.postRows({row(buildrows::kEnding, 1)});
        return outcome;
    }
    const StepResult link = runAnnounced(host, LinkStep(job), buildrows::kLinking,
                                         buildrows::kLinkErrors);
    outcome.linked = true;
    outcome.linkSucceeded = link.started && link.succeeded;
    host.postRows({row(buildrows::kEnding, 1)});
    return outcome;
}
