// `tarn --build/--rebuild` stopped by a signal, as Ctrl+C or `timeout` stop
// it: the real program with a fake "gcc" (a shell script first on PATH)
// that sends the signal itself once the build has reached the state the
// case needs, so nothing depends on timing.
#include "project/ProjectFileCodec.h"

#include "support/ProcessWatch.h"
#include "support/TarnRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>

#include <utility>

namespace {

// Compiles write an empty object beside the source, the link an empty
// program. A source whose name starts with "stop" runs the case's script
// (stop.sh, sourced with $src, $name and $dir set) first.
const char kFakeGcc[] = R"sh(#!/bin/sh
if [ "$1" = "-o" ]; then : > "$2"; exit 0; fi
src=$2
name=$(basename "$src" .c)
dir=$(dirname "$0")
case "$name" in
stop*) . "$dir/stop.sh" ;;
esac
: > "$(dirname "$src")/$name.o"
exit 0
)sh";

// Waits (at most about 20 s) until tarn's standard output holds N reports
// of finished compiles; the rows must arrive while the build runs.
const char kWaitForReports[] = R"sh(
waitForReports() {
  i=0
  while [ "$(grep -c 'No warnings or errors recieved from gcc' "$TARN_TEST_OUT")" -lt "$1" ]; do
    i=$((i+1)); [ $i -gt 2000 ] && { echo late > "$dir/rows-late"; return; }
    sleep 0.01
  done
}
)sh";

// Leaves a process that ignores SIGTERM and holds the pipes, its pid in
// $dir/$name.pid.
const char kLeaveStubbornChild[] = R"sh(
sh -c 'trap "" TERM; echo $$ > "$1.tmp"; mv "$1.tmp" "$1"; exec sleep 300' sh "$dir/$name.pid" &
while [ ! -s "$dir/$name.pid" ]; do sleep 0.01; done
)sh";

using testsupport::goneSoon;
using testsupport::processAlive;
using testsupport::readFile;
using testsupport::writeFile;
using Stopped = tarntest::Finished;

