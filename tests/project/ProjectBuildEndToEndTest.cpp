// Project builds and the Makefile export with the real gcc and make, through
// the command-line entry (the same engine the IDE's commands start).
#include "app/IdeSettings.h"
#include "project/BuildJob.h"
#include "project/CommandLineBuild.h"
#include "project/MakefileWriter.h"
#include "project/ProjectJobs.h"
#include "tools/JobManager.h"
#include "tools/ToolDirectory.h"
#include "project/ProjectFileCodec.h"
#include "support/TestSupport.h"
#include "tools/RecordingSink.h" // readable QString failures

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct CommandRun {
    int status = -1;
    QStringList rows;
    QString errors;
};

class ProjectBuildEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(testsupport::writeFile(settingsFilePath(),
                                           "[Options]\nGCC Path=/usr/bin/gcc\nClear=1\n"));
    }
    void TearDown() override { QFile::remove(settingsFilePath()); }

    QString path(const QString& name) const { return dir.filePath(name); }
    void source(const QString& name, const QByteArray& text)
    {
        ASSERT_TRUE(testsupport::writeFile(path(name), text));
    }
    // The three-source program with the maths library.
    ProjectFile threeSources()
    {
        source("main.c", "#include <stdio.h>\nint twice(int);\ndouble root(double);\n"
                         "int main(void) { printf(\"%d %.0f\\n\", twice(21), root(81)); "
                         "return 0; }\n");
        source("twice.c", "int twice(int x) { return 2 * x; }\n");
        source("root.c", "#include <math.h>\ndouble root(double x) { return sqrt(x); }\n");
        ProjectFile project;
        project.sources = {path("main.c"), path("twice.c"), path("root.c")};
        project.libraries = {"m"};
        return project;
    }
    QString save(const ProjectFile& project, const QString& name = "hello.tarn")
    {
        const QString file = path(name);
        EXPECT_TRUE(SaveProjectFile(file, project));
        return file;
    }
    CommandRun run(const QString& option, const QStringList& arguments)
    {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        CommandRun result;
        result.status = RunProjectCommand(option, arguments, out, err);
        result.rows = QString::fromUtf8(out.data()).split('\n');
        result.errors = QString::fromUtf8(err.data());
        return result;
    }
    QStringList compiled(const QString& source) const
    {
        return {"compiling " + source + " with command line of:", "/usr/bin/gcc -c " + source + " ",
                "No warnings or errors recieved from gcc", ""};
    }
    QString programOutput(const QString& program)
    {
        QProcess process;
        process.start(program, {});
        process.waitForFinished();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    QTemporaryDir dir;
};

TEST_F(ProjectBuildEndToEnd, BuildsThreeSourcesWithALibrary)
{
    const QString project = save(threeSources());
    const QStringList linkRows{"Linking project with command line of:",
                               "/usr/bin/gcc -o " + path("hello.exe") + " " + path("main.o") + " " +
                                   path("twice.o") + " " + path("root.o") + " -lm ",
                               "No warnings or errors recieved from gcc", "",
                               "Ending Compilation", "", ""};
    // What is out of date is BuildProject's (scripted gcc, real file times).
    CommandRun first = run("--build", {project});
    EXPECT_EQ(first.status, 0) << first.errors.toStdString();
    EXPECT_EQ(first.rows, QStringList({"Beginning compilation of project...", ""}) +
                              compiled(path("main.c")) + compiled(path("twice.c")) +
                              compiled(path("root.c")) + linkRows);
    EXPECT_EQ(programOutput(path("hello.exe")), "42 9\n");
}

// The IDE's project build and Export and Make end with their verdict for
// the status bar, after their rows.
TEST_F(ProjectBuildEndToEnd, BuildJobsEndWithTheirVerdict)
{
    const ProjectFile project = threeSources();
    const QString file = save(project);
    JobManager jobs;
    RecordingSink sink;
    const auto verdictOf = [&](const std::function<int()>& start) {
        sink.rows.clear();
        sink.statuses.clear();
        EXPECT_NE(start(), 0);
        EXPECT_TRUE(jobs.waitForAll(60000));
        FlushMessages();
        return sink.statuses;
    };
    const auto rebuild = [&] { return StartProjectBuild(MakeBuildJob(project, file, "/usr/bin/gcc", false, BuildKind::All)); };
    EXPECT_EQ(verdictOf(rebuild), std::vector<QString>{"Build succeeded"});
    source("twice.c", "int twice(int x) { return 2 * x }\n");
    EXPECT_EQ(verdictOf(rebuild), std::vector<QString>{"Build failed: 1 error"});
    EXPECT_EQ(sink.rows.back().first, "Ending Compilation");
    // No makefile in the folder: make ends with status 2.
    EXPECT_EQ(verdictOf([&] { return StartExportAndMake("make", dir.path()); }),
              std::vector<QString>{"make failed (exit status 2)"});
    setToolDirectory(QString());
}

