// The worker engine: commands as argument lists, child runs with their
// reports in batches, jobs that can be stopped, the ordered message queue.
#include "tools/ChildRun.h"
#include "tools/CompileOptions.h"
#include "tools/Invocation.h"
#include "tools/JobManager.h"
#include "tools/ToolDirectory.h"
#include "tools/WorkerReports.h"

#include "HelperPattern.h"
#include "RecordingSink.h"
#include "messages/MessageSink.h"
#include "messages/StreamMessageSink.h"

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

QString hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

// Runs one report on a job and hands back the rows it showed.
class WorkerEngine : public ::testing::Test {
protected:
    Rows runJob(JobManager::Work work)
    {
        jobs.start(QStringLiteral("test"), std::move(work));
        EXPECT_TRUE(jobs.waitForAll(60000));
        FlushMessages();
        return sink.rows;
    }
    Rows gccReport(const Invocation& invocation)
    {
        return runJob([invocation](JobContext& job) {
            MessageBatcher batch;
            RunWithGccReport(invocation, job.cancelFlag(), batch);
            return 0;
        });
    }
    Rows makeReport(const Invocation& invocation)
    {
        return runJob([invocation](JobContext& job) {
            MessageBatcher batch;
            RunWithMakeReport(invocation, job.cancelFlag(), batch);
            batch.add(QStringLiteral("Ending make"), 1);
            return 0;
        });
    }

    RecordingSink sink;
    JobManager jobs;
};

} // namespace

// The shown line is the plain concatenation; every path stays one argument
// and only free text is split the way a shell would.
TEST(ToolCommandTest, ShowsTheConcatenationAndKeepsEachPathWhole)
{
    const QString gcc = QStringLiteral("/opt/my gcc/gcc");
    const QStringList paths{QStringLiteral("/home/me/My Projects/hello.c"),
                            QStringLiteral("/tmp/it's \"quoted\".c"), QStringLiteral("/tmp/$HOME/a.c"),
                            QStringLiteral("/tmp/Grüße/ä b.c")};
    CompileOptions options;
    options.debugInfo = 1;
    options.language = 3;
    options.otherOptions = QStringLiteral("-DNAME='a b' -I\"/x y\"  $(x)");
    for (const QString& path : paths) {
        ToolCommand quick(gcc);
        quick.appendText(QStringLiteral(" "));
        quick.appendWord(path);
        quick.appendText(QStringLiteral(" -c "));
        AppendSourceFlags(quick, options);
        EXPECT_EQ(quick.line(), gcc + " " + path + " -c -g " + options.otherOptions + " -x c++ ");
        EXPECT_EQ(quick.program(), gcc);
        EXPECT_EQ(quick.arguments(),
                  (QStringList{path, "-c", "-g", "-DNAME=a b", "-I/x y", "$(x)", "-x", "c++"}));

        const ToolCommand project = BuildProjectCompileCommand(gcc, path, options);
        EXPECT_EQ(project.line(), BuildProjectCompileLine(gcc, path, options));
        EXPECT_EQ(project.arguments(),
                  (QStringList{"-c", path, "-g", "-x", "c++", "-DNAME=a b", "-I/x y", "$(x)"}));
    }
    // A source-order line built as text is the same line.
    QString line;
    AppendSourceFlags(line, options);
    ToolCommand flags;
    AppendSourceFlags(flags, options);
    EXPECT_EQ(line, flags.line());
}

TEST(ToolDirectoryTest, FollowsTheProcessUntilSetAndResolvesAgainstItself)
{
    QTemporaryDir dir;
    const QString root = QFileInfo(dir.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("sub/inner")));
    const QString previous = QDir::currentPath();
    setToolDirectory(QString());
    ASSERT_TRUE(QDir::setCurrent(root));
    EXPECT_EQ(toolDirectory(), root + "/");
    setToolDirectory(QStringLiteral("sub"));
    EXPECT_EQ(toolDirectory(), root + "/sub/");
    EXPECT_EQ(EnterableDirectory(QStringLiteral("inner/")), root + "/sub/inner/");
    EXPECT_EQ(EnterableDirectory(QStringLiteral("missing/")), QString());
    QFile file(root + "/sub/plain");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(EnterableDirectory(root + "/sub/plain"), QString());
    // The process's own directory never moved.
    EXPECT_EQ(QDir::currentPath(), root);
    setToolDirectory(QString());
    QDir::setCurrent(previous);
    EXPECT_EQ(toolDirectory(), QDir::currentPath() + "/");
}

TEST_F(WorkerEngine, GccReportRowsMatchTheInterfaceRuns)
{
    struct Case {
        const char* name;
        QByteArray error;
        Rows expected;
    };
    const std::vector<Case> cases{
        {"nothing", "", {{"No warnings or errors recieved from gcc", 1}}},
        {"crlf", "a.c:1: error: x\r\n", {{"Errors:", 1}, {"a.c:1: error: x", 0}, {"", 0}}},
        {"no line feed at the end", "a\nb", {{"Errors:", 1}, {"a", 0}, {"b", 0}}},
    };
    for (const Case& c : cases) {
        sink.rows.clear();
        const Invocation run{kHelper, {QStringLiteral("err-hex"), hex(c.error)}, QString()};
        EXPECT_EQ(gccReport(run), c.expected) << c.name;
    }
}

