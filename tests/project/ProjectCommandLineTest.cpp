// tarn --build / --rebuild / --export-makefile / --help as a user runs them:
// the real program, no display, the gcc found on PATH.
#include "TarnRun.h"

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

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

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

QString programOutput(const QString& program)
{
    QProcess run;
    run.start(program, {});
    run.waitForFinished(30000);
    return QString::fromUtf8(run.readAllStandardOutput());
}

// Sources named alike in two folders, the project in a third, the maths
// library. The first source is the slowest to compile, so parallel compiles
// end out of order: every --jobs count prints what --jobs 1 prints, each
// source's rows together, in project order. (Failed compiles, make on the
// export and hostile names: HonestBuildTest.cpp; option errors:
// HeadlessModeTest.cpp.)
TEST(ProjectCommandLine, BuildsInParallelAndExportsTheMakefileAndTheCompileCommands)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray slow;
    for (int i = 0; i < 3000; ++i)
        slow += "int f" + QByteArray::number(i) + "(int x) { return x * " + QByteArray::number(i) + "; }\n";
    ProjectFile project;
    const std::pair<const char*, QByteArray> files[] = {
        {"slow.c", slow},
        {"one/main.c",
         "#include <stdio.h>\nint twice(int);\ndouble root(double);\n"
         "int main(void) { printf(\"%d %.0f\\n\", twice(21), root(81)); return 0; }\n"},
        {"one/util.c", "int twice(int x) { return 2 * x; }\n"},
        {"two/util b.c", "#include <math.h>\ndouble root(double x) { return sqrt(x); }\n"},
    };
    for (const auto& [name, text] : files) {
        ASSERT_TRUE(writeFile(dir.filePath(name), text));
        project.sources << dir.filePath(name);
    }
    project.libraries = {"m"};
    ASSERT_TRUE(QDir(dir.path()).mkdir("proj"));
    const QString projectPath = dir.filePath("proj/p.tarn");
    ASSERT_TRUE(SaveProjectFile(projectPath, project));
    const QString gcc = QStandardPaths::findExecutable("gcc");
    const QString clean = "No warnings or errors recieved from gcc";
    QStringList rows{"Beginning compilation of project...", ""};
    QString link = gcc + " -o " + dir.filePath("proj/p.exe") + " ";
    for (const QString& source : project.sources) {
        rows += {"compiling " + source + " with command line of:", gcc + " -c " + source + " ",
                 clean, ""};
        link += SourceObject(source) + " ";
    }
    rows += QStringList{"Linking project with command line of:", link + "-lm ", clean, ""};
    rows += QStringList{"Ending Compilation", "", ""};

    const Finished one = runTarn(dir, {"--rebuild", projectPath});
    ASSERT_EQ(one.status, 0) << one.out.toStdString();
    EXPECT_EQ(QString::fromUtf8(one.out).split('\n'), rows);
    for (const char* jobs : {"8", "0"}) {
        const Finished many = runTarn(dir, {"--rebuild", "--jobs", jobs, projectPath});
        EXPECT_EQ(many.status, 0) << jobs;
        EXPECT_EQ(many.out, one.out) << jobs;
    }
    EXPECT_EQ(programOutput(dir.filePath("proj/p.exe")), "42 9\n");

    const Finished exported = runTarn(dir, {"--export-makefile", projectPath});
    EXPECT_EQ(exported.status, 0);
    EXPECT_EQ(exported.out,
              "Wrote file " + dir.filePath("proj/Makefile").toUtf8() + " successfully\n\n");
    QFile makefile(dir.filePath("proj/Makefile"));
    ASSERT_TRUE(makefile.open(QIODevice::ReadOnly));
    EXPECT_EQ(makefile.readAll(), MakefileContents(MakeBuildJob(project, projectPath, gcc, false)));

    // A count above the cap is capped with a note; the build still runs.
    const Finished capped = runTarn(dir, {"--build", "--jobs", "10000", projectPath});
    EXPECT_EQ(capped.status, 0);
    EXPECT_TRUE(capped.err.contains("--jobs 10000 is more than")) << capped.err.toStdString();

    // compile_commands.json holds each source's step exactly as the build
    // runs it; a source without an extension is never compiled.
    project.sources << dir.filePath("README");
    ASSERT_TRUE(SaveProjectFile(projectPath, project));
    const QString written = dir.filePath("proj/compile_commands.json");
    const Finished commands = runTarn(dir, {"--export-compile-commands", projectPath});
    EXPECT_EQ(commands.out, "Wrote file " + written.toUtf8() + " successfully\n\n");
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray entries = QJsonDocument::fromJson(file.readAll()).array();
    const BuildJob job = MakeBuildJob(project, projectPath, gcc, false);
    ASSERT_EQ(entries.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject entry = entries.at(i).toObject();
        const Invocation step = CompileStep(job, project.sources.at(i)).invocation;
        EXPECT_EQ(entry.value("file").toString(), project.sources.at(i));
        EXPECT_EQ(entry.value("directory").toString(), step.workingDirectory);
        QStringList arguments;
        for (const QJsonValue& argument : entry.value("arguments").toArray())
            arguments << argument.toString();
        EXPECT_EQ(arguments, QStringList{step.program} + step.arguments);
    }
    // A folder where the file cannot go: reported, status 1.
    ASSERT_TRUE(QFile::remove(written));
    ASSERT_TRUE(QDir().mkdir(written));
    const Finished blocked = runTarn(dir, {"--export-compile-commands", projectPath});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(blocked.out.isEmpty());
    EXPECT_TRUE(blocked.err.startsWith("tarn: compile_commands.json could not be created: "))
        << blocked.err.toStdString();
}

} // namespace
