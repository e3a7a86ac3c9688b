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

bool failed(const StepResult& result)
{
    return !result.started || !result.succeeded;
}

// Compiles the sources that need it, one after another; whether a source
// is out of date is decided when its turn comes. Returns how many failed.
int compileInTurn(const BuildJob& job, BuildHost& host)
{
    int failures = 0;
    for (const QString& source : job.sources) {
        if (host.stopRequested())
            return failures;
        if (!HasObjectName(source)) {
            host.postRows({row(buildrows::NoObjectName(source), 1)});
            continue;
        }
        if (job.kind == BuildKind::Changed && ObjectIsCurrent(source, SourceObject(source)))
            continue;
        failures += failed(runAnnounced(host, CompileStep(job, source),
                                        buildrows::Compiling(source), buildrows::kErrors));
    }
    return failures;
}

// The same with several compiles side by side (the command line's --jobs):
// what is out of date is decided before the first compile starts.
int compileSideBySide(const BuildJob& job, BuildHost& host)
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
    return host.runCompiles(units, job.parallelCompiles);
}

int compilePhase(const BuildJob& job, BuildHost& host)
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

int BuildHost::runCompiles(const QList<CompileUnit>& units, int)
{
    int failures = 0;
    for (const CompileUnit& unit : units) {
        if (stopRequested())
            break;
        postRows(unit.rows);
        if (unit.step)
            failures += failed(runStep(*unit.step, buildrows::kErrors));
    }
    return failures;
}

BuildOutcome RunProjectBuild(const BuildJob& job, BuildHost& host)
{
    BuildOutcome outcome;
    if (job.clearBeforeBuild)
        host.clearRows();
    host.postRows({row(buildrows::kBeginning, 1)});
    outcome.failedCompiles = compilePhase(job, host);
    if (host.stopRequested()) {
        // Nothing more runs. Whoever stopped the build says so once, after
        // every job it stopped (Stop Build: "Stopped by the user").
        outcome.stopped = true;
        return outcome;
    }
    if (outcome.failedCompiles > 0 || !everyObjectCurrent(job)) {
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
