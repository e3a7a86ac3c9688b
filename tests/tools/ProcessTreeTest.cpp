// Tarn's descendants: the tree read by parent links, the end of a whole
// tree (a child that left its session and forked included), the processes
// Tarn takes in as a subreaper, which are ended and reaped while the exit
// status of a child Tarn started stays its own, and a real make whose
// recipe leaves a process in a session of its own, ended by Stop Build.
#include "tools/ChildRun.h"
#include "messages/MessageSink.h"
#include "tools/JobManager.h"
#include "tools/ProcessTree.h"
#include "tools/StopJobs.h"

#include "support/ProcessWatch.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>
#include <unistd.h>

#include <algorithm>

namespace {

using testsupport::goneSoon;
using testsupport::processAlive;

TEST(ProcessTree, DescendantsFollowParentLinks)
{
    // pid, parent
    const QList<ProcessRecord> table = {
        {1, 0, 'S'},  {10, 1, 'S'},  {11, 10, 'S'}, {12, 10, 'Z'}, {13, 11, 'S'},
        {20, 1, 'S'}, {21, 20, 'S'}, {30, 30, 'S'}, {14, 13, 'S'},
    };
    struct Case {
        qint64 root;
        QList<qint64> expected;
    };
    const Case cases[] = {
        {10, {11, 12, 13, 14}}, // an ended child (12) is still below its parent
        {11, {13, 14}},
        {20, {21}},
        {14, {}},
        {99, {}}, // not in the table
        {30, {}}, // its own parent: not its own descendant
    };
    for (const Case& c : cases) {
        QList<qint64> found = DescendantsIn(table, c.root);
        // Parents come before their children.
        for (qsizetype i = 0; i < found.size(); ++i) {
            for (const ProcessRecord& r : table) {
                if (r.pid == found.at(i) && r.parent != c.root) {
                    EXPECT_LT(found.indexOf(r.parent), i) << c.root << " " << found.at(i);
                }
            }
        }
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.expected) << c.root;
    }
}

// Waits (without handling events, so QProcess reaps nothing meanwhile)
// until the file holds a pid.
qint64 waitForPid(const QString& path)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        const qint64 pid = testsupport::readFile(path).trimmed().toLongLong();
        if (pid > 0)
            return pid;
        QThread::msleep(5);
    }
    return 0;
}

char stateOf(qint64 pid)
{
    const QByteArray text = testsupport::readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 ? text.at(close + 2) : '?';
}

class ProcessTreeRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        BecomeSubreaper();
    }
    void TearDown() override
    {
        for (const QString& name : QDir(dir.path()).entryList({"*.pid"})) {
            const qint64 pid = testsupport::readFile(dir.filePath(name)).trimmed().toLongLong();
            if (pid > 0 && processAlive(pid))
                ::kill(pid_t(pid), SIGKILL);
        }
    }
    QString pidFile(const char* name) const { return dir.filePath(QString::fromLatin1(name) + ".pid"); }

    QTemporaryDir dir;
};

// A tree whose middle process left the session (setsid) and forked a
// grandchild that ignores SIGTERM: ending the root's tree ends all three,
// whether the middle one is still there or has ended (its child then
// belongs to Tarn).
TEST_F(ProcessTreeRun, EndingATreeEndsWhatLeftTheSession)
{
    for (const bool middleEnds : {false, true}) {
        SCOPED_TRACE(middleEnds ? "middle ended" : "middle running");
        for (const QString& name : QDir(dir.path()).entryList({"*.pid"}))
            QFile::remove(dir.filePath(name));
        ASSERT_TRUE(testsupport::writeFile(dir.filePath("grand.sh"),
                                           "trap '' TERM; echo $$ > grand.pid; exec sleep 300\n"));
        ASSERT_TRUE(testsupport::writeFile(
            dir.filePath("middle.sh"), QByteArray("echo $$ > middle.pid; sh grand.sh &\n") +
                                           (middleEnds ? "exit 0\n" : "exec sleep 300\n")));
        const QString script = QStringLiteral("cd \"$1\"; setsid sh middle.sh & exec sleep 300");
        QProcess root;
        root.start("/bin/sh", {"-c", script, "sh", dir.path()});
        ASSERT_TRUE(root.waitForStarted());
        const qint64 middle = waitForPid(pidFile("middle"));
        const qint64 grand = waitForPid(pidFile("grand"));
        ASSERT_GT(middle, 0);
        ASSERT_GT(grand, 0);
        if (middleEnds) {
            // The grandchild comes to this process (a subreaper).
            ASSERT_TRUE(testsupport::waitUntil([&] { return AdoptedProcesses().contains(grand); }));
            EXPECT_GE(EndAdoptedProcesses(), 1);
        } else {
            EXPECT_EQ(::getsid(pid_t(grand)), pid_t(middle));
            EXPECT_EQ(EndProcessTree(root.processId(), false), 2);
        }
        EXPECT_TRUE(goneSoon(grand));
        EXPECT_TRUE(goneSoon(middle));
        // The root itself was not asked for: Qt's own child, still running.
        EXPECT_TRUE(processAlive(root.processId()));
        root.kill();
        EXPECT_TRUE(root.waitForFinished(10000));
        // Nothing of the tree stays as a zombie of this process.
        EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/%1").arg(grand)));
    }
}

