// The Breakpoints pane acts: shown by View > Breakpoints with no session,
// its right-click menu, Delete and Space edit the breakpoint book (and the
// source window's marks); while a session runs the same edits reach gdb.
// A breakpoint gdb refused is shown as not set, with gdb's reason.
#include "DebuggerWindow.h"

#include "app/SettingsTestEnvironment.h"
#include "debugger/BreakpointsPane.h"
#include "debugger/DebugController.h"
#include "debugger/DebugPanes.h"
#include "editor/CTarnView.h"
#include "editor/DebugMargin.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "resources/CommandIds.h"
#include "support/MarginMarks.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

using debugtest::lineOf;
using debugtest::Program;
using testsupport::waitUntil;

namespace {

const QByteArray& kProgram = debugtest::kFourLinesProgram;

class BreakpointsPaneTest : public StartedTarn {
protected:
    void SetUp() override
    {
        StartedTarn::SetUp();
        main->show();
        QApplication::setActiveWindow(main);
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        debugger = main->debugger();
        panes = debugger->panes();
        tree = panes->breakpoints;
    }
    void TearDown() override
    {
        if (debugger)
            debugger->session().stop();
        StartedTarn::TearDown();
    }
    BreakpointBook& book() { return debugger->breakpointBook(); }
    CTarnView* open(const QString& path)
    {
        fw::Document* doc = app->openDocumentFile(path);
        return doc ? dynamic_cast<CTarnView*>(doc->firstView()) : nullptr;
    }
    // The book's breakpoints of the file as (line, enabled, condition).
    QList<BookBreakpoint> kept(const Program& program) { return book().breakpoints(program.source()); }
    QTreeWidgetItem* row(int index) const { return tree->topLevelItem(index); }
    bool viewBreakpointsChecked()
    {
        main->router()->updateActions();
        for (QAction* action : main->findChildren<QAction*>()) {
            if (action->text() == QStringLiteral("&Breakpoints"))
                return action->isChecked();
        }
        ADD_FAILURE() << "no View > Breakpoints item";
        return false;
    }
    // A right click on the row; the menu's item with that text is chosen.
    void choose(QTreeWidgetItem* item, const QString& text)
    {
        const QPoint at = tree->visualItemRect(item).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QStringList texts;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            texts << action->text();
            if (action->text() == text)
                chosen = action;
        }
        menuTexts = texts;
        ASSERT_NE(chosen, nullptr) << texts.join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(chosen->isEnabled()) << text.toStdString();
        menu->close();
        chosen->trigger();
        QApplication::processEvents();
    }
    // A key pressed in the list.
    void press(Qt::Key key)
    {
        // (a closed menu leaves no window active on this platform)
        QApplication::setActiveWindow(main);
        tree->setFocus();
        QTest::keyClick(tree, key);
        QApplication::processEvents();
    }

    DebugController* debugger = nullptr;
    DebugPanes* panes = nullptr;
    QTreeWidget* tree = nullptr;
    QStringList menuTexts;
};

TEST_F(BreakpointsPaneTest, EditedWithNoSessionFromTheViewMenu)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built());
    CTarnView* view = open(program.source());
    ASSERT_NE(view, nullptr);
    const int first = lineOf(kProgram, "first");
    const int second = lineOf(kProgram, "second");
    const int third = lineOf(kProgram, "third");
    for (int line : {first, second, third})
        book().toggle(view, program.source(), line - 1);

    // View > Breakpoints shows the list, and hides it again.
    EXPECT_FALSE(panes->breakpointsDock->isVisibleTo(main));
    EXPECT_FALSE(viewBreakpointsChecked());
    ASSERT_TRUE(main->router()->execute(cmd::ViewBreakpoints));
    EXPECT_TRUE(panes->breakpointsDock->isVisibleTo(main));
    EXPECT_TRUE(viewBreakpointsChecked());
    EXPECT_FALSE(panes->localsDock->isVisibleTo(main));
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(row(1)->text(0), QStringLiteral("prog.c:%1").arg(second));

    // Space on the current row disables it (its mark too), and again enables it.
    tree->setCurrentItem(row(1));
    press(Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return !kept(program).value(1).enabled; }));
    EXPECT_TRUE(marginmarks::HasMark(view, second - 1, debugmargin::kDisabledBreakpointMarker));
    EXPECT_EQ(row(1)->checkState(0), Qt::Unchecked);
    press(Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return kept(program).value(1).enabled; }));

    // The right-click menu: every command, on the row under the mouse.
    choose(row(2), QStringLiteral("Disa&ble"));
    EXPECT_EQ(menuTexts, (QStringList{QStringLiteral("&Delete"), QStringLiteral("Delete &All"), QString(),
                                      QStringLiteral("Disa&ble"), QStringLiteral("Edit &Condition..."),
                                      QStringLiteral("&Go to Source")}));
    ASSERT_TRUE(waitUntil([&] { return !kept(program).value(2).enabled; }));
    EXPECT_TRUE(kept(program).value(0).enabled);
    choose(row(2), QStringLiteral("&Enable"));
    ASSERT_TRUE(waitUntil([&] { return kept(program).value(2).enabled; }));

    choose(row(0), QStringLiteral("Edit &Condition..."));
    auto* editor = tree->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("n > 2"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return kept(program).value(0).condition == "n > 2"; }));
    EXPECT_EQ(row(0)->text(1), QStringLiteral("n > 2"));

    view->setCursorPosition(0, 0);
    choose(row(2), QStringLiteral("&Go to Source"));
    EXPECT_EQ(debugtest::caretLine(view), third - 1);

    // Delete takes the selected row away, from the book and the margin.
    tree->setCurrentItem(row(1));
    press(Qt::Key_Delete);
    ASSERT_TRUE(waitUntil([&] { return kept(program).size() == 2; }));
    EXPECT_EQ(kept(program).value(1).line, third);
    EXPECT_EQ(marginmarks::BreakpointLines(view), (QList<int>{first - 1, third - 1}));
    choose(row(0), QStringLiteral("&Delete"));
    ASSERT_TRUE(waitUntil([&] { return kept(program).size() == 1; }));
    EXPECT_EQ(kept(program).value(0).line, third);
    book().toggle(view, program.source(), first - 1);
    choose(row(0), QStringLiteral("Delete &All"));
    ASSERT_TRUE(waitUntil([&] { return book().files().isEmpty(); }));
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_TRUE(marginmarks::BreakpointLines(view).isEmpty());

    ASSERT_TRUE(main->router()->execute(cmd::ViewBreakpoints));
    EXPECT_FALSE(panes->breakpointsDock->isVisibleTo(main));
    EXPECT_FALSE(viewBreakpointsChecked());
}

