// The debugger's docks are made when first wanted, not with the main
// window: a started Tarn has none; View > Breakpoints makes them with the
// breakpoints set before, its check mark following the pane's own close
// button; F5 makes them and shows the stop and the session's end. Tarn's
// real windows on the offscreen platform, the host's gcc and gdb.
#include "DebuggerWindow.h"

#include "debugger/DebugPanes.h"
#include "resources/CommandIds.h"

#include <QAction>
#include <QDockWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>

using debugtest::lineOf;
using debugtest::Program;
using testsupport::waitUntil;

namespace {

const QByteArray& kProgram = debugtest::kFourLinesProgram;

class DebugPanesOnDemand : public debugtest::DebuggerWindow {
protected:
    QAction* viewBreakpoints() const
    {
        for (QAction* action : main->findChildren<QAction*>()) {
            if (action->text() == QStringLiteral("&Breakpoints") && action->isCheckable())
                return action;
        }
        return nullptr;
    }
};

TEST_F(DebugPanesOnDemand, ViewBreakpointsMakesThePanesWithTheBreakpointsSetBefore)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built());
    EXPECT_EQ(debugger->madePanes(), nullptr);
    EXPECT_TRUE(main->findChildren<QDockWidget*>().isEmpty());

    CTarnView* view = open(program.source());
    ASSERT_NE(view, nullptr);
    for (const char* marker : {"first", "second"}) {
        view->setCursorPosition(lineOf(kProgram, marker) - 1, 0);
        press(Qt::Key_F9);
    }
    ASSERT_EQ(book().breakpoints(program.source()).size(), 2);
    EXPECT_EQ(debugger->madePanes(), nullptr);
    QAction* item = viewBreakpoints();
    ASSERT_NE(item, nullptr);
    main->router()->updateActions();
    EXPECT_FALSE(item->isChecked());

    ASSERT_TRUE(main->router()->execute(cmd::ViewBreakpoints));
    DebugPanes* panes = debugger->madePanes();
    ASSERT_NE(panes, nullptr);
    EXPECT_EQ(main->findChildren<QDockWidget*>().size(), 6);
    EXPECT_TRUE(panes->breakpointsDock->isVisibleTo(main));
    for (QDockWidget* hidden : {panes->localsDock, panes->watchDock, panes->stackDock, panes->consoleDock,
                                panes->outputDock})
        EXPECT_FALSE(hidden->isVisibleTo(main)) << hidden->windowTitle().toStdString();
    ASSERT_EQ(panes->breakpoints->topLevelItemCount(), 2);
    EXPECT_EQ(panes->breakpoints->topLevelItem(1)->text(0),
              QStringLiteral("prog.c:%1").arg(lineOf(kProgram, "second")));
    ASSERT_TRUE(waitUntil([&] { return item->isChecked(); }));

    // The pane's own close button: the check mark follows by itself.
    panes->breakpointsDock->close();
    ASSERT_TRUE(waitUntil([&] { return !item->isChecked(); }));
    // Made once: the same docks come back.
    ASSERT_TRUE(main->router()->execute(cmd::ViewBreakpoints));
    EXPECT_EQ(debugger->panes(), panes);
    EXPECT_EQ(main->findChildren<QDockWidget*>().size(), 6);
    EXPECT_TRUE(panes->breakpointsDock->isVisibleTo(main));
}

TEST_F(DebugPanesOnDemand, StartDebuggingMakesThePanesAndShowsTheStopAndTheEnd)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built());
    CTarnView* view = open(program.source());
    ASSERT_NE(view, nullptr);
    view->setCursorPosition(lineOf(kProgram, "second") - 1, 0);
    press(Qt::Key_F9);
    ASSERT_EQ(debugger->madePanes(), nullptr);

    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(lineOf(kProgram, "second")));
    DebugPanes* panes = debugger->madePanes();
    ASSERT_NE(panes, nullptr);
    for (QDockWidget* shown : {panes->localsDock, panes->stackDock, panes->outputDock})
        EXPECT_TRUE(shown->isVisibleTo(main)) << shown->windowTitle().toStdString();
    ASSERT_TRUE(waitUntil([&] { return panes->locals->topLevelItemCount() > 0; }));
    EXPECT_EQ(panes->locals->topLevelItem(0)->text(0), QStringLiteral("n"));
    EXPECT_EQ(panes->stack->topLevelItem(0)->text(0), QStringLiteral("main"));

    press(Qt::Key_F5, Qt::ShiftModifier);
    ASSERT_TRUE(waitUntil([&] { return !debugger->session().isActive(); }));
    ASSERT_TRUE(waitUntil([&] { return panes->console->toPlainText().contains(QStringLiteral("[Session ended: ")); }));
}

} // namespace
