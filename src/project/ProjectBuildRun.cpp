#include "project/ProjectBuildRun.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace {

BuildRow row(const QString& text, int withSeparator = 0)
{
    return BuildRow{text, withSeparator};
}

// Runs one step: its announcement rows first, so the user sees what runs,
// then the report once it has ended.
StepResult runAnnounced(BuildOutlet& outlet, const BuildStep& step, const QString& announcement,
                        const QString& heading)
{
    outlet.postRows({row(announcement), row(step.shownLine)});
    return outlet.runStep(step, heading);
}

bool failed(const StepResult& result)
{
    return !result.started || !result.succeeded;
}

// The compile phase: the sources in project order, up to `width` compiles
// at a time. The calling thread compiles too; width - 1 more threads join
// it. A compile's outlet is released as soon as it and every compile before
// it have ended, by the thread that ended last among them, so compiles are
// shown in project order.
class CompilePhase {
public:
    CompilePhase(const BuildJob& job, BuildHost& host)
        : m_job(job), m_host(host), m_outlets(size_t(job.sources.size())),
          m_ended(size_t(job.sources.size()), false)
    {
    }

    // Returns how many compiles failed (did not start, crashed or ended
    // with a non-zero status).
    int run(int width)
    {
        const qsizetype sources = m_job.sources.size();
        const int threads = int(std::clamp<qsizetype>(width, 1, std::max<qsizetype>(sources, 1)));
        std::vector<std::thread> helpers;
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back([this] { work(); });
        work();
        for (std::thread& helper : helpers)
            helper.join();
        return m_failures;
    }

private:
    // Takes sources in project order until none is left or the build is to
    // stop.
    void work()
    {
        for (;;) {
            size_t i = 0;
            bool held = false;
            {
                std::lock_guard lock(m_mutex);
                if (m_next == m_ended.size() || m_host.stopRequested())
                    return;
                i = m_next++;
                held = m_shown < i;
            }
            m_outlets[i] = m_host.compileOutlet(held);
            const bool compileFailed = compile(m_job.sources.at(qsizetype(i)), *m_outlets[i]);
            std::lock_guard lock(m_mutex);
            m_failures += compileFailed;
            m_ended[i] = true;
            for (; m_shown < m_ended.size() && m_ended[m_shown]; ++m_shown) {
                m_outlets[m_shown]->release();
                m_outlets[m_shown].reset();
            }
        }
    }

    // One source: a row when it has no object name, nothing when Build
    // Project finds its object current, else its compile. True when the
    // compile failed.
    bool compile(const QString& source, BuildOutlet& outlet) const
    {
        if (!HasObjectName(source)) {
            outlet.postRows({row(buildrows::NoObjectName(source), 1)});
            return false;
        }
        if (m_job.kind == BuildKind::Changed && ObjectIsCurrent(source, SourceObject(source)))
            return false;
        return failed(runAnnounced(outlet, CompileStep(m_job, source), buildrows::Compiling(source),
                                   buildrows::kErrors));
    }

    const BuildJob& m_job;
    BuildHost& m_host;
    std::vector<std::unique_ptr<BuildOutlet>> m_outlets;
    std::mutex m_mutex;
    std::vector<bool> m_ended; // by source, under the mutex
    size_t m_next = 0;         // the next source to take
    size_t m_shown = 0;        // the sources before it are released
    int m_failures = 0;
};

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
    outcome.failedCompiles = CompilePhase(job, host).run(job.parallelCompiles);
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
