// The statuses of the command-line build for bad input, with the real
// program and gcc (the good runs are ProjectCommandLine's).
#include "settings/SettingsCodec.h"
#include "project/ProjectFileCodec.h"
#include "support/TarnRun.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CommandRun {
    int status = -1;
    QString out;
    QString errors;
};

using testsupport::writeFile;

// A settings folder of the test's own for as long as it lives.
class PrivateSettings {
public:
    PrivateSettings() : m_old(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }
    ~PrivateSettings() { qputenv("XDG_CONFIG_HOME", m_old); }

private:
    QTemporaryDir m_config;
    QByteArray m_old;
};

// The program inherits the test's settings folder and PATH.
CommandRun run(const QString& option, const QStringList& arguments)
{
    const tarntest::Finished finished = tarntest::runTarn(QStringList{option} + arguments);
    return {finished.status, QString::fromUtf8(finished.out), QString::fromUtf8(finished.err)};
}

TEST(ProjectBuildEndToEnd, CommandLineStatusesForBadInput)
{
    const PrivateSettings settings;
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(settingsFilePath(), "[Options]\nGCC Path=/usr/bin/gcc\n"));
    ASSERT_TRUE(writeFile(dir.filePath("main.c"), "int main(void) { return 0; }\n"));
    ASSERT_TRUE(writeFile(dir.filePath("broken.tarn"), "\x05\x00"));
    const auto save = [&](const QString& name, const QStringList& sources,
                          const QStringList& libraries = {}, const QString& output = {}) {
        ProjectFile project;
        project.sources = sources;
        project.libraries = libraries;
        project.outputName = output;
        EXPECT_TRUE(SaveProjectFile(dir.filePath(name), project));
        return dir.filePath(name);
    };
    const QString main = dir.filePath("main.c");
    const struct {
        const char* name;
        QString option;
        QStringList arguments;
        int status;
    } cases[] = {
        {"no project", "--build", {}, 2},
        {"two projects", "--rebuild", {"a.tarn", "b.tarn"}, 2},
        {"missing file", "--build", {dir.filePath("none.tarn")}, 2},
        {"invalid project", "--build", {dir.filePath("broken.tarn")}, 2},
        {"no sources", "--build", {save("empty.tarn", {})}, 2},
        {"unknown library", "--build", {save("lib.tarn", {main}, {"nosuchlibrary"})}, 1},
        {"missing source", "--build", {save("gone.tarn", {main, dir.filePath("gone.c")})}, 1},
        {"no output folder", "--build", {save("out.tarn", {main}, {}, dir.filePath("no/x"))}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandRun result = run(c.option, c.arguments);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.status == 2, result.errors.startsWith("tarn: "))
            << result.errors.toStdString();
    }
    // No gcc set and none on PATH.
    const QString hello = save("hello.tarn", {main});
    ASSERT_TRUE(writeFile(settingsFilePath(), "[Options]\nGCC Path=\n"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    const CommandRun noGcc = run("--build", {hello});
    qputenv("PATH", path);
    EXPECT_EQ(noGcc.status, 2);
    EXPECT_TRUE(noGcc.errors.contains("gcc")) << noGcc.errors.toStdString();
}

} // namespace