TEST_F(ProjectBuildEndToEnd, SourcesInTwoFoldersAndTheProjectInAThirdBuildAndLink)
{
    source("one/main.c", "int helper(void);\nint main(void) { return helper(); }\n");
    source("two/main b.c", "int helper(void) { return 7; }\n");
    ProjectFile project;
    project.sources = {path("one/main.c"), path("two/main b.c")};
    QDir(dir.path()).mkpath("proj");
    const QString file = save(project, "proj/p.tarn");
    // Tarn's own current directory is elsewhere; objects land beside their sources.
    CommandRun result = run("--build", {file});
    EXPECT_EQ(result.status, 0) << result.rows.join('\n').toStdString();
    EXPECT_TRUE(QFileInfo::exists(path("one/main.o")));
    EXPECT_TRUE(QFileInfo::exists(path("two/main b.o")));
    QProcess program;
    program.start(path("proj/p.exe"), {});
    ASSERT_TRUE(program.waitForFinished());
    EXPECT_EQ(program.exitCode(), 7);

    // The exported Makefile builds the same program with make.
    EXPECT_EQ(run("--export-makefile", {file}).status, 0);
    QFile::remove(path("proj/p.exe"));
    QProcess make;
    make.setWorkingDirectory(path("proj"));
    make.start("make", {"-B"});
    ASSERT_TRUE(make.waitForFinished());
    EXPECT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
    program.start(path("proj/p.exe"), {});
    ASSERT_TRUE(program.waitForFinished());
    EXPECT_EQ(program.exitCode(), 7);
}

TEST_F(ProjectBuildEndToEnd, ExportWritesTheProjectsMakefile)
{
    ProjectFile project = threeSources();
    project.options.debugInfo = 1;
    const QString file = save(project);
    CommandRun result = run("--export-makefile", {file});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.rows, QStringList({"Wrote file " + path("Makefile") + " successfully", "", ""}));
    // The text itself is MakefileWriter's worked example.
    EXPECT_EQ(testsupport::readFile(path("Makefile")),
              MakefileContents(MakeBuildJob(project, file, "/usr/bin/gcc", false)));
    // make runs exported files in SourcesInTwoFolders... and ExportAndMake.
}

TEST_F(ProjectBuildEndToEnd, CommandLineStatusesForBadInput)
{
    struct Case {
        const char* name;
        QString option;
        QStringList arguments;
        int status;
    };
    ProjectFile missingLibrary = threeSources();
    missingLibrary.libraries = {"m", "nosuchlibrary"};
    ProjectFile missingSource = threeSources();
    missingSource.sources.append(path("gone.c"));
    ProjectFile badOutput = threeSources();
    badOutput.outputName = path("no/such/dir/x.exe");
    ASSERT_TRUE(testsupport::writeFile(path("broken.tarn"), "\x05\x00"));
    const Case cases[] = {
        {"no project", "--build", {}, 2},
        {"two projects", "--rebuild", {"a.tarn", "b.tarn"}, 2},
        {"missing file", "--build", {path("none.tarn")}, 2},
        {"invalid project", "--build", {path("broken.tarn")}, 2},
        {"no sources", "--build", {save(ProjectFile(), "empty.tarn")}, 2},
        {"library that does not exist", "--build", {save(missingLibrary, "lib.tarn")}, 1},
        {"missing source", "--build", {save(missingSource, "gone.tarn")}, 1},
        {"output folder that does not exist", "--build", {save(badOutput, "out.tarn")}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandRun result = run(c.option, c.arguments);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.status == 2, result.errors.startsWith("tarn: "))
            << result.errors.toStdString();
    }
    // A gcc path that names a folder cannot start: reported, nothing links.
    ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), "[Options]\nGCC Path=/usr\n"));
    const QString hello = save(threeSources());
    const CommandRun folder = run("--rebuild", {hello});
    EXPECT_EQ(folder.status, 1);
    EXPECT_TRUE(folder.rows.join('\n').contains("Error: could not start /usr"));

    // No gcc set and none on PATH.
    ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), "[Options]\nGCC Path=\n"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    const CommandRun noGcc = run("--build", {hello});
    qputenv("PATH", path);
    EXPECT_EQ(noGcc.status, 2);
    EXPECT_TRUE(noGcc.errors.contains("gcc")) << noGcc.errors.toStdString();
}

} // namespace