// A child this process started ends (a zombie until Qt reaps it) while an
// adopted one has ended too: ending the adopted processes (as Stop Build
// does) reaps the adopted one and leaves the own child's exit status to
// QProcess.
TEST_F(ProcessTreeRun, ReapingLeavesTheExitStatusOfOwnChildren)
{
    QProcess own;
    own.start("/bin/sh", {"-c", "cd \"$1\"; setsid sh -c 'echo $$ > adopted.pid; exec sleep 300' &"
                                "while [ ! -s adopted.pid ]; do sleep 0.01; done; exit 7",
                          "sh", dir.path()});
    ASSERT_TRUE(own.waitForStarted());
    const qint64 adopted = waitForPid(pidFile("adopted"));
    ASSERT_GT(adopted, 0);
    QElapsedTimer clock;
    clock.start();
    while (stateOf(own.processId()) != 'Z' && clock.elapsed() < 20000)
        QThread::msleep(5);
    ASSERT_EQ(stateOf(own.processId()), 'Z');
    // The own child is no adopted one, ended or not.
    EXPECT_FALSE(AdoptedProcesses().contains(own.processId()));
    ASSERT_TRUE(testsupport::waitUntil([&] { return AdoptedProcesses().contains(adopted); }));
    ::kill(pid_t(adopted), SIGKILL);
    clock.restart();
    while (stateOf(adopted) != 'Z' && clock.elapsed() < 20000)
        QThread::msleep(5);
    EndAdoptedProcesses();
    EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/%1").arg(adopted)));
    EXPECT_EQ(stateOf(own.processId()), 'Z');
    ASSERT_TRUE(own.waitForFinished(10000));
    EXPECT_EQ(own.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(own.exitCode(), 7);
}

// A real make whose recipe starts `setsid sleep 1000 &`: the sleep is in
// neither make's group nor its session, and Stop Build ends it all the same.
TEST_F(ProcessTreeRun, StopBuildEndsWhatAMakeRecipeMovedToASessionOfItsOwn)
{
    const QString make = QStandardPaths::findExecutable(QStringLiteral("make"));
    if (make.isEmpty())
        GTEST_SKIP() << "no make on this host";
    ASSERT_TRUE(testsupport::writeFile(
        dir.filePath("Makefile"),
        "all:\n\tsetsid sleep 1000 & echo $$! > sleep.tmp; mv sleep.tmp sleep.pid; "
        "echo $$$$ > shell.tmp; mv shell.tmp shell.pid; sleep 300\n"));
    MessageChannel messages;
    JobManager jobs(messages);
    const Invocation run{make, {}, dir.path()};
    jobs.start(QStringLiteral("make"), [run](JobContext& context) {
        RunTool(run, context.cancelFlag(), [](ToolStream, QByteArrayView) {});
        return 0;
    });
    const qint64 sleeper = waitForPid(pidFile("sleep"));
    const qint64 shell = waitForPid(pidFile("shell"));
    ASSERT_GT(sleeper, 0);
    ASSERT_GT(shell, 0);
    EXPECT_EQ(::getsid(pid_t(sleeper)), pid_t(sleeper));
    EXPECT_TRUE(StopRunningJobs(jobs));
    ASSERT_TRUE(jobs.waitForAll(60000));
    EXPECT_TRUE(goneSoon(shell));
    EXPECT_TRUE(goneSoon(sleeper));
}

} // namespace
