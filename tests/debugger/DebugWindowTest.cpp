// The integrated debugger as a user drives it: Tarn's real windows on the
// offscreen platform, the keys of the Debug menu, the breakpoint margin, the
// panes, on a program built by the host's gcc and run under its gdb.
#include "DebuggerWindow.h"

#include "app/SettingsTestEnvironment.h"
#include "debugger/DebugController.h"
#include "debugger/DebugPanes.h"
#include "editor/CTarnView.h"
#include "editor/DebugMargin.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "support/ProcessWatch.h"
#include "support/MarginMarks.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

using debugtest::lineOf;
using debugtest::Program;
using testsupport::waitUntil;

namespace {

const QByteArray kProgram = R"(#include <stdio.h>
#include <string.h>

struct point { int x; int y; };

int twice(int n)
{
    int doubled = n * 2; /* twice body */
    return doubled;
}

int main(void)
{
    struct point corner = {7, 9};
    char name[40];
    int total = twice(corner.x); /* main call */
    printf("total %d\n", total);
    fflush(stdout); /* main flush */
    if (!fgets(name, sizeof name, stdin))
        return 1;
    name[strcspn(name, "\n")] = 0;
    printf("hi %s\n", name);
    return (int)strlen(name); /* main end */
}
)";

class DebugWindowTest : public debugtest::DebuggerWindow {
protected:
    void SetUp() override
    {
        DebuggerWindow::SetUp();
        if (!IsSkipped())
            panes = debugger->panes();
    }

