// Tool runs with tarn_tool_helper standing in for gcc and make, on the one
// road (RunTool and its reports) with each of its two waits: the interface
// thread's (RunWithInterfaceWait, as Quick Compile runs gcc) and a worker's
// (a job, as builds and make run). Both show the same rows.
#include "tools/ToolRunner.h"
#include "framework/BusyScope.h"
#include "tools/JobManager.h"
#include "tools/WorkerReports.h"

#include "HelperPattern.h"
#include "RecordingSink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {

using Rows = std::vector<RecordingSink::Row>;
const QString kHelper = QStringLiteral(TARN_TOOL_HELPER);

Invocation helper(const QStringList& arguments, const QString& folder = QString())
{
    return {kHelper, arguments, folder};
}

QString hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

class ToolRuns : public ::testing::Test {
protected:
    Rows onInterface(const Invocation& run)
    {
        sink.rows.clear();
        RunWithInterfaceWait(sink.messages(), [this, &run](const std::atomic<bool>& cancel) {
            MessageBatcher batch(sink.messages());
            return RunWithGccReport(run, cancel, batch);
        });
        // Every row is shown when the wait returns.
        return sink.rows;
    }
    Rows onWorker(const Invocation& run, bool make = false)
    {
        sink.rows.clear();
        jobs.start(QStringLiteral("test"), [run, make](JobContext& job) {
            MessageBatcher batch(job.messages());
            if (make)
                RunWithMakeReport(run, job.cancelFlag(), batch);
            else
                RunWithGccReport(run, job.cancelFlag(), batch);
            return 0;
        });
        EXPECT_TRUE(jobs.waitForAll(60000));
        sink.messages().flush();
        return sink.rows;
    }

    RecordingSink sink;
    JobManager jobs{sink.messages()};
};

// From `at`: the heading, every flood line of the stream in order, the
// empty last row.
void expectFlood(const Rows& rows, size_t at, char tag, long lines, const QString& heading)
{
    ASSERT_GE(rows.size(), at + size_t(lines) + 2);
    EXPECT_EQ(rows[at], RecordingSink::Row(heading, 1));
    for (long i = 0; i < lines; ++i)
        ASSERT_EQ(rows[at + 1 + size_t(i)].first.toStdString(), toolhelper::floodLine(tag, i))
            << "line " << i;
    EXPECT_EQ(rows[at + size_t(lines) + 1], RecordingSink::Row("", 0));
}

// The report around the rows; cutting and decoding are the message store's tests.
TEST_F(ToolRuns, GccReportRowsOnBothRoads)
{
    const QString none = QStringLiteral("No warnings or errors recieved from gcc");
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    const struct {
        const char* name;
        Invocation run;
        Rows rows;
    } cases[] = {
        {"exits at once", helper({"exit"}), {{none, 1}}},
        {"crlf diagnostic",
         helper({"err-hex", hex("x.c:3: error: bad\r\n")}),
         {{"Errors:", 1}, {"x.c:3: error: bad", 0}, {"", 0}}},
        {"no line feed at the end", helper({"err-hex", hex("a\nb")}), {{"Errors:", 1}, {"a", 0}, {"b", 0}}},
        {"standard output is not shown", helper({"out-hex", hex("hi\n")}), {{none, 1}}},
        {"each argument reaches the child whole",
         helper({"args", "x", "y z", "\"q\""}),
         {{"Errors:", 1}, {"argc=4", 0}, {"args", 0}, {"x", 0}, {"y z", 0}, {"\"q\"", 0}, {"", 0}}},
        {"standard input is at its end at once", helper({"stdin"}), {{"Errors:", 1}, {"read 0 bytes", 0}, {"", 0}}},
        {"runs in the invocation's folder", helper({"cwd"}, dir.path()), {{"Errors:", 1}, {folder, 0}, {"", 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(onInterface(c.run), c.rows);
        EXPECT_EQ(onWorker(c.run), c.rows);
    }
}

TEST_F(ToolRuns, ProgramsThatCannotStartAreReported)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    ASSERT_TRUE(testsupport::writeFile(plain, "#!/bin/sh\necho hi\n"));
    const struct {
        QString program;
        QString reason;
    } cases[] = {
        {QString(), "no program named"},
        {dir.filePath("missing"), "no such file"},
        {dir.path(), "it is a folder"},
        {plain, "not executable"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program.toStdString());
        const Rows expected{{"Error: could not start " + c.program + " (" + c.reason + ")", 1}};
        EXPECT_EQ(onInterface({c.program, {}, QString()}), expected);
        EXPECT_EQ(onWorker({c.program, {}, QString()}, true), expected);
    }
    // A folder that cannot be entered as working directory.
    const Rows rows = onWorker(helper({"exit"}, dir.filePath("missing")));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].first.startsWith("Error: could not start " + kHelper))
        << rows[0].first.toStdString();
}

