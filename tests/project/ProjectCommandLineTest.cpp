// tarn --build / --rebuild / --export-makefile / --help as a user runs them:
// the real program, no display, the gcc found on PATH.
#include "project/ProjectFileCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Finished {
    int status = -1;
    QByteArray out;
};

Finished runTarn(const QTemporaryDir& home, const QStringList& arguments)
{
    QProcess tarn;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    // No Tarn32.ini: the gcc path is unset, so the one on PATH is used.
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("LC_ALL", "C");
    tarn.setProcessEnvironment(env);
    tarn.start(TARN_EXECUTABLE, arguments);
    EXPECT_TRUE(tarn.waitForFinished(60000));
    return {tarn.exitStatus() == QProcess::NormalExit ? tarn.exitCode() : -1,
            tarn.readAllStandardOutput()};
}

TEST(ProjectCommandLine, BuildsWithoutADisplayAndExitsWithTheBuildsStatus)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath("hello.c");
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("int main(void) { return 0; }\n");
    file.close();
    ProjectFile project;
    project.sources = {source};
    const QString projectPath = dir.filePath("hello.tarn");
    ASSERT_TRUE(SaveProjectFile(projectPath, project));

    const Finished help = runTarn(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--build", "--rebuild", "--export-makefile", "--functions"})
        EXPECT_TRUE(help.out.contains(option)) << option;

    const Finished rebuild = runTarn(dir, {"--rebuild", projectPath});
    EXPECT_EQ(rebuild.status, 0) << rebuild.out.toStdString();
    EXPECT_TRUE(rebuild.out.startsWith("Beginning compilation of project...\n\ncompiling "));
    EXPECT_TRUE(rebuild.out.endsWith("Ending Compilation\n\n"));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("hello.exe")));

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("int main(void) { return 0 }\n");
    file.close();
    EXPECT_EQ(runTarn(dir, {"--rebuild", projectPath}).status, 1);
    EXPECT_EQ(runTarn(dir, {"--export-makefile", projectPath}).status, 0);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Makefile")));
    EXPECT_EQ(runTarn(dir, {"--build"}).status, 2);
}

} // namespace
