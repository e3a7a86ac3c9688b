// What a tool leaves behind, and names that are bytes, on the one road that
// starts tools (RunTool), with either wait: a worker's (builds, make, Stop
// Build, closing Tarn) and the interface thread's (Quick Compile, Build
// Source, Link). Small shell scripts stand in for gcc.
#include "tools/ChildRun.h"
#include "messages/MessageSink.h"
#include "tools/JobManager.h"
#include "tools/PathBytes.h"
#include "tools/StopJobs.h"
#include "tools/ToolRunner.h"

#include "support/TestSupport.h"

#include "support/ProcessWatch.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>

namespace {

bool writeBytesFile(const QByteArray& path, const QByteArray& bytes, mode_t mode = 0644)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written && ::chmod(path.constData(), mode) == 0;
}

using testsupport::goneSoon;
using testsupport::processAlive;

// The fake gccs. Each is given the path of a file where the process it
// leaves behind writes its pid; that process holds the tool's pipes.
struct Leftover {
    const char* name;
    // The script's body after "#!/bin/sh"; $1 is the pid file.
    const char* script;
};

// Leaves the grandchild running and ends at once, successfully.
const Leftover kEndsNormally[] = {
    {"sleep holding the pipes",
     "sleep 300 &\necho $! > \"$1.tmp\"; mv \"$1.tmp\" \"$1\"\necho compiled >&2\nexit 0\n"},
    {"child ignoring SIGTERM",
     "sh -c 'trap \"\" TERM; echo $$ > \"$1.tmp\"; mv \"$1.tmp\" \"$1\"; exec sleep 300' sh \"$1\" "
     "&\n"
     "while [ ! -s \"$1\" ]; do sleep 0.01; done\necho compiled >&2\nexit 0\n"},
};

// The same grandchildren, but the tool itself keeps running until stopped.
const Leftover kRunsUntilStopped[] = {
    {"sleep holding the pipes", "sleep 300 &\necho $! > \"$1.tmp\"; mv \"$1.tmp\" \"$1\"\n"
                                "exec sleep 300\n"},
    {"child ignoring SIGTERM", "sh -c 'trap \"\" TERM; echo $$ > \"$1.tmp\"; mv \"$1.tmp\" \"$1\"; "
                               "exec sleep 300' sh \"$1\" &\n"
                               "exec sleep 300\n"},
};

class ChildEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override
    {
        if (leftover > 0 && processAlive(leftover))
            ::kill(pid_t(leftover), SIGKILL);
    }

    // The script as a "gcc" and the invocation that runs it.
    Invocation fakeGcc(const char* body)
    {
        const QByteArray script = PathToBytes(dir.filePath("gcc"));
        EXPECT_TRUE(writeBytesFile(script, QByteArray("#!/bin/sh\n") + body, 0755));
        QFile::remove(pidFile());
        return {dir.filePath("gcc"), {pidFile()}, dir.path()};
    }
    QString pidFile() const { return dir.filePath("leftover.pid"); }
    // The pid the leftover wrote, once it has written it.
    std::optional<qint64> readLeftover()
    {
        QFile file(pidFile());
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        bool number = false;
        const qint64 pid = file.readAll().trimmed().toLongLong(&number);
        if (!number)
            return std::nullopt;
        leftover = pid;
        return pid;
    }

    QTemporaryDir dir;
    qint64 leftover = 0;
    // Where the runs' rows would go (none are shown here).
    MessageChannel messages;
};

// The error stream of a run, gathered.
ChildResult runGathering(const Invocation& run, const std::atomic<bool>& cancel, QByteArray* errors)
{
    return RunTool(run, cancel, [errors](ToolStream stream, QByteArrayView bytes) {
        if (stream == ToolStream::Error)
            *errors += bytes;
    });
}

// A normal end with either wait: the tool's output is complete, the run
// returns although the leftover still holds the pipes, and the leftover is
// gone with the run.
TEST_F(ChildEnd, LeftoversEndWithANormalRunWithEitherWait)
{
    for (const Leftover& c : kEndsNormally) {
        for (const bool onInterface : {false, true}) {
            const std::string label = c.name + std::string(onInterface ? " / interface" : " / worker");
            const Invocation run = fakeGcc(c.script);
            QByteArray errors;
            ChildResult result;
            if (onInterface) {
                result = RunWithInterfaceWait(messages, [&](const std::atomic<bool>& cancel) {
                    return runGathering(run, cancel, &errors);
                });
            } else {
                std::atomic<bool> cancel{false};
                result = runGathering(run, cancel, &errors);
            }
            EXPECT_EQ(result.end, ChildResult::End::Finished) << label;
            EXPECT_EQ(result.exitCode, 0) << label;
            EXPECT_EQ(errors, "compiled\n") << label;
            const std::optional<qint64> pid = readLeftover();
            ASSERT_TRUE(pid) << label;
            EXPECT_TRUE(goneSoon(*pid)) << label;
        }
    }
}

