// The project window's build and export commands, driven through the real
// windows with the real gcc and make.
#include "ProjectFixture.h"

#include "singlefile/MakeRun.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <signal.h>

namespace {

// The shared project fixture with Stop Build's state.
class ProjectBuildCommands : public ProjectFixture {
protected:
    bool stopEnabled() const { return app->mainWindow()->router()->isEnabled(cmd::StopBuild); }
};

TEST_F(ProjectBuildCommands, RefusalsShowTheirMessageAndStartNothing)
{
    struct Case {
        const char* name;
        QString gcc;
        bool saved;
        bool withSource;
        int command;
        QString message;
    };
    const QString gccMessage =
        "It appears you have not set your gcc path! GCC is the base C compiler for djgpp, you "
        "must set the path to its executable on the options menu with the \"browse\" button.";
    const QString makeMessage =
        "It appears you have not set your make path! If you have installed Make, the GNU "
        "project manager, you must set the path to its executable on the options menu with the "
        "\"browse\" button.";
    const Case cases[] = {
        {"no gcc", "", true, true, cmd::BuildProject, gccMessage},
        {"unsaved", "/usr/bin/gcc", false, true, cmd::RebuildAll, "Please save the project before continuing"},
        {"empty", "/usr/bin/gcc", true, false, cmd::BuildProject, "there are no files in the project"},
        {"unsaved export", "/usr/bin/gcc", false, true, cmd::ExportMakefile,
         "Please save the project before continuing"},
        {"no make", "/usr/bin/gcc", true, true, cmd::ExportAndMake, makeMessage},
    };
    source("a.c", "int main(void) { return 0; }\n");
    saveAs("p.tarn");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setSettings(c.gcc, "");
        doc->setPathName(c.saved ? path("p.tarn") : QString(), false);
        doc->project().sources = c.withSource ? QStringList{path("a.c")} : QStringList{};
        prompts.messages.clear();
        sink->rows.clear();
        ASSERT_TRUE(execute(c.command));
        EXPECT_EQ(prompts.messages, QStringList{c.message});
        EXPECT_EQ(app->mainWindow()->context().jobs().runningCount(), 0);
        app->mainWindow()->context().messages().flush();
        EXPECT_TRUE(sink->rows.empty());
    }
    EXPECT_FALSE(QFileInfo::exists(path("Makefile")));
}

// Two builds started at once both finish and link, each from a copy of the
// project taken when it started; the window stays editable meanwhile. Each
// ends with its verdict for the status bar. (The two build different
// files: two builds writing the same objects at once would race.)
TEST_F(ProjectBuildCommands, BuildsRunOnWorkersFromASnapshot)
{
    doc->project().sources = {source("main.c", "int f(void);\nint main(void) { return f(); }\n"),
                              source("f.c", "int f(void) { return 4; }\n")};
    saveAs("p.tarn");
    IdeSettings settings = app->mainWindow()->context().settings();
    settings.clearBeforeBuild = 0; // keep the rows of both
    app->mainWindow()->context().setSettings(settings);
    ASSERT_TRUE(execute(cmd::RebuildAll));
    EXPECT_EQ(app->mainWindow()->context().lastRunCommand, path("p.exe"));
    const QStringList sources = doc->project().sources;
    doc->project().sources = {source("two.c", "int main(void) { return 0; }\n")};
    doc->project().outputName = path("two.exe");
    ASSERT_TRUE(execute(cmd::BuildProject));
    EXPECT_EQ(app->mainWindow()->context().lastRunCommand, path("two.exe"));
    doc->project().sources.append(path("later.c"));
    doc->project().outputName = path("other.exe");
    finishJobs();
    const QStringList rows = texts();
    EXPECT_EQ(rows.count("Beginning compilation of project..."), 2);
    EXPECT_EQ(rows.count("Ending Compilation"), 2);
    EXPECT_EQ(rows.count("Linking project with command line of:"), 2);
    EXPECT_TRUE(QFileInfo::exists(path("p.exe")));
    EXPECT_TRUE(QFileInfo::exists(path("two.exe")));
    EXPECT_FALSE(QFileInfo::exists(path("other.exe")));
    EXPECT_EQ(sink->statuses, std::vector<QString>(2, "Build succeeded"));

    // A relative output name is linked in the project folder: Run is
    // offered that file.
    doc->project().sources = sources;
    // Any value of "Clear" but 0 clears the window first.
    doc->project().outputName = "rel.exe";
    settings.clearBeforeBuild = 2;
    app->mainWindow()->context().setSettings(settings);
    ASSERT_TRUE(execute(cmd::BuildProject));
    EXPECT_EQ(app->mainWindow()->context().lastRunCommand, path("rel.exe"));
    finishJobs();
    EXPECT_TRUE(QFileInfo::exists(path("rel.exe")));
    EXPECT_EQ(texts().first(), "Beginning compilation of project...");

    source("f.c", "int f(void) { return 4 }\n");
    doc->project().outputName.clear();
    ASSERT_TRUE(execute(cmd::BuildProject));
    finishJobs();
    EXPECT_EQ(sink->statuses.back(), "Build failed: 1 error");
}