    CTarnView* open(const Program& program)
    {
        fw::Document* doc = app->openDocumentFile(program.source());
        EXPECT_NE(doc, nullptr);
        auto* view = doc ? dynamic_cast<CTarnView*>(doc->firstView()) : nullptr;
        if (view)
            view->setFocus();
        return view;
    }
    QTreeWidget* stack() const { return panes->stack; }
    QTreeWidgetItem* localRow(const char* name) const
    {
        const QList<QTreeWidgetItem*> found =
            panes->locals->findItems(QString::fromUtf8(name), Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }

    DebugPanes* panes = nullptr;
};

TEST_F(DebugWindowTest, BreakpointStepsPanesInputAndExit)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built()) << program.errors().constData();
    CTarnView* view = open(program);
    ASSERT_NE(view, nullptr);

    // A click in the margin sets a breakpoint on twice's body.
    const int body = lineOf(kProgram, "twice body");
    const long position = view->positionFromLineIndex(body - 1, 0);
    const int y = int(view->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, position)) +
                  view->textHeight(body - 1) / 2;
    const int x = view->marginWidth(0) + view->marginWidth(debugmargin::kMargin) / 2;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    EXPECT_EQ(marginmarks::BreakpointLines(view), QList<int>{body - 1});
    // F9 on the caret's line sets a second one, on main's call.
    view->setCursorPosition(lineOf(kProgram, "main call") - 1, 0);
    press(Qt::Key_F9);
    EXPECT_EQ(marginmarks::BreakpointLines(view), (QList<int>{body - 1, lineOf(kProgram, "main call") - 1}));
    EXPECT_EQ(panes->breakpoints->topLevelItemCount(), 2);

    // F5: the panes come, the program stops at main's call.
    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(lineOf(kProgram, "main call"))) << main->statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(panes->localsDock->isVisibleTo(main));
    EXPECT_TRUE(panes->outputDock->isVisibleTo(main));
    EXPECT_EQ(main->statusBar()->currentMessage(),
              QStringLiteral("Stopped at prog.c:%1 (breakpoint 2)").arg(lineOf(kProgram, "main call")));
    EXPECT_EQ(marginmarks::CurrentLine(view), lineOf(kProgram, "main call") - 1);
    // Locals: the structure expands into its members.
    ASSERT_TRUE(waitUntil([&] { return localRow("corner") != nullptr; }));
    QTreeWidgetItem* corner = localRow("corner");
    EXPECT_EQ(corner->text(1), QStringLiteral("{x = 7, y = 9}"));
    EXPECT_EQ(corner->text(2), QStringLiteral("struct point"));
    corner->setExpanded(true);
    ASSERT_TRUE(waitUntil([&] { return localRow("corner") && localRow("corner")->childCount() == 2; }));
    EXPECT_EQ(localRow("corner")->child(1)->text(0), QStringLiteral("y"));
    EXPECT_EQ(localRow("corner")->child(1)->text(1), QStringLiteral("9"));

    // A watch typed in its pane.
    QTest::keyClicks(panes->watchInput, QStringLiteral("corner.x + 1"));
    QTest::keyClick(panes->watchInput, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return panes->watch->topLevelItemCount() == 1 &&
                                       panes->watch->topLevelItem(0)->text(1) == QStringLiteral("8"); }));
    // Names, types and expressions are read whole: their columns fit them.
    const QFontMetrics metrics(panes->locals->font());
    ASSERT_NE(localRow("corner"), nullptr);
    EXPECT_GE(panes->locals->columnWidth(1), metrics.horizontalAdvance(localRow("corner")->text(1)));
    const QString longer = QStringLiteral("corner.x * 1000 + corner.y * 100 + 12345");
    QTest::keyClicks(panes->watchInput, longer);
    QTest::keyClick(panes->watchInput, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return panes->watch->topLevelItemCount() == 2 &&
                                       panes->watch->topLevelItem(1)->text(1) == QStringLiteral("20245"); }));
    // (at most half the pane: a long one leaves room for its value)
    EXPECT_GE(panes->watch->columnWidth(0),
              std::min(metrics.horizontalAdvance(longer), panes->watch->viewport()->width() / 2));

    // F11 into twice, where the first breakpoint also is.
    view->setFocus();
    press(Qt::Key_F11);
    ASSERT_TRUE(stoppedAt(body));
    ASSERT_EQ(stack()->topLevelItemCount(), 2);
    EXPECT_EQ(stack()->topLevelItem(0)->text(0), QStringLiteral("twice"));
    ASSERT_TRUE(waitUntil([&] { return localRow("n") && localRow("n")->text(1) == QStringLiteral("7"); }));
    // The caller's frame: a click shows its locals and its line.
    panes->stackDock->raise();
    clickFrame(1);
    ASSERT_TRUE(waitUntil([&] { return localRow("corner") != nullptr; }));
    EXPECT_EQ(debugtest::caretLine(view), lineOf(kProgram, "main call") - 1);
    // The watch is evaluated again in the frame chosen (its answer may come
    // in a later read of gdb's output than the locals'): still 8.
    EXPECT_TRUE(waitUntil([&] { return panes->watch->topLevelItem(0)->text(1) == QStringLiteral("8"); }))
        << panes->watch->topLevelItem(0)->text(1).toStdString();

    // Shift+F11 back out to main, F10 over the printf.
    view->setFocus();
    press(Qt::Key_F11, Qt::ShiftModifier);
    ASSERT_TRUE(stoppedAt(lineOf(kProgram, "main call")));
    press(Qt::Key_F10);
    ASSERT_TRUE(stoppedAt(lineOf(kProgram, "main call") + 1));
    ASSERT_TRUE(waitUntil([&] { return localRow("total") && localRow("total")->text(1) == QStringLiteral("14"); }));
    // Ctrl+F10 runs to the caret's line: the output is flushed by then.
    view->setCursorPosition(lineOf(kProgram, "main flush"), 0);
    press(Qt::Key_F10, Qt::ControlModifier);
    ASSERT_TRUE(stoppedAt(lineOf(kProgram, "main flush") + 1));
    ASSERT_TRUE(waitUntil([&] { return panes->output->toPlainText().contains(QStringLiteral("total 14")); }));

    // F5 continues; the program waits for a line typed in its pane.
    press(Qt::Key_F5);
    ASSERT_TRUE(waitUntil([&] { return debugger->session().state() == DebugSession::State::Running; }));
    // While it runs, no line is marked as the stop.
    EXPECT_EQ(marginmarks::CurrentLine(view), -1);
    QTest::keyClicks(panes->outputInput, QStringLiteral("Tarn"));
    QTest::keyClick(panes->outputInput, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return debugger->session().state() == DebugSession::State::Ended; }));
    EXPECT_EQ(main->statusBar()->currentMessage(), QStringLiteral("Program exited with code 4"));
    EXPECT_TRUE(panes->output->toPlainText().contains(QStringLiteral("Tarn\nhi Tarn\n")))
        << panes->output->toPlainText().toStdString();
    EXPECT_TRUE(panes->console->toPlainText().contains(QStringLiteral("[Session ended: Program exited with code 4]")));
    EXPECT_EQ(marginmarks::CurrentLine(view), -1);
    EXPECT_EQ(stack()->topLevelItemCount(), 0);
    EXPECT_TRUE(testsupport::goneSoon(debugger->session().gdbProcessId()));
}

