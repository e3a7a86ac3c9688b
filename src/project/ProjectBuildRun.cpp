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

// Compiles the sources that need it; false when Tarn asked to stop.
bool compilePhase(const BuildJob& job, BuildHost& host)
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

bool everyObjectCurrent(const BuildJob& job)
{
    for (const QString& source : job.sources) {
        if (!HasObjectName(source) || !ObjectIsCurrent(source, SourceObject(source)))
            return false;
    }
    return true;
}

} // namespace

BuildOutcome RunProjectBuild(const BuildJob& job, BuildHost& host)
{
    BuildOutcome outcome;
    if (job.clearBeforeBuild)
        host.clearRows();
    host.postRows({row(buildrows::kBeginning, 1)});
    if (!compilePhase(job, host) || host.stopRequested()) {
        // Nothing more runs; the row says why the build ends here.
        host.postRows({row(buildrows::kStopped, 1)});
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
