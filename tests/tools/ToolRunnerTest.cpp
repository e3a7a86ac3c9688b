// The runner and its reports, driven with tarn_tool_helper as gcc and make.
#include "tools/ToolReports.h"
#include "tools/ToolRunner.h"
#include "tools/WorkerReports.h"

#include "HelperPattern.h"
#include "RecordingSink.h"
#include "app/IdeSettings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <thread>

namespace {

using Rows = std::vector<RecordingSink::Row>;

const QString kHelper = QStringLiteral(TARN_TOOL_HELPER);
const QString kNoGccOutput = QStringLiteral("No warnings or errors recieved from gcc");
const QString kNoMakeErrors = QStringLiteral("No errors recieved from make");

class ToolRunner : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = ideSettings();
        IdeSettings settings = m_saved;
        settings.gccPath = kHelper;
        settings.makePath = kHelper;
        setIdeSettings(settings);
    }
    void TearDown() override { setIdeSettings(m_saved); }

    void setToolPaths(const QString& gcc, const QString& make)
    {
        IdeSettings settings = ideSettings();
        settings.gccPath = gcc;
        settings.makePath = make;
        setIdeSettings(settings);
    }

    // Quick-compile style: the helper as gcc, showing its error stream.
    Rows gccReport(const QString& arguments)
    {
        ToolPipes pipes;
        RunTool(kHelper + QLatin1Char(' ') + arguments, pipes, 1);
        pipes.waitForEnd();
        ShowGccReport(pipes);
        return sink.rows;
    }

    RecordingSink sink;

private:
    IdeSettings m_saved;
};

QString hexArgument(const QByteArray& bytes)
{
    return QStringLiteral("err-hex ") + QString::fromLatin1(bytes.toHex());
}

// The report around the rows; cutting and decoding are OutputLines' tests.
TEST_F(ToolRunner, GccReportRows)
{
    const struct {
        const char* name;
        QString arguments;
        Rows rows;
    } cases[] = {
        {"crlf diagnostic", hexArgument("x.c:3: error: bad\r\n"),
         {{"Errors:", 1}, {"x.c:3: error: bad", 0}, {"", 0}}},
        {"exits at once", "exit", {{kNoGccOutput, 1}}},
        {"standard output is not shown", "out-hex 68690a", {{kNoGccOutput, 1}}},
        {"standard input is at its end at once", "stdin",
         {{"Errors:", 1}, {"read 0 bytes", 0}, {"", 0}}},
    };
    for (const auto& c : cases) {
        sink.rows.clear();
        EXPECT_EQ(gccReport(c.arguments), c.rows) << c.name;
    }
}

// The line is split like a shell would, without one; a gcc path with blanks
// is taken whole; make through RunTool gets no arguments.
TEST_F(ToolRunner, CommandLinesAndTheirReports)
{
    QTemporaryDir dir;
    const QString blanks = dir.path() + QStringLiteral("/my tools/gcc helper");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(blanks).path()));
    ASSERT_TRUE(QFile::copy(kHelper, blanks));
    const struct {
        QString line;
        int useGcc; // -1: RunCommandLine
        Rows rows;
    } cases[] = {
        {kHelper + " args 'a b' \"c d\" e\\ f $HOME", 1,
         {{"Errors:", 1}, {"argc=5", 0}, {"args", 0}, {"a b", 0}, {"c d", 0}, {"e f", 0}, {"$HOME", 0}, {"", 0}}},
        {blanks + " args x.c -c ", 1, {{"Errors:", 1}, {"argc=3", 0}, {"args", 0}, {"x.c", 0}, {"-c", 0}, {"", 0}}},
        {kHelper + " args x y", 0, {{"Output from make:", 1}, {"no arguments", 0}, {"", 0}, {kNoMakeErrors, 1}}},
        {kHelper + " args -f my.mak", -1,
         {{"Errors recieved from make:", 1}, {"argc=3", 0}, {"args", 0}, {"-f", 0}, {"my.mak", 0}, {"", 0}}},
    };
    for (const auto& c : cases) {
        setToolPaths(c.line.startsWith(blanks) ? blanks : kHelper, kHelper);
        sink.rows.clear();
        ToolPipes pipes;
        ASSERT_TRUE(c.useGcc < 0 ? RunCommandLine(c.line, pipes) : RunTool(c.line, pipes, c.useGcc));
        pipes.waitForEnd();
        if (c.useGcc == 1)
            ShowGccReport(pipes);
        else
            ShowMakeReport(pipes);
        EXPECT_EQ(sink.rows, c.rows) << c.line.toStdString();
    }
}