class CommandLineStop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(writeFile(dir.filePath("gcc"), kFakeGcc));
        ASSERT_TRUE(QFile::setPermissions(dir.filePath("gcc"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    void TearDown() override
    {
        // Whatever a failed case left behind.
        for (const QString& name : QDir(dir.path()).entryList({"*.pid"})) {
            const qint64 pid = readFile(dir.filePath(name)).trimmed().toLongLong();
            if (pid > 0 && processAlive(pid))
                ::kill(pid_t(pid), SIGKILL);
        }
    }

    // A project of the named sources (each "NAME.c" in the temp folder).
    QString project(const QStringList& names)
    {
        ProjectFile file;
        for (const QString& name : names) {
            EXPECT_TRUE(writeFile(dir.filePath(name + ".c"), "int x;\n"));
            file.sources << dir.filePath(name + ".c");
        }
        const QString path = dir.filePath("p.tarn");
        EXPECT_TRUE(SaveProjectFile(path, file));
        return path;
    }
    Stopped run(const QStringList& arguments, const QByteArray& stopScript)
    {
        TearDown(); // what an earlier run of the case left
        for (const QString& name :
             QDir(dir.path()).entryList({"*.pid", "*.o", "seen", "rows-late"}))
            QFile::remove(dir.filePath(name));
        EXPECT_TRUE(writeFile(dir.filePath("stop.sh"), kWaitForReports + stopScript));
        const QString outPath = dir.filePath("tarn.out");
        // No gcc set: PATH's, the fake one first.
        QProcessEnvironment env = tarntest::headlessEnvironment(dir.filePath("config"));
        env.insert("PATH", dir.path() + ":" + env.value("PATH"));
        env.insert("TARN_TEST_OUT", outPath);
        Stopped stopped = tarntest::runProgram(TARN_EXECUTABLE, arguments, env, QString(), outPath);
        stopped.out = readFile(outPath);
        return stopped;
    }
    // The rows of a compile that went well.
    QByteArray compiled(const QString& name)
    {
        const QByteArray source = dir.filePath(name + ".c").toUtf8();
        return "compiling " + source + " with command line of:\n" + dir.filePath("gcc").toUtf8() +
               " -c " + source + " \nNo warnings or errors recieved from gcc\n\n";
    }
    void expectLeftoversGone(const QStringList& names)
    {
        for (const QString& name : names) {
            const qint64 pid = readFile(dir.filePath(name + ".pid")).trimmed().toLongLong();
            ASSERT_GT(pid, 0) << name.toStdString();
            EXPECT_TRUE(goneSoon(pid)) << name.toStdString();
        }
    }

    QTemporaryDir dir;
};

const QByteArray kBeginning = "Beginning compilation of project...\n\n";
const QByteArray kStoppedRow = "Stopped by the user\n\n";

// SIGTERM (as `timeout` sends it) or SIGHUP (the terminal closed) during a
// one-at-a-time build: the rows of the compiles that finished were written
// as each ended; the compiler that runs and the process it left are ended;
// nothing after it runs; the output ends as Stop Build's does; the status
// is 128 + the signal's number.
TEST_F(CommandLineStop, ASignalStopsABuildAndShowsWhatWasBuilt)
{
    const QString path = project({"a", "b", "stop", "d"});
    for (const auto& [signal, name] : {std::pair{SIGTERM, "TERM"}, std::pair{SIGHUP, "HUP"}}) {
        const Stopped stopped =
            run({"--rebuild", path},
                QByteArray("waitForReports 2\ncp \"$TARN_TEST_OUT\" \"$dir/seen\"\n") +
                    kLeaveStubbornChild + "kill -" + name + " $PPID\nexec sleep 300\n");
        EXPECT_EQ(stopped.status, 128 + signal) << name << stopped.err.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("rows-late"))) << name;
        // What the build had written when the third compile ran.
        const QByteArray seen = readFile(dir.filePath("seen"));
        EXPECT_TRUE(seen.startsWith(kBeginning + compiled("a") + compiled("b")))
            << name << seen.toStdString();
        EXPECT_TRUE(stopped.out.startsWith(kBeginning + compiled("a") + compiled("b")))
            << name << stopped.out.toStdString();
        EXPECT_TRUE(stopped.out.endsWith(kStoppedRow)) << name << stopped.out.toStdString();
        EXPECT_FALSE(stopped.out.contains("d.c")) << name;
        EXPECT_FALSE(stopped.out.contains("Linking")) << name;
        EXPECT_TRUE(stopped.err.contains(QByteArray("tarn: stopped by SIG") + name))
            << stopped.err.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("d.o"))) << name;
        expectLeftoversGone({"stop"});
    }
}

// SIGTERM while eight compiles run side by side: every one of them and what
// each left behind is ended; the compile that had finished is shown.
TEST_F(CommandLineStop, SigtermStopsEveryCompileOfAParallelBuild)
{
    QStringList names{"a"};
    for (int i = 1; i <= 8; ++i)
        names << QStringLiteral("stop%1").arg(i);
    const QString path = project(names);
    // The last of the eight to have started sends the signal.
    const Stopped stopped =
        run({"--jobs", "8", "--rebuild", path},
            QByteArray(kLeaveStubbornChild) +
                "waitForReports 1\n"
                "if [ \"$(ls \"$dir\" | grep -c '^stop.*\\.pid$')\" -eq 8 ] && "
                "mkdir \"$dir/signalled\" 2>/dev/null; then kill -TERM $PPID; fi\n"
                "exec sleep 300\n");
    EXPECT_EQ(stopped.status, 128 + SIGTERM) << stopped.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("rows-late")));
    EXPECT_TRUE(stopped.out.startsWith(kBeginning + compiled("a"))) << stopped.out.toStdString();
    EXPECT_TRUE(stopped.out.endsWith(kStoppedRow)) << stopped.out.toStdString();
    EXPECT_FALSE(stopped.out.contains("Linking"));
    EXPECT_TRUE(stopped.err.contains("tarn: stopped by SIGTERM")) << stopped.err.toStdString();
    expectLeftoversGone(names.mid(1));
}

