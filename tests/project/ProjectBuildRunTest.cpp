#include "project/ProjectBuildRun.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>

namespace {

enum class Gcc { Clean, Fails };

class ScriptedHost;

// Rows of one compile, kept until it is released (held or not: the rows
// of the build are compared after it has ended).
class ScriptedOutlet : public BuildOutlet {
public:
    explicit ScriptedOutlet(ScriptedHost& host) : m_host(host) {}
    void postRows(const QList<BuildRow>& posted) override { m_rows += posted; }
    StepResult runStep(const BuildStep& step, const QString& heading) override;
    void release() override;

private:
    ScriptedHost& m_host;
    QList<BuildRow> m_rows;
};

// Stands in for gcc and its report: a clean compile writes the object, a
// failing one does not; the link fails when told to. The report is one row
// naming its heading and what happened (the real reports are tested with
// the runner and end to end). Compiles may run on several threads.
class ScriptedHost : public BuildHost {
public:
    QHash<QString, Gcc> compiles; // by source
    Gcc link = Gcc::Clean;
    QList<BuildRow> rows;
    QStringList ran;
    int clears = 0;
    int stopAfterSteps = -1; // Tarn closes once this many steps have run
    int heldOutlets = 0;
    int releasedOutlets = 0;
    mutable std::mutex mutex;
    // Called on the compiling thread before each compile.
    std::function<void(const QString& source)> beforeCompile;

    StepResult runStep(const BuildStep& step, const QString& heading) override
    {
        QList<BuildRow> report;
        const StepResult result = run(step, heading, report);
        rows += report;
        return result;
    }
    StepResult run(const BuildStep& step, const QString& heading, QList<BuildRow>& report)
    {
        {
            std::lock_guard lock(mutex);
            ran.append(step.shownLine);
        }
        const bool isLink = step.invocation.arguments.value(0) == "-o";
        const QString source = step.invocation.arguments.value(1);
        if (!isLink && beforeCompile)
            beforeCompile(source);
        const Gcc behaviour = isLink ? link : compiles.value(source);
        StepResult result;
        result.started = true;
        result.succeeded = behaviour == Gcc::Clean;
        report.append({heading + (result.succeeded ? " ok" : " failed"), 1});
        if (!isLink && result.succeeded) {
            QFile object(SourceObject(source));
            EXPECT_TRUE(object.open(QIODevice::WriteOnly));
        }
        return result;
    }
    void postRows(const QList<BuildRow>& posted) override { rows += posted; }
    void clearRows() override { ++clears; }
    bool stopRequested() const override
    {
        std::lock_guard lock(mutex);
        return stopAfterSteps >= 0 && ran.size() >= stopAfterSteps;
    }
    std::unique_ptr<BuildOutlet> compileOutlet(bool held) override
    {
        std::lock_guard lock(mutex);
        heldOutlets += held;
        return std::make_unique<ScriptedOutlet>(*this);
    }
    // The build releases one outlet at a time.
    void take(const QList<BuildRow>& released)
    {
        rows += released;
        ++releasedOutlets;
    }
};

StepResult ScriptedOutlet::runStep(const BuildStep& step, const QString& heading)
{
    return m_host.run(step, heading, m_rows);
}

void ScriptedOutlet::release()
{
    m_host.take(m_rows);
}

struct BuildProject : ::testing::Test {
    QTemporaryDir dir;
    BuildJob job;
    ScriptedHost host;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        job.gccPath = "/usr/bin/gcc";
        job.outputFile = dir.filePath("hello.exe");
        job.projectDirectory = dir.path() + '/';
        for (const char* name : {"a.c", "b.c"}) {
            job.sources.append(dir.filePath(name));
            QFile source(job.sources.last());
            ASSERT_TRUE(source.open(QIODevice::WriteOnly));
        }
    }
    // An object newer than its source.
    void makeCurrent(const QString& source)
    {
        QFile object(SourceObject(source));
        ASSERT_TRUE(object.open(QIODevice::WriteOnly));
        object.close();
        using namespace std::chrono_literals;
        const auto path = std::filesystem::path(QFile::encodeName(object.fileName()).toStdString());
        std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + 2s);
    }
    QString compileLine(int i) const { return "/usr/bin/gcc -c " + job.sources[i] + " "; }
    QList<BuildRow> compiled(int i, const QList<BuildRow>& report) const
    {
        return QList<BuildRow>{{"compiling " + job.sources[i] + " with command line of:", 0},
                               {compileLine(i), 0}} +
               report;
    }
    QList<BuildRow> linked(const QList<BuildRow>& report) const
    {
        const QString objects = SourceObject(job.sources[0]) + " " + SourceObject(job.sources[1]);
        const QString line = "/usr/bin/gcc -o " + job.outputFile + " " + objects + " ";
        return QList<BuildRow>{{"Linking project with command line of:", 0}, {line, 0}} + report;
    }
};

const QList<BuildRow> kClean{{"Errors: ok", 1}};
const QList<BuildRow> kLinkClean{{"Link errors: ok", 1}};
const QList<BuildRow> kBegin{{"Beginning compilation of project...", 1}};
const QList<BuildRow> kEnd{{"Ending Compilation", 1}};

