// When Start Debugging must build a project first: files with set times in
// a temporary folder, by the project build's own up-to-date rule.
#include "debugger/ProjectTarget.h"

#include "project/BuildSteps.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool setAge(const QString& path, int secondsAgo)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QDateTime when = QDateTime::currentDateTime().addSecs(-secondsAgo);
    return file.setFileTime(when, QFileDevice::FileModificationTime);
}

TEST(ProjectTarget, OutOfDateByTheBuildsOwnRule)
{
    // Ages in seconds; -1: the file does not exist.
    struct Case {
        const char* name;
        int mainSource, mainObject, utilSource, utilObject, program;
        bool current;
    };
    const Case cases[] = {
        {"all built, program last", 50, 40, 50, 40, 30, true},
        {"equal times count as current", 40, 40, 40, 40, 40, true},
        {"no program", 50, 40, 50, 40, -1, false},
        {"an object missing", 50, 40, 50, -1, 30, false},
        {"a source edited after its object", 50, 40, 20, 40, 30, false},
        {"an object newer than the program", 50, 40, 50, 20, 30, false},
        {"a source gone", 50, 40, -1, 40, 30, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        BuildJob job;
        job.projectDirectory = dir.path() + QLatin1Char('/');
        job.outputFile = QStringLiteral("p.exe");
        job.sources = {dir.filePath(QStringLiteral("main.c")),
                       dir.filePath(QStringLiteral("util.c"))};
        const std::pair<QString, int> files[] = {
            {job.sources.at(0), c.mainSource},
            {SourceObject(job.sources.at(0)), c.mainObject},
            {job.sources.at(1), c.utilSource},
            {SourceObject(job.sources.at(1)), c.utilObject},
            {dir.filePath(QStringLiteral("p.exe")), c.program},
        };
        for (const auto& [path, age] : files) {
            if (age < 0)
                continue;
            ASSERT_TRUE(writeFile(path, "x"));
            ASSERT_TRUE(setAge(path, age));
        }
        EXPECT_EQ(ProjectOutputIsCurrent(job), c.current);
    }
}

TEST(ProjectTarget, NoSourcesOrASourceWithoutObjectNameIsNeverCurrent)
{
    QTemporaryDir dir;
    BuildJob job;
    job.projectDirectory = dir.path() + QLatin1Char('/');
    job.outputFile = QStringLiteral("p.exe");
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("p.exe")), "x"));
    EXPECT_FALSE(ProjectOutputIsCurrent(job));
    job.sources = {dir.filePath(QStringLiteral("Makefile"))};
    ASSERT_TRUE(writeFile(job.sources.at(0), "x"));
    ASSERT_TRUE(setAge(job.sources.at(0), 60));
    EXPECT_FALSE(ProjectOutputIsCurrent(job));
}

} // namespace