TEST_F(DebugWindowTest, MarksFollowEditsAndStopDebuggingEndsEverything)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built());
    CTarnView* view = open(program);
    ASSERT_NE(view, nullptr);
    const int body = lineOf(kProgram, "twice body");
    view->setCursorPosition(body - 1, 0);
    press(Qt::Key_F9);
    // Two lines typed above the mark push it down with its line.
    view->setCursorPosition(1, 0);
    view->insert(QStringLiteral("\n\n"));
    EXPECT_EQ(marginmarks::BreakpointLines(view), QList<int>{body + 1});
    const QList<BookBreakpoint> kept = debugger->breakpointBook().breakpoints(program.source());
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept.at(0).line, body + 2);
    // The file on disk is the one built: the edit is dropped again, and the
    // mark goes back with the text.
    view->undo();
    EXPECT_EQ(marginmarks::BreakpointLines(view), QList<int>{body - 1});

    // Shift+F5 in the middle of the run: no gdb, no program left.
    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(body));
    const qint64 gdb = debugger->session().gdbProcessId();
    const qint64 inferior = debugger->session().programProcessId();
    press(Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(debugger->session().state(), DebugSession::State::Ended);
    EXPECT_EQ(main->statusBar()->currentMessage(), QStringLiteral("Debugging stopped"));
    EXPECT_EQ(marginmarks::CurrentLine(view), -1);
    EXPECT_TRUE(testsupport::goneSoon(gdb));
    EXPECT_TRUE(testsupport::goneSoon(inferior));
    // The breakpoint stays for the next session.
    EXPECT_EQ(marginmarks::BreakpointLines(view), QList<int>{body - 1});
}

// Tarn closed while a stop is being read (its stack and locals asked for,
// members of a local on their way): the window, its panes, the session and
// the breakpoints go in one order, nothing is used after it went (the
// sanitizer build checks), and no gdb or program is left.
TEST_F(DebugWindowTest, ClosingTarnInTheMiddleOfAStopLeavesNothing)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built());
    CTarnView* view = open(program);
    ASSERT_NE(view, nullptr);
    view->setCursorPosition(lineOf(kProgram, "main call") - 1, 0);
    press(Qt::Key_F9);
    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(lineOf(kProgram, "main call")));
    ASSERT_TRUE(waitUntil([&] { return localRow("corner") != nullptr; }));
    const qint64 gdb = debugger->session().gdbProcessId();
    const qint64 inferior = debugger->session().programProcessId();
    ASSERT_GT(gdb, 0);
    ASSERT_GT(inferior, 0);
    // The next stop closes Tarn as soon as it is seen, before its panes
    // are read.
    bool closing = false;
    QObject::connect(&debugger->session(), &DebugSession::stateChanged, main,
                     [&](DebugSession::State state) {
                         if (state != DebugSession::State::Stopped || closing)
                             return;
                         closing = true;
                         QMetaObject::invokeMethod(main, [this] { main->close(); }, Qt::QueuedConnection);
                     });
    localRow("corner")->setExpanded(true);
    view->setFocus();
    press(Qt::Key_F11);
    ASSERT_TRUE(waitUntil([&] { return closing && !main->isVisible(); }));
    debugger = nullptr;
    panes = nullptr;
    app.reset();
    EXPECT_TRUE(testsupport::goneSoon(gdb));
    EXPECT_TRUE(testsupport::goneSoon(inferior));
}

TEST_F(DebugWindowTest, NothingToDebugIsSaid)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built());
    QFile::remove(program.executable());
    ASSERT_NE(open(program), nullptr);
    press(Qt::Key_F5);
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().startsWith(
        QStringLiteral("No program to debug for prog.c: found no prog.exe, prog or a.out in %1/.")
            .arg(program.folder())))
        << prompts->messages.first().toStdString();
    EXPECT_EQ(debugger->session().state(), DebugSession::State::Idle);
}

} // namespace
