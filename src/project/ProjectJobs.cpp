#include "project/ProjectJobs.h"

#include "messages/MessageSink.h"
#include "project/ParallelCompiles.h"
#include "project/ProjectBuildRun.h"
#include "tools/BuildVerdict.h"
#include "tools/JobManager.h"
#include "tools/ToolSession.h"
#include "tools/WorkerReports.h"

namespace {

// The worker engine seen by a running build: children run with the job's
// cancel flag, rows go through one batcher in the build's order.
class EngineBuildHost : public BuildHost {
public:
    explicit EngineBuildHost(JobContext& context) : m_context(context) {}

    StepResult runStep(const BuildStep& step, const QString& heading) override
    {
        const ChildResult result =
            RunWithGccReport(step.invocation, m_context.cancelFlag(), m_batch, heading, &m_verdict);
        m_batch.post();
        StepResult outcome;
        outcome.started = result.started();
        outcome.succeeded = result.end == ChildResult::End::Finished && result.exitCode == 0;
        return outcome;
    }
    void postRows(const QList<BuildRow>& rows) override
    {
        for (const BuildRow& row : rows)
            m_batch.add(row.text, row.withSeparator);
        m_batch.post();
    }
    void clearRows() override { m_batch.clear(); }
    bool stopRequested() const override { return m_context.cancelled(); }
    int runCompiles(const QList<CompileUnit>& units, int parallel) override
    {
        if (parallel <= 1)
            return BuildHost::runCompiles(units, parallel);
        m_batch.post(); // the rows before the compiles go first
        return RunCompilesSideBySide(units, parallel, m_context.cancelFlag());
    }

    // After the build's last row: its verdict for the status bar.
    void postVerdict(const BuildOutcome& outcome)
    {
        if (outcome.stopped)
            m_verdict.setStopped();
        else if (BuildStatus(outcome) != 0)
            m_verdict.setIncomplete();
        m_batch.post();
        PostBuildVerdict(m_verdict);
    }

private:
    JobContext& m_context;
    MessageBatcher m_batch;
    BuildVerdict m_verdict;
};

} // namespace

int BuildStatus(const BuildOutcome& outcome)
{
    return outcome.linked && outcome.linkSucceeded && !outcome.stopped ? 0 : 1;
}

int StartProjectBuild(JobManager& jobs, const BuildJob& job)
{
    const QString name = job.kind == BuildKind::All ? QStringLiteral("RebuildAllThread")
                                                    : QStringLiteral("BuildChangedThread");
    return jobs.start(name, [job](JobContext& context) {
        EngineBuildHost host(context);
        const BuildOutcome outcome = RunProjectBuild(job, host);
        host.postVerdict(outcome);
        return BuildStatus(outcome);
    });
}

int StartExportAndMake(ToolSession& tools, const QString& makePath, const QString& projectDirectory)
{
    tools.setDirectory(projectDirectory);
    // -f: GNU make would read a "GNUmakefile" or "makefile" of that
    // folder before the "Makefile" just written.
    const Invocation invocation{makePath, {QStringLiteral("-f"), QStringLiteral("Makefile")},
                                projectDirectory};
    return tools.jobs().start(QStringLiteral("ExportAndMakeThread"), [invocation](JobContext& context) {
        MessageBatcher batch;
        BuildVerdict verdict;
        const ChildResult result = RunWithMakeReport(invocation, context.cancelFlag(), batch, &verdict);
        // A stopped make ends with Stop Build's one row instead.
        if (result.end != ChildResult::End::Cancelled)
            batch.add(QStringLiteral("Ending make"), 1);
        batch.post();
        PostBuildVerdict(verdict);
        return result.end == ChildResult::End::Finished ? result.exitCode : 1;
    });
}