TEST_F(BreakpointsPaneTest, NotSetIsShownWithGdbsReason)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built());
    const int first = lineOf(kProgram, "first");
    const int second = lineOf(kProgram, "second");
    book().restore(program.source(), {first, true, {}, {}});
    book().restore(program.source(), {second, true, {}, {}});
    panes->showBreakpoints(true);
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    const QBrush normal = row(0)->foreground(0);
    EXPECT_TRUE(row(0)->icon(0).isNull());

    book().setNotSet(program.source(), second, QStringLiteral("No line 6 in file \"prog.c\"."));
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(row(1)->text(2), QStringLiteral("not set: No line 6 in file \"prog.c\"."));
    EXPECT_FALSE(row(1)->icon(0).isNull());
    EXPECT_NE(row(1)->foreground(0).color(), normal.color());
    EXPECT_TRUE(row(1)->toolTip(0).contains(QStringLiteral("not set: No line 6")));
    // The other row is as it was.
    EXPECT_EQ(row(0)->text(2), QString());
    EXPECT_TRUE(row(0)->icon(0).isNull());
    // The column is wide enough for the reason.
    EXPECT_GE(tree->columnWidth(2), QFontMetrics(tree->font()).horizontalAdvance(row(1)->text(2)));

    book().clearNotSet();
    EXPECT_EQ(row(1)->text(2), QString());
    EXPECT_TRUE(row(1)->icon(0).isNull());
    EXPECT_EQ(book().breakpoints(program.source()).value(1).notSet, QString());
}

TEST_F(BreakpointsPaneTest, EditsReachGdbWhileASessionRuns)
{
    if (debugtest::gdbPath().isEmpty())
        GTEST_SKIP() << "no gdb on this host";
    IdeSettings settings = main->context().settings();
    settings.gdbPath = debugtest::gdbPath();
    main->context().setSettings(settings);
    Program program(kProgram);
    ASSERT_TRUE(program.built());
    CTarnView* view = open(program.source());
    ASSERT_NE(view, nullptr);
    view->setFocus();
    const int first = lineOf(kProgram, "first");
    const int third = lineOf(kProgram, "third");
    const int fourth = lineOf(kProgram, "fourth");
    for (int line : {first, third, fourth})
        book().toggle(view, program.source(), line - 1);
    DebugSession& session = debugger->session();
    int stops = 0;
    QObject::connect(&session, &DebugSession::stopRefreshed, [&] { ++stops; });
    debugger->OnStartDebugging();
    ASSERT_TRUE(waitUntil([&] { return stops == 1; }, 20000));
    ASSERT_EQ(session.lastStop().frame.line, first);
    const QByteArray file = program.sourceBytes();
    const int thirdNumber = session.breakpointAt(file, third);
    ASSERT_GT(thirdNumber, 0);
    ASSERT_EQ(tree->topLevelItemCount(), 3);

    // The third is disabled by Space and the fourth deleted by Delete:
    // gdb goes on to the end without stopping.
    tree->setCurrentItem(row(1));
    press(Qt::Key_Space);
    auto liveEnabled = [&](int number) {
        for (const DebugBreakpoint& b : session.breakpoints()) {
            if (b.number == number)
                return b.enabled;
        }
        return true;
    };
    ASSERT_TRUE(waitUntil([&] { return !liveEnabled(thirdNumber); }));
    tree->setCurrentItem(row(2));
    press(Qt::Key_Delete);
    ASSERT_TRUE(waitUntil([&] { return session.breakpointAt(file, fourth) == 0; }));
    EXPECT_EQ(kept(program).size(), 2);
    EXPECT_FALSE(kept(program).value(1).enabled);

    debugger->OnStartDebugging(); // continues
    ASSERT_TRUE(waitUntil([&] { return session.state() == DebugSession::State::Ended; }, 20000));
    EXPECT_EQ(stops, 1);
}

} // namespace
