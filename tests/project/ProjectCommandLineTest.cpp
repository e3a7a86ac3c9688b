// tarn --build / --rebuild / --export-makefile / --export-compile-commands
// as a user runs them: the real program, no display. A script stands in for
// gcc where the compiler itself adds nothing; the rows of the real gcc and
// the program it links are checked once. (Failed compiles with the real
// gcc, make on hostile names: HonestBuildTest.cpp; option errors:
// HeadlessModeTest.cpp.)
#include "support/TarnRun.h"
#include "support/TestSupport.h"

#include "project/BuildSteps.h"
#include "project/CommandLineBuild.h"
#include "project/MakefileWriter.h"
#include "project/ProjectFileCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

#include <gtest/gtest.h>

namespace {

using tarntest::Finished;
using tarntest::runTarn;

using testsupport::readFile;
using testsupport::writeFile;

TEST(ProjectCommandLine, JobCounts)
{
    struct Case {
        const char* text;
        std::optional<int> count;
        bool noted;
    };
    const int cap = std::max(kMaxParallelCompiles, 3);
    const Case cases[] = {
        {"1", 1, false}, {"2", 2, false}, {"0", 3, false}, // 0: one per core (3 here)
        {"64", 64, false}, {"10000", cap, true},
        {"-1", std::nullopt, false}, {"two", std::nullopt, false}, {"", std::nullopt, false},
        {"2.5", std::nullopt, false}, {"99999999999", std::nullopt, false},
    };
    for (const Case& c : cases) {
        QString complaint;
        QString note;
        EXPECT_EQ(ParseJobCount(QString::fromLatin1(c.text), 3, &complaint, &note), c.count) << c.text;
        EXPECT_EQ(complaint.isEmpty(), c.count.has_value()) << c.text;
        EXPECT_EQ(note.isEmpty(), !c.noted) << c.text;
    }
}

// Logs its arguments (one a line, each run closed by "--"), then acts as
// gcc would: the link writes the output; a compile writes the object beside
// the source (or where -o says), reports a warning for a source holding
// WARN and fails with an error for one holding FAIL; a source holding SLOW
// takes a while, so compiles after it end first.
const char kFakeGcc[] = R"sh(#!/bin/sh
log="$(dirname "$0")/gcc.log"
for a in "$@"; do printf '%s\n' "$a"; done > "$log.$$"
echo -- >> "$log.$$"
cat "$log.$$" >> "$log"; rm -f "$log.$$"
if [ "$1" = "-o" ]; then : > "$2"; exit 0; fi
src=$2
obj="${src%.*}.o"
previous=
for a in "$@"; do [ "$previous" = "-o" ] && obj=$a; previous=$a; done
grep -q SLOW "$src" && sleep 0.15
grep -q WARN "$src" && printf '%s:1:1: warning: a warning\n  | context\n' "$src" >&2
if grep -q FAIL "$src"; then printf '%s:1:1: error: an error\n' "$src" >&2; exit 1; fi
: > "$obj"
)sh";

// A project folder with the fake gcc set in Tarn's settings.
class FakeGccProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        gcc = dir.filePath("bin/gcc");
        ASSERT_TRUE(writeFile(gcc, kFakeGcc));
        ASSERT_TRUE(
            QFile::setPermissions(gcc, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        ASSERT_TRUE(writeFile(dir.filePath("config/Tarn32.ini"),
                              "[Options]\nGCC Path=" + gcc.toUtf8() + "\n"));
    }

    // Sources named alike in two folders, the project in a third.
    ProjectFile project(const QList<std::pair<QString, QByteArray>>& files)
    {
        ProjectFile file;
        for (const auto& [name, text] : files) {
            EXPECT_TRUE(writeFile(dir.filePath(name), text));
            file.sources << dir.filePath(name);
        }
        file.libraries = {"m"};
        return file;
    }
    QString save(const ProjectFile& file)
    {
        EXPECT_TRUE(QDir().mkpath(dir.filePath("proj")));
        EXPECT_TRUE(SaveProjectFile(projectPath(), file));
        return projectPath();
    }
    QString projectPath() const { return dir.filePath("proj/p.tarn"); }
    Finished tarn(const QStringList& arguments) { return runTarn(dir, arguments); }

    // The argument lists gcc was started with since the last call.
    QList<QStringList> runs()
    {
        const QString log = dir.filePath("bin/gcc.log");
        QList<QStringList> lists;
        QStringList current;
        const QString text = QString::fromUtf8(readFile(log));
        for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
            if (line == "--") {
                lists.append(current);
                current.clear();
            } else {
                current.append(line);
            }
        }
        QFile::remove(log);
        return lists;
    }

    QTemporaryDir dir;
    QString gcc;
};

