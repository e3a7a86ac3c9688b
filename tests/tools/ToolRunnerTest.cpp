// Tool runs on both of their roads, with tarn_tool_helper standing in for
// gcc and make: on the interface thread (ToolPipes and ShowGccReport, as
// Quick Compile runs gcc) and on a worker (RunChild and the worker reports,
// as builds and make run). Both roads show the same rows.
#include "tools/ToolRunner.h"
#include "app/IdeSettings.h"
#include "tools/JobManager.h"
#include "tools/ToolReports.h"
#include "tools/WorkerReports.h"

#include "HelperPattern.h"
#include "RecordingSink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

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
        ToolPipes pipes;
        pipes.start(run);
        pipes.waitForEnd();
        ShowGccReport(pipes);
        return sink.rows;
    }
    Rows onWorker(const Invocation& run, bool make = false)
    {
        sink.rows.clear();
        jobs.start(QStringLiteral("test"), [run, make](JobContext& job) {
            MessageBatcher batch;
            if (make)
                RunWithMakeReport(run, job.cancelFlag(), batch);
            else
                RunWithGccReport(run, job.cancelFlag(), batch);
            return 0;
        });
        EXPECT_TRUE(jobs.waitForAll(60000));
        FlushMessages();
        return sink.rows;
    }

    RecordingSink sink;
    JobManager jobs;
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
        {"no line feed at the end",
         helper({"err-hex", hex("a\nb")}),
         {{"Errors:", 1}, {"a", 0}, {"b", 0}}},
        {"standard output is not shown", helper({"out-hex", hex("hi\n")}), {{none, 1}}},
        {"standard input is at its end at once",
         helper({"stdin"}),
         {{"Errors:", 1}, {"read 0 bytes", 0}, {"", 0}}},
        {"runs in the invocation's folder",
         helper({"cwd"}, dir.path()),
         {{"Errors:", 1}, {folder, 0}, {"", 0}}},
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

// RunTool runs the gcc path with the words after it on the line (useGcc
// nonzero) or the make path with none; RunCommandLine runs the program the
// first word names with the words after it.
TEST_F(ToolRuns, LaunchersStartWhatTheirLineNames)
{
    IdeSettings settings = ideSettings();
    settings.gccPath = kHelper;
    settings.makePath = kHelper;
    setIdeSettings(settings);
    ToolPipes gcc, make, line;
    ASSERT_TRUE(RunTool(kHelper + " args x \"y z\"", gcc, 1));
    ASSERT_TRUE(RunTool(kHelper + " ignored", make, 0));
    ASSERT_TRUE(RunCommandLine(kHelper + " args x \"y z\"", line));
    for (ToolPipes* pipes : {&gcc, &make, &line})
        pipes->waitForEnd();
    EXPECT_EQ(make.standardOutput(), "no arguments\n");
    const Rows args{{"Errors:", 1}, {"argc=3", 0}, {"args", 0}, {"x", 0}, {"y z", 0}, {"", 0}};
    for (ToolPipes* pipes : {&gcc, &line}) {
        sink.rows.clear();
        ShowGccReport(*pipes);
        EXPECT_EQ(sink.rows, args);
    }
}

// Megabytes on both streams, written interleaved: the child ends and every
// line arrives, in order. make's standard output comes first, under its
// heading, then its standard error.
TEST_F(ToolRuns, FloodsOfBothStreamsArriveWhole)
{
    const long bytes = 20L * 1000 * 1000;
    const long lines = toolhelper::floodLineCount(bytes);
    ToolPipes pipes;
    ASSERT_TRUE(pipes.start(helper({"flood", QString::number(bytes)})));
    pipes.waitForEnd();
    ShowGccReport(pipes);
    expectFlood(sink.rows, 0, 'e', lines, "Errors:");
    std::string output;
    for (long i = 0; i < lines; ++i)
        output += toolhelper::floodLine('o', i) + "\n";
    EXPECT_TRUE(pipes.standardOutput().toStdString() == output);

    const long makeLines = toolhelper::floodLineCount(3'000'000);
    const Rows rows = onWorker(helper({"flood", "3000000"}), true);
    EXPECT_EQ(rows.size(), size_t(2 * (makeLines + 2)));
    expectFlood(rows, 0, 'o', makeLines, "Output from make:");
    expectFlood(rows, size_t(makeLines) + 2, 'e', makeLines, "Errors recieved from make:");
}

} // namespace
