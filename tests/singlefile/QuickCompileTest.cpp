// Quick Compile with the real gcc on temporary files.
#include "../editor/EditorFixture.h"
#include "support/ScriptedPrompts.h"
#include "tools/RecordingSink.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using Row = RecordingSink::Row;

class QuickCompileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
        ASSERT_FALSE(gcc.isEmpty()) << "gcc is needed";
        IdeSettings settings = ideSettings();
        settings.gccPath = gcc;
        settings.clearBeforeBuild = 1;
        setIdeSettings(settings);
        previousDir = QDir::currentPath();
        // gcc leaves the object in the current folder.
        QDir::setCurrent(f.dir.path());
    }
    void TearDown() override { QDir::setCurrent(previousDir); }

    // What the same gcc writes to its error stream for the file, cut into rows.
    std::vector<Row> gccRows(const QString& path)
    {
        QProcess gccRun;
        gccRun.start(gcc, {path, QStringLiteral("-c")});
        gccRun.waitForFinished(60000);
        const QString err = QString::fromLocal8Bit(gccRun.readAllStandardError());
        std::vector<Row> rows;
        const QStringList lines = err.split(QLatin1Char('\n'));
        for (const QString& line : lines)
            rows.emplace_back(line, 0);
        return rows;
    }

    EditorFixture f;
    QString gcc;
    QString previousDir;
};

} // namespace

TEST_F(QuickCompileTest, RefusesWithoutAGccPathOrAFileName)
{
    const QString noGcc = QStringLiteral(
        "It appears you have not set your gcc path! GCC is the base C compiler for djgpp, you "
        "must set the path to its executable on the options menu with the \"browse\" button.");
    for (bool untitled : {false, true}) {
        IdeSettings settings = ideSettings();
        settings.gccPath = untitled ? gcc : QString();
        setIdeSettings(settings);
        if (untitled)
            f.newDocument();
        else
            f.openBytes("a.c", "int a;\n");
        RecordingSink sink;
        ScriptedPrompts prompts;
        ASSERT_TRUE(f.execute(cmd::QuickCompile));
        EXPECT_EQ(prompts.messages,
                  QStringList{untitled ? QStringLiteral("Please save the file before Continuing") : noGcc});
        EXPECT_TRUE(sink.rows.empty());
        EXPECT_EQ(sink.clears, 0);
    }
}

TEST_F(QuickCompileTest, CleanCompileReportsNoErrorsAndLeavesTheObject)
{
    CTarnDoc* doc = f.openBytes("clean.c", "int answer(void) { return 42; }\n");
    ASSERT_NE(doc, nullptr);
    EditorFixture::viewOf(doc)->compileOptions.debugInfo = 1;
    RecordingSink sink;
    sink.rows.emplace_back(QStringLiteral("old row"), 0);
    ScriptedPrompts prompts;
    ASSERT_TRUE(f.execute(cmd::QuickCompile));
    const QString path = QDir::toNativeSeparators(doc->pathName());
    const std::vector<Row> expected{
        {QStringLiteral("Compiling ") + path + QStringLiteral(" with command line of:"), 0},
        {gcc + QStringLiteral(" ") + path + QStringLiteral(" -c -g "), 1},
        {QStringLiteral("No warnings or errors recieved from gcc"), 1},
    };
    EXPECT_EQ(sink.rows, expected);
    EXPECT_EQ(sink.clears, 1);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(f.path("clean.o")));
}

TEST_F(QuickCompileTest, ErrorsAreShownAsGccWroteThem)
{
    IdeSettings settings = ideSettings();
    settings.clearBeforeBuild = 0;
    setIdeSettings(settings);
    const QByteArray source("int main(void)\n{\n    return 0\n}\n");
    CTarnDoc* doc = f.openBytes("broken.c", source);
    ASSERT_NE(doc, nullptr);
    RecordingSink sink;
    ASSERT_TRUE(f.execute(cmd::QuickCompile));
    EXPECT_EQ(sink.clears, 0);
    const QString path = QDir::toNativeSeparators(doc->pathName());
    std::vector<Row> expected{
        {QStringLiteral("Compiling ") + path + QStringLiteral(" with command line of:"), 0},
        {gcc + QStringLiteral(" ") + path + QStringLiteral(" -c "), 1},
        {QStringLiteral("Errors:"), 1},
    };
    const std::vector<Row> report = gccRows(path);
    ASSERT_GT(report.size(), 1u);
    expected.insert(expected.end(), report.begin(), report.end());
    EXPECT_EQ(sink.rows, expected);
    EXPECT_EQ(sink.rows.back(), Row(QString(), 0)); // gcc ends its text with a line feed
}

TEST_F(QuickCompileTest, AModifiedSourceIsOfferedForSavingAndDiskIsCompiled)
{
    CTarnDoc* doc = f.openBytes("offer.c", "int ok;\n");
    CTarnView* view = EditorFixture::viewOf(doc);
    view->editControl().setSelection(0, -1);
    view->editControl().replaceSelection("int broken(\n");
    for (auto answer : {fw::Prompts::Answer::No, fw::Prompts::Answer::Yes}) {
        SCOPED_TRACE(answer == fw::Prompts::Answer::Yes ? "yes" : "no");
        RecordingSink sink;
        ScriptedPrompts prompts;
        prompts.answers.push_back(answer);
        ASSERT_TRUE(f.execute(cmd::QuickCompile));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages[0].startsWith(QStringLiteral("Save changes to")));
        ASSERT_GE(sink.rows.size(), 3u);
        // No: the file on disk is still the clean one. Yes: the broken text was saved.
        if (answer == fw::Prompts::Answer::No)
            EXPECT_EQ(sink.rows[2].first, QStringLiteral("No warnings or errors recieved from gcc"));
        else
            EXPECT_EQ(sink.rows[2].first, QStringLiteral("Errors:"));
    }
    EXPECT_FALSE(doc->isModified());
}

TEST_F(QuickCompileTest, TheMainWindowStaysOpenWhileGccRuns)
{
    // A "gcc" that takes a moment; the window system asks to close meanwhile.
    const QString slowGcc = f.path("slow-gcc");
    ASSERT_TRUE(testsupport::writeFile(slowGcc, "#!/bin/sh\nsleep 1\necho done >&2\n"));
    QFile::setPermissions(slowGcc, QFile::permissions(slowGcc) | QFileDevice::ExeOwner);
    IdeSettings settings = ideSettings();
    settings.gccPath = slowGcc;
    setIdeSettings(settings);
    CTarnDoc* doc = f.openBytes("slow.c", "int a;\n");
    ASSERT_NE(doc, nullptr);
    RecordingSink sink;
    bool closeAccepted = true;
    QTimer::singleShot(100, [&] { closeAccepted = f.main->close(); });
    ASSERT_TRUE(f.execute(cmd::QuickCompile));
    EXPECT_FALSE(closeAccepted);
    EXPECT_TRUE(f.main->isVisible());
    EXPECT_EQ(f.main->childFrames().size(), 1);
    ASSERT_FALSE(sink.rows.empty());
    EXPECT_EQ(sink.rows.back().first, QString());
    // Once gcc has ended, the window closes as usual.
    EXPECT_TRUE(f.main->close());
}