// Each compile's rows stay together and compiles are shown in project
// order, whatever order they end in: every --jobs count writes what one
// compile at a time writes. With a failed compile no count links.
TEST_F(FakeGccProject, EveryWidthWritesTheRowsOfOneCompileAtATime)
{
    ProjectFile file = project({{"slow.c", "SLOW WARN"},
                                {"one/main.c", ""},
                                {"one/util.c", "WARN"},
                                {"two/util b.c", ""}});
    const QString path = save(file);
    const auto compiled = [&](int i, const QByteArray& report) {
        const QByteArray source = file.sources.at(i).toUtf8();
        return "compiling " + source + " with command line of:\n" + gcc.toUtf8() + " -c " +
               source + " \n" + report;
    };
    const auto warned = [](const QString& source) {
        return "Errors:\n\n" + source.toUtf8() + ":1:1: warning: a warning\n  | context\n\n";
    };
    const QByteArray clean = "No warnings or errors recieved from gcc\n\n";
    QByteArray link = gcc.toUtf8() + " -o " + dir.filePath("proj/p.exe").toUtf8() + " ";
    for (const QString& source : file.sources)
        link += SourceObject(source).toUtf8() + " ";
    const QByteArray rows = "Beginning compilation of project...\n\n" +
                            compiled(0, warned(file.sources.at(0))) + compiled(1, clean) +
                            compiled(2, warned(file.sources.at(2))) + compiled(3, clean) +
                            "Linking project with command line of:\n" + link + "-lm \n" + clean +
                            "Ending Compilation\n\n";

    const Finished one = tarn({"--rebuild", path});
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out.toStdString(), rows.toStdString());
    for (const char* jobs : {"2", "0"}) {
        SCOPED_TRACE(jobs);
        const Finished many = tarn({"--rebuild", "--jobs", jobs, path});
        EXPECT_EQ(many.status, 0);
        EXPECT_EQ(many.out.toStdString(), rows.toStdString());
    }

    ASSERT_TRUE(writeFile(file.sources.at(0), "WARN"));
    ASSERT_TRUE(writeFile(file.sources.at(1), "FAIL"));
    const Finished failedOne = tarn({"--rebuild", path});
    EXPECT_EQ(failedOne.status, 1);
    EXPECT_TRUE(failedOne.out.contains("error: an error")) << failedOne.out.toStdString();
    EXPECT_FALSE(failedOne.out.contains("Linking")) << failedOne.out.toStdString();
    EXPECT_TRUE(failedOne.out.endsWith(compiled(3, clean) + "Ending Compilation\n\n"));
    const Finished failedMany = tarn({"--rebuild", "--jobs", "3", path});
    EXPECT_EQ(failedMany.status, 1);
    EXPECT_EQ(failedMany.out.toStdString(), failedOne.out.toStdString());
}

// A count above the cap is capped with a note; the build still runs.
TEST_F(FakeGccProject, ACountAboveTheCapIsNoted)
{
    const QString path = save(project({{"a.c", ""}, {"b.c", ""}}));
    const Finished capped = tarn({"--build", "--jobs", "10000", path});
    EXPECT_EQ(capped.status, 0) << capped.out.toStdString();
    EXPECT_TRUE(capped.err.contains("--jobs 10000 is more than")) << capped.err.toStdString();
    EXPECT_TRUE(capped.out.endsWith("Ending Compilation\n\n"));
}

// make on the exported Makefile starts gcc with exactly the argument lists
// of Tarn's own build, in the same order; a compile outside the project
// folder names its object, since make runs it in the project folder.
TEST_F(FakeGccProject, TheMakefileRunsTheBuildsOwnArgumentLists)
{
    ProjectFile file = project({{"proj/main.c", ""}, {"one/util.c", ""}, {"two $x/it's b.c", ""}});
    file.libraries << "my lib";
    file.options.debugInfo = 1;
    file.options.otherOptions = R"(-DV="\$HOME" '-DQ=a b' -DR=$1)";
    const QString path = save(file);
    ASSERT_EQ(tarn({"--rebuild", path}).status, 0);
    const QList<QStringList> built = runs();
    ASSERT_EQ(built.size(), 4);
    EXPECT_EQ(built.at(0),
              QStringList({"-c", file.sources.at(0), "-g", "-DV=$HOME", "-DQ=a b", "-DR=$1"}));

    const Finished exported = tarn({"--export-makefile", path});
    EXPECT_EQ(exported.status, 0);
    const QString makefile = dir.filePath("proj/Makefile");
    EXPECT_EQ(exported.out, "Wrote file " + makefile.toUtf8() + " successfully\n\n");
    const BuildJob job = MakeBuildJob(file, path, gcc, false);
    EXPECT_EQ(readFile(makefile), MakefileContents(job));

    for (const QString& object : LinkObjects(job))
        ASSERT_TRUE(QFile::remove(object));
    QProcess make;
    make.setWorkingDirectory(dir.filePath("proj"));
    make.start("make", {"-f", "Makefile"});
    ASSERT_TRUE(make.waitForFinished(60000));
    EXPECT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
    QList<QStringList> expected;
    for (qsizetype i = 0; i < file.sources.size(); ++i) {
        QStringList arguments = built.at(i);
        if (i > 0)
            arguments << "-o" << SourceObject(file.sources.at(i));
        expected << arguments;
        EXPECT_EQ(arguments,
                  CompileInvocationIn(job, file.sources.at(i), job.projectDirectory).arguments);
    }
    expected << built.last();
    EXPECT_EQ(built.last(), LinkStep(job).invocation.arguments);
    EXPECT_EQ(runs(), expected);
}

