// The runner with the host's real gcc on temporary files.
#include "tools/CompileOptions.h"
#include "tools/OutputLines.h"
#include "tools/ToolReports.h"
#include "tools/ToolRunner.h"

#include "RecordingSink.h"
#include "app/IdeSettings.h"
#include "messages/MessageClassifier.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

class GccRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = ideSettings();
        gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
        if (gcc.isEmpty())
            GTEST_SKIP() << "no gcc on this host";
        IdeSettings settings = m_saved;
        settings.gccPath = gcc;
        setIdeSettings(settings);
        m_previousDir = QDir::currentPath();
        // gcc -c leaves its object in the current directory.
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
    }
    void TearDown() override
    {
        if (!m_previousDir.isEmpty())
            QDir::setCurrent(m_previousDir);
        setIdeSettings(m_saved);
    }

    // The Quick Compile line: gcc, the source, " -c " and the flags.
    QString quickCompileLine(const QString& source, const CompileOptions& options)
    {
        QString line = gcc + QLatin1Char(' ') + source + QStringLiteral(" -c ");
        AppendSourceFlags(line, options);
        return line;
    }

    // What the same gcc writes to standard error in the same environment.
    QByteArray gccOwnErrors(const QStringList& arguments)
    {
        QProcess process;
        process.start(gcc, arguments);
        process.waitForFinished(-1);
        return process.readAllStandardError();
    }

    QTemporaryDir dir;
    QString gcc;
    RecordingSink sink;

private:
    IdeSettings m_saved;
    QString m_previousDir;
};

TEST_F(GccRun, OneErrorGivesHeadingDiagnosticAndRemainder)
{
    const QString source = dir.path() + QStringLiteral("/bad.c");
    ASSERT_TRUE(testsupport::writeFile(source, "int main(void)\n{\n    return undeclared;\n}\n"));
    CompileOptions options;
    options.warningLevel = 2;

    ToolPipes pipes;
    ASSERT_TRUE(RunTool(quickCompileLine(source, options), pipes, 1));
    pipes.waitForEnd();
    ShowGccReport(pipes);

    const QByteArray expected =
        gccOwnErrors({source, QStringLiteral("-c"), QStringLiteral("-Wall")});
    ASSERT_FALSE(expected.isEmpty());
    std::vector<RecordingSink::Row> rows{{QStringLiteral("Errors:"), 1}};
    for (const QString& line : CutOutputLines(expected))
        rows.emplace_back(line, 0);
    EXPECT_EQ(sink.rows, rows);
    // gcc ends its output with a line feed: the last row is the empty rest.
    EXPECT_EQ(sink.rows.back(), RecordingSink::Row(QString(), 0));

    // The row naming the error line is classified as a diagnostic.
    const QString where = source + QStringLiteral(":3:");
    const auto diagnostic = std::find_if(sink.rows.begin(), sink.rows.end(), [&](const auto& row) {
        return row.first.startsWith(where) && row.first.contains(QStringLiteral("error"));
    });
    ASSERT_NE(diagnostic, sink.rows.end());
    EXPECT_EQ(classifyMessage(diagnostic->first), IconDiagnostic);
    EXPECT_EQ(classifyMessage(sink.rows.front().first), IconInfo);
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/bad.o")));
}

TEST_F(GccRun, CleanCompileLeavesObjectAndOneLine)
{
    const QString source = dir.path() + QStringLiteral("/good.c");
    ASSERT_TRUE(testsupport::writeFile(source, "int twice(int x) { return 2 * x; }\n"));
    CompileOptions options;
    options.debugInfo = 1;
    options.optimizeLevel = 2;

    ToolPipes pipes;
    ASSERT_TRUE(RunTool(quickCompileLine(source, options), pipes, 1));
    pipes.waitForEnd();
    ShowGccReport(pipes);

    EXPECT_EQ(sink.rows, (std::vector<RecordingSink::Row>{
                             {QStringLiteral("No warnings or errors recieved from gcc"), 1}}));
    EXPECT_TRUE(QFileInfo::exists(dir.path() + QStringLiteral("/good.o")));
}

TEST_F(GccRun, ProjectCompileLineUsesTheSettingsGccPath)
{
    const QString source = dir.path() + QStringLiteral("/unit.c");
    ASSERT_TRUE(testsupport::writeFile(source, "int unit;\n"));
    CompileOptions options;
    options.otherOptions = QStringLiteral("-DUNIT=1");
    const QString line = BuildProjectCompileLine(source, options);
    EXPECT_EQ(line, gcc + QStringLiteral(" -c ") + source + QStringLiteral(" -DUNIT=1 "));

    ToolPipes pipes;
    ASSERT_TRUE(RunTool(line, pipes, 1));
    pipes.waitForEnd();
    EXPECT_TRUE(pipes.standardError().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(dir.path() + QStringLiteral("/unit.o")));
}

} // namespace