// Megabytes on both streams, written interleaved: the child ends and every
// line arrives, in order. gcc's standard output is read and dropped. make's
// standard output comes first, under its heading, then its standard error.
TEST_F(ToolRuns, FloodsOfBothStreamsArriveWhole)
{
    const long bytes = 20L * 1000 * 1000;
    const long lines = toolhelper::floodLineCount(bytes);
    const Rows gcc = onInterface(helper({"flood", QString::number(bytes)}));
    EXPECT_EQ(gcc.size(), size_t(lines + 2));
    expectFlood(gcc, 0, 'e', lines, "Errors:");

    const long makeLines = toolhelper::floodLineCount(3'000'000);
    const Rows rows = onWorker(helper({"flood", "3000000"}), true);
    EXPECT_EQ(rows.size(), size_t(2 * (makeLines + 2)));
    expectFlood(rows, 0, 'o', makeLines, "Output from make:");
    expectFlood(rows, size_t(makeLines) + 2, 'e', makeLines, "Errors recieved from make:");
}

// Counts its paints.
class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// While the interface thread waits for a tool, the window keeps painting,
// timers run, the rows the tool writes appear while it still runs, and the
// main window may not close (BusyScope). The tool here writes a row, then
// waits until the test has seen that row in the window (a file the test
// creates), then writes a second row.
TEST_F(ToolRuns, InterfaceWaitPaintsAndShowsRowsWhileTheToolRuns)
{
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("gcc"));
    const QString seen = dir.filePath(QStringLiteral("seen"));
    ASSERT_TRUE(testsupport::writeFile(
        script, "#!/bin/sh\necho 'a.c:1: error: first' >&2\n"
                "n=0; while [ ! -e \"$1\" ] && [ $n -lt 1000 ]; do sleep 0.01; n=$((n+1)); done\n"
                "echo second >&2\n"));
    ASSERT_TRUE(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    PaintCounter window;
    window.resize(100, 50);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const int paintsBefore = window.paints;
    int ticks = 0;
    bool alwaysBusy = true;
    bool sawFirstWhileRunning = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        alwaysBusy = alwaysBusy && fw::BusyScope::active();
        window.update();
        for (const RecordingSink::Row& row : sink.rows) {
            if (row.first == QStringLiteral("a.c:1: error: first") && !QFile::exists(seen)) {
                sawFirstWhileRunning = true;
                testsupport::writeFile(seen, "");
            }
        }
    });
    timer.start(5);
    const Rows rows = onInterface({script, {seen}, QString()});
    timer.stop();

    EXPECT_TRUE(sawFirstWhileRunning);
    EXPECT_GT(ticks, 0);
    EXPECT_TRUE(alwaysBusy);
    EXPECT_FALSE(fw::BusyScope::active());
    EXPECT_GT(window.paints, paintsBefore);
    EXPECT_EQ(rows, (Rows{{"Errors:", 1}, {"a.c:1: error: first", 0}, {"second", 0}, {"", 0}}));
}

} // namespace