// compile_commands.json holds each source's step exactly as the build runs
// it; a source without an extension is never compiled. A folder where the
// file cannot go: reported, status 1.
TEST_F(FakeGccProject, CompileCommandsHoldEachCompileAsTheBuildRunsIt)
{
    ProjectFile file = project({{"one/main.c", ""}, {"two/util b.c", ""}, {"README", ""}});
    file.options.otherOptions = "-DA='x y'";
    const QString path = save(file);
    const QString written = dir.filePath("proj/compile_commands.json");
    const Finished commands = tarn({"--export-compile-commands", path});
    EXPECT_EQ(commands.status, 0);
    EXPECT_EQ(commands.out, "Wrote file " + written.toUtf8() + " successfully\n\n");
    const QJsonArray entries = QJsonDocument::fromJson(readFile(written)).array();
    const BuildJob job = MakeBuildJob(file, path, gcc, false);
    ASSERT_EQ(entries.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QJsonObject entry = entries.at(i).toObject();
        const Invocation step = CompileStep(job, file.sources.at(i)).invocation;
        EXPECT_EQ(entry.value("file").toString(), file.sources.at(i));
        EXPECT_EQ(entry.value("directory").toString(), step.workingDirectory);
        QStringList arguments;
        for (const QJsonValue& argument : entry.value("arguments").toArray())
            arguments << argument.toString();
        EXPECT_EQ(arguments, QStringList{gcc} + step.arguments);
    }
    EXPECT_TRUE(runs().isEmpty());

    ASSERT_TRUE(QFile::remove(written));
    ASSERT_TRUE(QDir().mkdir(written));
    const Finished blocked = tarn({"--export-compile-commands", path});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(blocked.out.isEmpty());
    EXPECT_TRUE(blocked.err.startsWith("tarn: compile_commands.json could not be created: "))
        << blocked.err.toStdString();
}

// The real gcc: one compile at a time and two side by side write the same
// rows, its warning report included, and the program links with the maths
// library from objects named alike in two folders.
TEST(ProjectCommandLine, TheRealGccWritesTheSameRowsAtEveryWidth)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProjectFile project;
    const std::pair<const char*, QByteArray> files[] = {
        {"one/main.c",
         "#include <stdio.h>\nint twice(int);\ndouble root(double);\n"
         "int main(void) { printf(\"%d %.0f\\n\", twice(21), root(81)); return 0; }\n"},
        {"one/util.c", "int twice(int x) { int unused; return 2 * x; }\n"},
        {"two/util b.c", "#include <math.h>\ndouble root(double x) { return sqrt(x); }\n"},
    };
    for (const auto& [name, text] : files) {
        ASSERT_TRUE(writeFile(dir.filePath(name), text));
        project.sources << dir.filePath(name);
    }
    project.libraries = {"m"};
    project.options.warningLevel = 2; // -Wall
    const QString projectPath = dir.filePath("proj/p.tarn");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("proj")));
    ASSERT_TRUE(SaveProjectFile(projectPath, project));
    const QString gcc = QStandardPaths::findExecutable("gcc");

    const Finished one = runTarn(dir, {"--rebuild", projectPath});
    ASSERT_EQ(one.status, 0) << one.out.toStdString();
    const QString clean = "No warnings or errors recieved from gcc";
    QStringList rows = QString::fromUtf8(one.out).split('\n');
    const QStringList opening{"Beginning compilation of project...", "",
                              "compiling " + project.sources.at(0) + " with command line of:",
                              gcc + " -c " + project.sources.at(0) + " -Wall ", clean, ""};
    EXPECT_EQ(rows.mid(0, opening.size()), opening);
    EXPECT_TRUE(one.out.contains("warning: unused variable")) << one.out.toStdString();
    EXPECT_TRUE(one.out.endsWith(" -lm \n" + clean.toUtf8() + "\n\nEnding Compilation\n\n"));
    EXPECT_EQ(runTarn(dir, {"--rebuild", "--jobs", "2", projectPath}).out, one.out);
    EXPECT_EQ(testsupport::programOutput(dir.filePath("proj/p.exe")), "42 9\n");
}

} // namespace
