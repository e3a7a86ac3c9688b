#include "project/ProjectJobs.h"

#include "messages/MessageSink.h"
#include "project/ProjectBuildRun.h"
#include "tools/BuildVerdict.h"
#include "tools/JobManager.h"
#include "tools/MakeJob.h"
#include "tools/ToolSession.h"
#include "tools/WorkerReports.h"

#include <optional>

namespace {

// Rows of the worker engine: children run with the job's cancel flag, their
// reports and the build's rows go through one batcher, the diagnostics and
// failures into one verdict.
class EngineOutlet : public BuildOutlet {
public:
    // Held: the rows wait for release(). `into`: the build's verdict, which
    // takes this one's in on release().
    EngineOutlet(JobContext& context, bool held, BuildVerdict* into = nullptr)
        : m_cancel(context.cancelFlag()), m_into(into)
    {
        if (held)
            m_batch.emplace(context.messages(), MessageBatcher::Hold::Held);
        else
            m_batch.emplace(context.messages());
    }

    StepResult runStep(const BuildStep& step, const QString& heading) override
    {
        const ChildResult result =
            RunWithGccReport(step.invocation, m_cancel, *m_batch, heading, &m_verdict);
        m_batch->post();
        StepResult outcome;
        outcome.started = result.started();
        outcome.succeeded = result.end == ChildResult::End::Finished && result.exitCode == 0;
        return outcome;
    }
    void postRows(const QList<BuildRow>& rows) override
    {
        for (const BuildRow& row : rows)
            m_batch->add(row.text, row.withSeparator);
        m_batch->post();
    }
    void release() override
    {
        m_batch->release();
        if (m_into)
            m_into->add(m_verdict);
    }

    void clear() { m_batch->clear(); }
    BuildVerdict& verdict() { return m_verdict; }

private:
    const std::atomic<bool>& m_cancel;
    std::optional<MessageBatcher> m_batch;
    BuildVerdict m_verdict;
    BuildVerdict* m_into = nullptr;
};

// The worker engine seen by a running build: the build's own rows and the
// link through one outlet, each compile through one of its own.
class EngineBuildHost : public BuildHost {
public:
    explicit EngineBuildHost(JobContext& context)
        : m_context(context), m_own(context, false)
    {
    }

    StepResult runStep(const BuildStep& step, const QString& heading) override
    {
        return m_own.runStep(step, heading);
    }
    void postRows(const QList<BuildRow>& rows) override { m_own.postRows(rows); }
    void clearRows() override { m_own.clear(); }
    bool stopRequested() const override { return m_context.cancelled(); }
    std::unique_ptr<BuildOutlet> compileOutlet(bool held) override
    {
        return std::make_unique<EngineOutlet>(m_context, held, &m_own.verdict());
    }

    // After the build's last row: its verdict for the status bar.
    void postVerdict(const BuildOutcome& outcome)
    {
        BuildVerdict& verdict = m_own.verdict();
        if (outcome.stopped)
            verdict.setStopped();
        else if (BuildStatus(outcome) != 0)
            verdict.setIncomplete();
        PostBuildVerdict(m_context.messages(), verdict);
    }

private:
    JobContext& m_context;
    EngineOutlet m_own;
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
        return RunMakeJob(context, invocation);
    });
}
