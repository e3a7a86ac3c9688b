// F4 and Shift+F4 in the running application: stepping through the message
// window's diagnostics opens each one as a double click would.
#include "app/CMainFrame.h"
#include "app/CTarnApp.h"
#include "app/IdeSettings.h"
#include "editor/CTarnView.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/StandardIds.h"
#include "messages/CMessageView.h"
#include "messages/MessageSink.h"
#include "resources/CommandIds.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString NoMore = QStringLiteral("No more diagnostics");

class DiagnosticStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile::remove(settingsFilePath());
        ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), "[Options]\nGCC Path=/usr/bin/gcc\n"));
        ASSERT_TRUE(testsupport::writeFile(dir.filePath("a.c"), "int a;\nint b = x;\nint c;\n"));
        ASSERT_TRUE(testsupport::writeFile(dir.filePath("b.c"), "int d;\nint e;\nint f = y;\n"));
        ASSERT_TRUE(app.InitInstance({}));
        main = app.mainWindow();
        log = g_pMessageView;
        ASSERT_NE(log, nullptr);
        ClearMessages();
    }
    void TearDown() override
    {
        app.closeAllDocuments();
        QFile::remove(settingsFilePath());
    }

    // A log as a compile leaves it: headings, separators, an empty row, a
    // note without a line number and two diagnostics.
    void addMixedLog()
    {
        AddMessage(QStringLiteral("Compiling a.c with command line of:"), 1);
        AddMessage(QStringLiteral("Errors:"), 1);
        AddMessage(dir.filePath("a.c") + QStringLiteral(":2:9: error: 'x' undeclared"), 0);
        AddMessage(QString(), 0);
        AddMessage(QStringLiteral("cc1: note: no line here"), 0);
        AddMessage(dir.filePath("b.c") + QStringLiteral(":3: error: 'y' undeclared"), 0);
        AddMessage(QStringLiteral("Done"), 1);
    }

    // Runs a step and says what it led to: the selected row, the opened
    // file's name and its selected text, or the status text when nothing
    // moved.
    QString step(int id)
    {
        const int childrenBefore = int(main->childFrames().size());
        const int rowBefore = log->selectedRow();
        EXPECT_TRUE(main->router()->execute(id));
        if (main->statusBar()->currentMessage() == NoMore) {
            EXPECT_EQ(log->selectedRow(), rowBefore);
            EXPECT_EQ(int(main->childFrames().size()), childrenBefore);
            return NoMore;
        }
        auto* view = dynamic_cast<CTarnView*>(main->activeView());
        if (!view)
            return QStringLiteral("no source window");
        return QStringLiteral("%1 %2 %3")
            .arg(log->selectedRow())
            .arg(QFileInfo(view->fw::View::document()->pathName()).fileName(), view->selectedText());
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    CTarnApp app;
    CMainFrame* main = nullptr;
    CMessageView* log = nullptr;
};

} // namespace

TEST_F(DiagnosticStep, StepsThroughTheDiagnosticsAndStopsAtEachEnd)
{
    addMixedLog();
    // Rows: 0 heading, 1 separator, 2 "Errors:", 3 separator, 4 a.c:2,
    // 5 empty, 6 note, 7 b.c:3, 8 "Done", 9 separator.
    const std::pair<int, const char*> steps[] = {
        {cmd::NextDiagnostic, "4 a.c int b = x;"},
        {cmd::NextDiagnostic, "7 b.c int f = y;"},
        {cmd::NextDiagnostic, "No more diagnostics"},
        {cmd::PreviousDiagnostic, "4 a.c int b = x;"},
        {cmd::PreviousDiagnostic, "No more diagnostics"},
        {cmd::NextDiagnostic, "7 b.c int f = y;"},
    };
    for (const auto& [id, expected] : steps)
        EXPECT_EQ(step(id), QString::fromUtf8(expected));
    // Messages, Untitled1, a.c and b.c: each file opened once, then
    // activated again.
    EXPECT_EQ(main->childFrames().size(), 4);

    // Without a selection Shift+F4 starts from the end; a selected row that
    // is no diagnostic is a starting point like any other.
    log->setSelectedRow(-1);
    EXPECT_EQ(step(cmd::PreviousDiagnostic), QStringLiteral("7 b.c int f = y;"));
    log->setSelectedRow(5);
    EXPECT_EQ(step(cmd::PreviousDiagnostic), QStringLiteral("4 a.c int b = x;"));
}

TEST_F(DiagnosticStep, LogsWithoutDiagnosticsMoveNothing)
{
    for (bool withRows : {false, true}) {
        ClearMessages();
        if (withRows) {
            AddMessage(QStringLiteral("Errors:"), 1);
            AddMessage(QString(), 0);
            AddMessage(QStringLiteral("gcc: fatal error: no input files"), 0);
        }
        for (int id : {cmd::NextDiagnostic, cmd::PreviousDiagnostic})
            EXPECT_EQ(step(id), NoMore) << withRows;
        EXPECT_EQ(log->selectedRow(), -1);
    }
    EXPECT_EQ(prompts.messages, QStringList());
}

TEST_F(DiagnosticStep, F4InASourceWindowScrollsTheRowIntoView)
{
    main->resize(900, 600);
    main->show();
    QApplication::setActiveWindow(main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    ASSERT_TRUE(main->router()->execute(fw::id::FileNew));
    AddMessage(dir.filePath("a.c") + QStringLiteral(":1: warning: first"), 0);
    for (int i = 0; i < 300; ++i)
        AddMessage(QStringLiteral("line %1").arg(i), 0);
    AddMessage(dir.filePath("b.c") + QStringLiteral(":2: warning: last"), 0);
    AddMessage(QStringLiteral("tail"), 0);
    log->flushLayout();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(log->selectedRow(), 301);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(log->selectedRow(), 0);
    EXPECT_EQ(log->verticalScrollBar()->value(), 0);
    auto* view = dynamic_cast<CTarnView*>(main->activeView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->selectedText(), QStringLiteral("int a;"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(main->statusBar()->currentMessage(), NoMore);
}