// Twenty megabytes on each stream, written interleaved: the child ends and
// every line of both streams arrives, in order.
TEST_F(ToolRunner, FloodOfBothStreamsEndsWithNothingLost)
{
    const long bytes = 20L * 1000 * 1000;
    const long lines = toolhelper::floodLineCount(bytes);
    ToolPipes pipes;
    ASSERT_TRUE(RunCommandLine(kHelper + QStringLiteral(" flood ") + QString::number(bytes), pipes));
    pipes.waitForEnd();
    ShowMakeReport(pipes);

    ASSERT_EQ(sink.rows.size(), size_t(2 * (lines + 2)));
    size_t at = 0;
    for (const auto& [tag, heading] : {std::pair{'o', "Output from make:"},
                                       std::pair{'e', "Errors recieved from make:"}}) {
        ASSERT_EQ(sink.rows[at++], RecordingSink::Row(heading, 1));
        for (long i = 0; i < lines; ++i, ++at) {
            ASSERT_EQ(sink.rows[at].first.toStdString(), toolhelper::floodLine(tag, i))
                << "row " << at;
        }
        ASSERT_EQ(sink.rows[at++], RecordingSink::Row("", 0));
    }
}

TEST_F(ToolRunner, ProgramsThatCannotStartAreReported)
{
    QTemporaryDir dir;
    const QString plainFile = dir.path() + QStringLiteral("/not-executable");
    ASSERT_TRUE(testsupport::writeFile(plainFile, "#!/bin/sh\necho hi\n"));
    const QString missing = dir.path() + QStringLiteral("/no-such-tool");
    for (const QString& path : {dir.path(), plainFile, missing, QString()}) {
        setToolPaths(path, path);
        sink.rows.clear();
        ToolPipes gcc;
        EXPECT_FALSE(RunTool(path + QStringLiteral(" x.c -c "), gcc, 1));
        gcc.waitForEnd();
        ShowGccReport(gcc);
        ToolPipes make;
        EXPECT_FALSE(RunTool(QString(), make, 0));
        make.waitForEnd();
        ShowMakeReport(make);
        const RecordingSink::Row error{CouldNotStartLine(path, ProgramProblem(path)), 1};
        EXPECT_EQ(sink.rows, (Rows{error, error})) << path.toStdString();
    }
    sink.rows.clear();
    ToolPipes empty;
    EXPECT_FALSE(RunCommandLine(QStringLiteral("  "), empty));
    empty.waitForEnd();
    ShowMakeReport(empty);
    EXPECT_EQ(sink.rows, (Rows{{"Error: could not start  (no program named)", 1}}));
}

TEST_F(ToolRunner, ChildInheritsDirectoryAndEnvironment)
{
    QTemporaryDir dir;
    const QString canonical = QFileInfo(dir.path()).canonicalFilePath();
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    qputenv("TARN_RUNNER_PROBE", "probe value");
    ToolPipes cwd, env;
    RunCommandLine(kHelper + QStringLiteral(" cwd"), cwd);
    cwd.waitForEnd();
    RunCommandLine(kHelper + QStringLiteral(" env TARN_RUNNER_PROBE"), env);
    env.waitForEnd();
    QDir::setCurrent(previous);
    qunsetenv("TARN_RUNNER_PROBE");
    EXPECT_EQ(cwd.standardError(), (canonical + QLatin1Char('\n')).toLocal8Bit());
    EXPECT_EQ(env.standardError(), QByteArray("probe value\n"));
}

// A project build runs tools on a worker: settings come from a snapshot, the
// wait blocks the worker, and the rows reach the sink on this thread in order.
TEST_F(ToolRunner, RunsOnWorkerThreads)
{
    const QString arguments = hexArgument("w.c:1: warning: w\r\n");
    auto work = [&] {
        ToolPipes pipes;
        RunTool(kHelper + QLatin1Char(' ') + arguments, pipes, 1);
        pipes.waitForEndBlocking();
        ShowGccReport(pipes, QStringLiteral("Link errors:"));
    };
    const Rows expected{{"Link errors:", 1}, {"w.c:1: warning: w", 0}, {"", 0}};

    std::unique_ptr<QThread> thread(QThread::create(work));
    thread->start();
    ASSERT_TRUE(thread->wait(30000));
    ASSERT_TRUE(testsupport::waitUntil([&] { return sink.rows.size() >= expected.size(); }));
    EXPECT_EQ(sink.rows, expected);

    sink.rows.clear();
    std::thread plain(work);
    plain.join();
    ASSERT_TRUE(testsupport::waitUntil([&] { return sink.rows.size() >= expected.size(); }));
    EXPECT_EQ(sink.rows, expected);
}

} // namespace