TEST_F(ProjectBuildCommands, ExportAndMakeWritesTheFileAndBuildsTheSameProgram)
{
    setSettings("/usr/bin/gcc", "/usr/bin/make");
    doc->project().sources.append(source("main.c", "int main(void) { return 5; }\n"));
    saveAs("p.tarn");
    ASSERT_TRUE(execute(cmd::ExportMakefile));
    EXPECT_EQ(app->mainWindow()->context().lastMakeFile, path("Makefile"));
    const QByteArray exported = testsupport::readFile(path("Makefile"));
    EXPECT_EQ(texts(), QStringList({"Wrote file " + path("Makefile") + " successfully", ""}));

    // GNU make would prefer a "makefile" beside it; the one just written
    // runs. Any value of "Clear" but 0 clears, as for every other build.
    source("makefile", "p.exe:\n\ttouch wrong-makefile\n");
    IdeSettings settings = app->mainWindow()->context().settings();
    settings.clearBeforeBuild = 2;
    app->mainWindow()->context().setSettings(settings);
    ASSERT_TRUE(execute(cmd::ExportAndMake));
    finishJobs();
    EXPECT_FALSE(QFileInfo::exists(path("wrong-makefile")));
    EXPECT_EQ(testsupport::readFile(path("Makefile")), exported);
    const QStringList rows = texts();
    ASSERT_GE(rows.size(), 6);
    EXPECT_EQ(rows.first(), "Wrote file " + path("Makefile") + " successfully");
    EXPECT_EQ(rows[2], "Output from make:");
    EXPECT_EQ(rows.mid(rows.size() - 4),
              QStringList({"No errors recieved from make", "", "Ending make", ""}));
    EXPECT_TRUE(QFileInfo::exists(path("p.exe")));
    EXPECT_EQ(sink->statuses, std::vector<QString>{"Build succeeded"});

    // A folder where the file should go: said, and remembered all the same.
    ASSERT_TRUE(QFile::remove(path("Makefile")));
    QDir(dir.path()).mkdir("Makefile");
    sink->rows.clear();
    ASSERT_TRUE(execute(cmd::ExportMakefile));
    app->mainWindow()->context().messages().flush();
    ASSERT_FALSE(texts().isEmpty());
    EXPECT_EQ(texts().first(), "Makefile could not be created");
    EXPECT_EQ(app->mainWindow()->context().lastMakeFile, path("Makefile"));
}

// Stop Build ends a make that sleeps in its recipe, with the whole process
// group, and a project build flooding output: one row says so, and nothing
// of either runs after the stop.
TEST_F(ProjectBuildCommands, StopBuildEndsAMakeAndAFloodingBuild)
{
    // Nothing runs: the command is disabled and does nothing.
    EXPECT_FALSE(stopEnabled());
    EXPECT_FALSE(execute(cmd::StopBuild));
    // A "gcc" that writes 20 MB of diagnostics, then waits for ever.
    const QString gcc = source("flood-gcc", "#!/bin/sh\n"
                                            "yes 'a.c:1:1: error: flood' | head -c 20000000 >&2\n"
                                            "exec sleep 300\n");
    ASSERT_TRUE(QFile::setPermissions(gcc, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    setSettings(gcc, "/usr/bin/make");
    IdeSettings settings = app->mainWindow()->context().settings();
    settings.clearBeforeBuild = 0; // keep the make's rows
    app->mainWindow()->context().setSettings(settings);
    source("Makefile",
           "all:\n\techo started; sh -c 'echo $$$$ > pid; exec sleep 300'; echo never\n");
    doc->project().sources = {source("a.c", "int main(void) { return 0; }\n"),
                              source("b.c", "int b;\n")};
    saveAs("p.tarn");
    ASSERT_NE(MakeThread(app->mainWindow()->context(), path("Makefile")), 0);
    ASSERT_TRUE(execute(cmd::RebuildAll));
    ASSERT_TRUE(waitForRow("started"));
    ASSERT_TRUE(waitForRow("a.c:1:1: error: flood"));
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return !testsupport::readFile(path("pid")).isEmpty(); }));
    const pid_t sleeper = testsupport::readFile(path("pid")).trimmed().toInt();
    ASSERT_GT(sleeper, 0);
    EXPECT_TRUE(stopEnabled());
    ASSERT_TRUE(execute(cmd::StopBuild));
    // Pressed again while the jobs wind down: disabled, harmless.
    EXPECT_FALSE(stopEnabled());
    EXPECT_FALSE(execute(cmd::StopBuild));
    finishJobs();
    const QStringList rows = texts();
    EXPECT_EQ(rows.mid(rows.size() - 2), QStringList({"Stopped by the user", ""}));
    EXPECT_EQ(rows.count("Stopped by the user"), 1);
    // A stopped make's silence is no success.
    for (const QString& row :
         QStringList{"never", "Ending make", "No errors recieved from make",
                     "compiling " + path("b.c") + " with command line of:",
                     "Linking project with command line of:", "Ending Compilation"})
        EXPECT_FALSE(rows.contains(row)) << row.toStdString();
    EXPECT_EQ(app->mainWindow()->context().jobs().runningCount(), 0);
    EXPECT_FALSE(stopEnabled());
    EXPECT_TRUE(testsupport::waitUntil([&] { return ::kill(sleeper, 0) != 0; }))
        << "the recipe's sleep survived the stop";
}

} // namespace