TEST_F(BuildProject, BuildProjectCompilesOnlyWhatIsOutOfDateThenLinks)
{
    makeCurrent(job.sources[0]);
    const BuildOutcome outcome = RunProjectBuild(job, host);
    EXPECT_EQ(host.rows, kBegin + compiled(1, kClean) + linked(kLinkClean) + kEnd);
    EXPECT_TRUE(outcome.linked && outcome.linkSucceeded);
    EXPECT_EQ(host.clears, 0);

    // Everything current: nothing compiles, the link still runs; a failed
    // one is said.
    host.rows.clear();
    makeCurrent(job.sources[1]);
    host.link = Gcc::Fails;
    const BuildOutcome failed = RunProjectBuild(job, host);
    EXPECT_EQ(host.rows, kBegin + linked({{"Link errors: failed", 1}}) + kEnd);
    EXPECT_TRUE(failed.linked);
    EXPECT_FALSE(failed.linkSucceeded);

    // A missing source is out of date even with an object.
    QFile::remove(job.sources[1]);
    host.compiles[job.sources[1]] = Gcc::Fails;
    host.ran.clear();
    EXPECT_FALSE(RunProjectBuild(job, host).linked);
    EXPECT_EQ(host.ran, QStringList{compileLine(1)});
}

TEST_F(BuildProject, RebuildAllTriesEverySourceAndStopsBeforeLinkingWhenOneFails)
{
    makeCurrent(job.sources[0]);
    makeCurrent(job.sources[1]);
    QFile::remove(SourceObject(job.sources[0]));
    job.kind = BuildKind::All;
    job.clearBeforeBuild = true;
    host.compiles[job.sources[0]] = Gcc::Fails;
    const BuildOutcome outcome = RunProjectBuild(job, host);
    EXPECT_EQ(host.rows, kBegin + compiled(0, {{"Errors: failed", 1}}) + compiled(1, kClean) + kEnd);
    EXPECT_FALSE(outcome.linked);
    EXPECT_EQ(host.clears, 1);
}

TEST_F(BuildProject, SourceWithoutExtensionIsReportedAndStopsBeforeLinking)
{
    job.sources.insert(0, dir.filePath("README"));
    const BuildOutcome outcome = RunProjectBuild(job, host);
    const QList<BuildRow> refused{
        {"Cannot compile " + job.sources[0] +
             ": its file name has no extension, so it has no object file",
         1}};
    EXPECT_EQ(host.rows, kBegin + refused + compiled(1, kClean) + compiled(2, kClean) + kEnd);
    EXPECT_FALSE(outcome.linked);
}

TEST_F(BuildProject, StoppedBuildRunsNothingMore)
{
    job.kind = BuildKind::All;
    host.stopAfterSteps = 1;
    const BuildOutcome outcome = RunProjectBuild(job, host);
    EXPECT_EQ(host.ran, QStringList{compileLine(0)});
    // The one who stopped it writes the closing row.
    EXPECT_EQ(host.rows, kBegin + compiled(0, kClean));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_FALSE(outcome.linked);
}

} // namespace

// gcc leaves an older object alone when a compile fails (for instance
// through a broken header), so the object still looks current: the failed
// compile of this run, not the file times, must stop the link.
TEST_F(BuildProject, FailedCompileNeverLinksAnOlderObject)
{
    for (const int parallel : {1, 2}) {
        SCOPED_TRACE(parallel);
        makeCurrent(job.sources[0]);
        makeCurrent(job.sources[1]);
        job.kind = BuildKind::All;
        job.parallelCompiles = parallel;
        host.compiles[job.sources[1]] = Gcc::Fails;
        host.rows.clear();
        host.ran.clear();
        const BuildOutcome outcome = RunProjectBuild(job, host);
        EXPECT_EQ(host.rows,
                  kBegin + compiled(0, kClean) + compiled(1, {{"Errors: failed", 1}}) + kEnd);
        EXPECT_EQ(outcome.failedCompiles, 1);
        EXPECT_FALSE(outcome.linked);
    }
}

// Compiles side by side that end in the reverse order are still shown in
// project order, each with its own rows; the same rows as one compile at a
// time, where no outlet is ever held.
TEST_F(BuildProject, CompilesEndingOutOfOrderAreShownInProjectOrder)
{
    job.sources.append(dir.filePath("c.c"));
    ASSERT_TRUE(QFile(job.sources.last()).open(QIODevice::WriteOnly));
    job.kind = BuildKind::All;
    host.compiles[job.sources[1]] = Gcc::Fails;
    const QList<BuildRow> failed{{"Errors: failed", 1}};
    const QList<BuildRow> expected =
        kBegin + compiled(0, kClean) + compiled(1, failed) + compiled(2, kClean) + kEnd;
    RunProjectBuild(job, host);
    EXPECT_EQ(host.rows, expected);
    EXPECT_EQ(host.heldOutlets, 0);
    EXPECT_EQ(host.releasedOutlets, 3);

    // Each compile waits until the ones after it have ended.
    std::mutex mutex;
    std::condition_variable changed;
    QStringList ended;
    host.beforeCompile = [&](const QString& source) {
        std::unique_lock lock(mutex);
        const qsizetype index = job.sources.indexOf(source);
        changed.wait_for(lock, std::chrono::seconds(10),
                         [&] { return ended.size() == job.sources.size() - 1 - index; });
        ended.append(source);
        changed.notify_all();
    };
    host.rows.clear();
    host.releasedOutlets = 0;
    job.parallelCompiles = 3;
    const BuildOutcome outcome = RunProjectBuild(job, host);
    EXPECT_EQ(ended, QStringList({job.sources[2], job.sources[1], job.sources[0]}));
    EXPECT_EQ(host.rows, expected);
    EXPECT_EQ(host.heldOutlets, 2); // the first compile taken is shown at once
    EXPECT_EQ(host.releasedOutlets, 3);
    EXPECT_EQ(outcome.failedCompiles, 1);
    EXPECT_FALSE(outcome.linked);
}
