#include "project/BuildSteps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

BuildJob job(const CompileOptions& options = {})
{
    BuildJob j;
    j.gccPath = "/usr/bin/gcc";
    j.options = options;
    j.outputFile = "/p/hello.exe";
    j.projectDirectory = "/p/";
    return j;
}

// The flags and their order are CompileOptions'.
TEST(BuildSteps, CompileStepRunsBesideTheSourceAndShowsTheProjectLine)
{
    CompileOptions options;
    options.debugInfo = 1;
    options.otherOptions = "-DNAME='a b'";
    const BuildStep step = CompileStep(job(options), "/s/x y.cpp");
    EXPECT_EQ(step.invocation.program, "/usr/bin/gcc");
    EXPECT_EQ(step.invocation.arguments, QStringList({"-c", "/s/x y.cpp", "-g", "-DNAME=a b"}));
    EXPECT_EQ(step.invocation.workingDirectory, "/s/");
    EXPECT_EQ(step.shownLine, "/usr/bin/gcc -c /s/x y.cpp -g -DNAME='a b' ");
}

TEST(BuildSteps, LinkLineHasABlankAfterEveryEntryAndObjectsBesideTheirSources)
{
    BuildJob j = job();
    j.sources = {"/p/main.c", "/lib/util.cc", "/q r/x.y.c"};
    j.libraries = {"m", "my lib"};
    const BuildStep step = LinkStep(j);
    EXPECT_EQ(step.shownLine,
              "/usr/bin/gcc -o /p/hello.exe /p/main.o /lib/util.o /q r/x.y.o -lm -lmy lib ");
    EXPECT_EQ(step.invocation.arguments, QStringList({"-o", "/p/hello.exe", "/p/main.o", "/lib/util.o",
                                           "/q r/x.y.o", "-lm", "-lmy lib"}));
    EXPECT_EQ(step.invocation.workingDirectory, "/p/");

    j.sources.clear();
    j.libraries.clear();
    EXPECT_EQ(LinkStep(j).shownLine, "/usr/bin/gcc -o /p/hello.exe ");
}

TEST(BuildSteps, JobOutputIsNamedAfterTheProjectUnlessSet)
{
    ProjectFile project;
    project.sources = {"/p/a.c"};
    project.libraries = {"m"};
    project.options.debugInfo = 1;
    const BuildJob j = MakeBuildJob(project, "/p/hello.tarn", "/usr/bin/gcc", true, BuildKind::All);
    project.outputName = "/elsewhere/x";
    EXPECT_EQ(j.sources, QStringList{"/p/a.c"});
    EXPECT_EQ(j.outputFile, "/p/hello.exe");
    EXPECT_EQ(j.projectDirectory, "/p/");
    EXPECT_EQ(j.options.debugInfo, 1);
    EXPECT_TRUE(j.clearBeforeBuild);
    EXPECT_EQ(MakeBuildJob(project, "/p/hello.tarn", "gcc", false).outputFile, "/elsewhere/x");
    EXPECT_FALSE(HasObjectName("/p.d/Makefile"));
    EXPECT_TRUE(HasObjectName("/p/.c"));
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

TEST(BuildSteps, ObjectIsCurrentAtTheFileSystemsPrecision)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath("a.c");
    const QString object = dir.filePath("a.o");
    for (const QString& path : {source, object}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    using namespace std::chrono_literals;
    const auto base = std::filesystem::last_write_time(fsPath(object));
    struct Case {
        const char* name;
        std::chrono::nanoseconds sourceOffset;
        bool current;
    };
    // A few milliseconds apart fall in the same second; a test at whole
    // seconds would call the later source current.
    const Case cases[] = {
        {"equal times", 0ns, true},
        {"source older", -5ms, true},
        {"source later in the same second", 5ms, false},
        {"source a minute later", 60s, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::last_write_time(fsPath(source), base + c.sourceOffset);
        // A file system with coarse times (FAT, some network mounts) cannot
        // hold a few milliseconds: the row says nothing there.
        if (std::filesystem::last_write_time(fsPath(source)) - base != c.sourceOffset)
            continue;
        EXPECT_EQ(ObjectIsCurrent(source, object), c.current);
    }
    EXPECT_FALSE(ObjectIsCurrent(source, dir.filePath("missing.o")));
    EXPECT_FALSE(ObjectIsCurrent(dir.filePath("missing.c"), object));
}

} // namespace