// Stop Build, closing Tarn with a build running (the job manager goes
// away), and the application quitting while the interface thread waits for
// a tool: the tool and everything it started are ended, a grandchild that
// ignores SIGTERM included.
TEST_F(ChildEnd, LeftoversEndWhenARunIsStopped)
{
    enum class How { StopBuild, CloseTarn, QuitDuringInterfaceWait };
    for (How how : {How::StopBuild, How::CloseTarn, How::QuitDuringInterfaceWait}) {
        for (const Leftover& c : kRunsUntilStopped) {
            const Invocation run = fakeGcc(c.script);
            const std::string label = c.name + std::string(" / case ") + std::to_string(int(how));
            std::atomic<int> end{-1};
            if (how == How::QuitDuringInterfaceWait) {
                QTimer quitter;
                QObject::connect(&quitter, &QTimer::timeout, [&] {
                    if (readLeftover())
                        QCoreApplication::exit(0);
                });
                quitter.start(10);
                const ChildResult result = RunWithInterfaceWait(messages, [&](const std::atomic<bool>& cancel) {
                    return RunTool(run, cancel, [](ToolStream, QByteArrayView) {});
                });
                end = int(result.end);
                // Event loops run again: exec() ends by clearing the quit.
                QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
                QCoreApplication::exec();
            } else {
                auto jobs = std::make_unique<JobManager>(messages);
                jobs->start(QStringLiteral("build"), [run, &end](JobContext& context) {
                    const ChildResult result =
                        RunTool(run, context.cancelFlag(), [](ToolStream, QByteArrayView) {});
                    end = int(result.end);
                    return 0;
                });
                ASSERT_TRUE(testsupport::waitUntil([&] { return readLeftover().has_value(); }))
                    << label;
                if (how == How::StopBuild) {
                    EXPECT_TRUE(StopRunningJobs(*jobs));
                    EXPECT_TRUE(jobs->waitForAll(60000)) << label;
                }
                jobs.reset();
            }
            EXPECT_EQ(end.load(), int(ChildResult::End::Cancelled)) << label;
            ASSERT_TRUE(leftover > 0) << label;
            EXPECT_TRUE(goneSoon(leftover)) << label;
        }
    }
}

// A program, an argument and a working folder whose names hold a byte that
// is not UTF-8 reach the child exactly; a failure to enter such a folder or
// to find such a program says so.
TEST_F(ChildEnd, NamesReachTheChildByteForByte)
{
    const QByteArray root = PathToBytes(dir.path());
    const QByteArray folder = root + "/latin\xE9 dir";
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    const QByteArray program = folder + "/show\xE9";
    ASSERT_TRUE(writeBytesFile(program, "#!/bin/sh\npwd -P\nprintf '%s\\n' \"$0\" \"$@\"\n", 0755));
    const QByteArray argument = "latin\xE9.c";
    const QByteArray canonicalFolder = [&] {
        char resolved[PATH_MAX];
        return QByteArray(::realpath(folder.constData(), resolved));
    }();
    struct Case {
        const char* name;
        Invocation run;
        QByteArray output;
    };
    const Case cases[] = {
        {"all three as bytes",
         {PathFromBytes(program), {PathFromBytes(argument), "-c"}, PathFromBytes(folder)},
         canonicalFolder + '\n' + program + '\n' + argument + "\n-c\n"},
        {"only the argument",
         {"/bin/sh", {"-c", "printf '%s\\n' \"$1\"", "sh", PathFromBytes(argument)}, QString()},
         argument + '\n'},
        {"text names keep Qt's road",
         {"/bin/sh",
          {"-c", "printf '%s\\n' \"$1\"", "sh", QString::fromUtf8("\xC3\xA9t\xC3\xA9")},
          dir.path()},
         "\xC3\xA9t\xC3\xA9\n"},
    };
    for (const Case& c : cases) {
        std::atomic<bool> cancel{false};
        QByteArray output;
        const ChildResult result =
            RunTool(c.run, cancel, [&output](ToolStream stream, QByteArrayView bytes) {
                if (stream == ToolStream::Output)
                    output += bytes;
            });
        EXPECT_EQ(result.end, ChildResult::End::Finished)
            << c.name << result.startError.toStdString();
        EXPECT_EQ(output, c.output) << c.name;
    }

    struct Failure {
        const char* name;
        Invocation run;
        const char* reason;
    };
    const Failure failures[] = {
        {"missing folder",
         {PathFromBytes(program), {}, PathFromBytes(root + "/gone\xE9")},
         "cannot enter the folder "},
        {"missing program", {PathFromBytes(folder + "/gcc\xE9"), {}, QString()}, "no such file"},
        {"program not on PATH", {PathFromBytes("gcc\xE9\xE9"), {}, QString()}, "not found"},
    };
    for (const Failure& f : failures) {
        std::atomic<bool> cancel{false};
        const ChildResult result = RunTool(f.run, cancel, [](ToolStream, QByteArrayView) {});
        EXPECT_EQ(result.end, ChildResult::End::NotStarted) << f.name;
        EXPECT_TRUE(result.startError.startsWith(f.reason))
            << f.name << ": " << result.startError.toStdString();
    }
    // QTemporaryDir cannot remove names that are not UTF-8.
    EXPECT_EQ(::unlink(program.constData()), 0);
    EXPECT_EQ(::rmdir(folder.constData()), 0);
}

} // namespace