// Ctrl+C twice: the compiler, asked to stop, sends a second SIGINT while
// Tarn is still stopping the build. The stop goes on as before; the status
// is that of the first signal.
TEST_F(CommandLineStop, ASecondSigintWhileStoppingChangesNothing)
{
    const QString path = project({"a", "stop", "c"});
    const Stopped stopped =
        run({"--build", path},
            "trap 'echo sent > \"$dir/second-sent\"; kill -INT $PPID; trap \"\" TERM' TERM\n"
            "kill -INT $PPID\n"
            "i=0; while [ $i -lt 3000 ]; do sleep 0.1; i=$((i+1)); done\n");
    EXPECT_TRUE(QFile::exists(dir.filePath("second-sent")));
    EXPECT_EQ(stopped.status, 128 + SIGINT) << stopped.err.toStdString();
    EXPECT_TRUE(stopped.out.startsWith(kBeginning + compiled("a"))) << stopped.out.toStdString();
    EXPECT_TRUE(stopped.out.endsWith(kStoppedRow)) << stopped.out.toStdString();
    EXPECT_EQ(stopped.out.count(kStoppedRow), 1);
    EXPECT_FALSE(stopped.out.contains("c.c"));
    EXPECT_TRUE(stopped.err.contains("tarn: stopped by SIGINT")) << stopped.err.toStdString();
    EXPECT_FALSE(stopped.err.contains("SIGTERM"));
}

// Each compile notes its own pid in $dir/$name.gcc.pid.
const char kNoteCompiler[] = R"sh(
echo $$ > "$dir/$name.gcc.tmp"; mv "$dir/$name.gcc.tmp" "$dir/$name.gcc.pid"
)sh";

// Standard output closed while the build runs, as by
// `tarn --rebuild --jobs 2 P.tarn | head -n 1`: the build stops as for
// Ctrl+C, the status is 141 (128 + SIGPIPE), and neither compiler nor what
// each left is alive afterwards. stop2 sleeps; stop1 writes a warning row
// every 10 ms once stop2 runs, so Tarn writes on after head has gone.
TEST_F(CommandLineStop, AClosedOutputStopsTheBuildAndItsCompilers)
{
    const QString path = project({"stop1", "stop2", "c"});
    ASSERT_TRUE(writeFile(dir.filePath("stop.sh"),
                          QByteArray(kLeaveStubbornChild) + kNoteCompiler +
                              "[ \"$name\" = stop2 ] && exec sleep 300\n"
                              "while [ ! -s \"$dir/stop2.gcc.pid\" ]; do sleep 0.01; done\n"
                              "i=0; while [ $i -lt 3000 ]; do\n"
                              "  echo \"$src:1:1: warning: row $i\" >&2; sleep 0.01; i=$((i+1))\n"
                              "done\n"));
    QProcessEnvironment env = tarntest::headlessEnvironment(dir.filePath("config"));
    env.insert("PATH", dir.path() + ":" + env.value("PATH"));
    const Stopped stopped = tarntest::runProgram(
        "/bin/bash",
        {"-c", "\"$@\" | head -n 1; exit ${PIPESTATUS[0]}", "bash", TARN_EXECUTABLE, "--rebuild",
         "--jobs", "2", path},
        env);
    EXPECT_EQ(stopped.status, 141) << stopped.err.toStdString();
    EXPECT_EQ(stopped.out, "Beginning compilation of project...\n");
    EXPECT_TRUE(stopped.err.contains("tarn: stopped by SIGPIPE")) << stopped.err.toStdString();
    EXPECT_FALSE(stopped.err.contains("cannot write")) << stopped.err.toStdString();
    // A slow start (the sanitizer build) may meet the closed output before
    // a compiler has noted itself: what did start is gone.
    for (const char* name : {"stop1.gcc", "stop2.gcc", "stop1", "stop2"}) {
        const qint64 pid = readFile(dir.filePath(QLatin1String(name) + ".pid")).trimmed().toLongLong();
        if (pid > 0) {
            EXPECT_TRUE(goneSoon(pid)) << name;
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("c.o")));
}

// SIGKILL cannot be caught, yet the compilers Tarn started end with it:
// each dies with its parent.
TEST_F(CommandLineStop, CompilersEndWithAKilledTarn)
{
    const QString path = project({"stop1", "stop2"});
    const Stopped stopped =
        run({"--rebuild", "--jobs", "2", path},
            QByteArray(kNoteCompiler) +
                "if [ \"$name\" = stop2 ]; then\n"
                "  while [ ! -s \"$dir/stop1.gcc.pid\" ]; do sleep 0.01; done\n"
                "  kill -KILL $PPID\n"
                "fi\n"
                "exec sleep 300\n");
    EXPECT_EQ(stopped.status, -1); // killed
    expectLeftoversGone({"stop1.gcc", "stop2.gcc"});
}

} // namespace