TEST_F(WorkerEngine, ProgramsThatCannotStartAreReported)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    struct Case {
        QString program;
        QString reason;
    };
    const std::vector<Case> cases{{QString(), "no program named"},
                                  {dir.filePath("missing"), "no such file"},
                                  {dir.path(), "it is a folder"},
                                  {plain, "not executable"}};
    for (const Case& c : cases) {
        sink.rows.clear();
        const Rows expected{{CouldNotStartLine(c.program, c.reason), 1}, {"Ending make", 1}};
        EXPECT_EQ(makeReport({c.program, {}, QString()}), expected) << c.program.toStdString();
        EXPECT_EQ(CouldNotStartLine(c.program, c.reason),
                  "Error: could not start " + c.program + " (" + c.reason + ")");
    }
    // A folder that cannot be entered as working directory.
    sink.rows.clear();
    const Rows rows = gccReport({kHelper, {"exit"}, dir.filePath("missing")});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].first.startsWith("Error: could not start " + kHelper)) << rows[0].first.toStdString();
}

// Both streams of a make flooding megabytes arrive whole: standard output
// first, under its heading, then standard error; the working directory is
// the invocation's.
TEST_F(WorkerEngine, MakeReportShowsEveryLineInOrder)
{
    constexpr long kBytes = 3'000'000;
    const long lines = toolhelper::floodLineCount(kBytes);
    const Rows rows = makeReport({kHelper, {"flood", QString::number(kBytes)}, QString()});
    ASSERT_EQ(rows.size(), size_t(2 * (lines + 2) + 1));
    EXPECT_EQ(rows[0], (RecordingSink::Row{"Output from make:", 1}));
    const size_t errors = size_t(lines) + 2;
    EXPECT_EQ(rows[errors], (RecordingSink::Row{"Errors recieved from make:", 1}));
    for (long i = 0; i < lines; ++i) {
        ASSERT_EQ(rows[1 + i].first.toStdString(), toolhelper::floodLine('o', i));
        ASSERT_EQ(rows[errors + 1 + i].first.toStdString(), toolhelper::floodLine('e', i));
    }
    EXPECT_EQ(rows.back(), (RecordingSink::Row{"Ending make", 1}));

    QTemporaryDir dir;
    sink.rows.clear();
    const Rows cwd = makeReport({kHelper, {"cwd"}, dir.path()});
    ASSERT_GE(cwd.size(), 2u);
    EXPECT_EQ(cwd[1].first, QFileInfo(dir.path()).canonicalFilePath());
}

// The destructor stops and joins running jobs: nothing outlives the manager.
TEST_F(WorkerEngine, DestroyingTheManagerStopsItsJobs)
{
    std::atomic<bool> ended{false};
    {
        JobManager local;
        EXPECT_EQ(JobManager::instance(), &local);
        local.start(QStringLiteral("sleeper"), [&](JobContext& job) {
            RunChild({kHelper, {"sleep", "300000"}, QString()}, job.cancelFlag(), [](ToolStream, QByteArrayView) {});
            ended = true;
            return 0;
        });
        QThread::msleep(100);
    }
    EXPECT_TRUE(ended.load());
    EXPECT_EQ(JobManager::instance(), &jobs);
}

// One queue for every thread: rows posted by a worker come before a row the
// interface thread adds later, and a batch is never split by a Clear.
TEST_F(WorkerEngine, QueueKeepsOrderAcrossThreads)
{
    std::thread worker([] {
        MessageBatcher batch;
        for (int i = 0; i < 5000; ++i)
            batch.add(QString::number(i), 0);
    });
    worker.join();
    AddMessage(QStringLiteral("after"), 1);
    ASSERT_EQ(sink.rows.size(), 5001u);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(sink.rows[i].first, QString::number(i));
    EXPECT_EQ(sink.rows.back(), (RecordingSink::Row{"after", 1}));

    std::thread clearer([] {
        std::vector<MessageEntry> entries(3);
        entries[0].kind = MessageEntry::Kind::Clear;
        entries[1].text = QStringLiteral("heading");
        entries[1].withSeparator = 1;
        entries[2].text = QStringLiteral("row");
        PostMessages(std::move(entries));
    });
    clearer.join();
    FlushMessages();
    EXPECT_EQ(sink.rows, (Rows{{"heading", 1}, {"row", 0}}));
}

TEST(StreamMessageSinkTest, WritesRowsAsLines)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        StreamMessageSink stream(file);
        MessageSink* previous = setMessageSink(&stream);
        AddMessage(QStringLiteral("Errors:"), 1);
        AddMessage(QString::fromUtf8("a.c:1: \xc3\xa4"), 0);
        ClearMessages();
        AddMessage(QString(), 0);
        setMessageSink(previous);
    }
    std::rewind(file);
    char buffer[256] = {};
    const size_t size = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    EXPECT_EQ(QByteArray(buffer, qsizetype(size)), QByteArray("Errors:\n\na.c:1: \xc3\xa4\n\n"));
}
