// A source window's context menu while a debugging session runs: its own
// items first as always, then Toggle Breakpoint, Run to Cursor and Add
// Watch acting where the mouse was, on the offscreen platform with the
// host's gcc and gdb.
#include "DebuggerWindow.h"

#include "debugger/DebugPanes.h"
#include "editor/DebugMargin.h"
#include "support/MarginMarks.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QStatusBar>
#include <QTreeWidget>

using debugtest::lineOf;
using debugtest::Program;
using testsupport::waitUntil;

namespace {

const QByteArray& kProgram = debugtest::kTwiceProgram;

using DebugContextMenuTest = debugtest::DebuggerWindow;

// The viewport point over a character (zero-based line, byte column).
QPoint pointAt(CTarnView* view, int line, int column)
{
    const long position = view->positionFromLineIndex(line, column);
    const int x = int(view->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, position));
    const int y = int(view->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, position));
    return QPoint(x + 2, y + view->textHeight(line) / 2);
}

// The menu a right click at the point opens (or the menu key, at the caret).
QMenu* contextMenu(CTarnView* view, QPoint at,
                   QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse)
{
    QContextMenuEvent event(reason, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &event);
    QApplication::processEvents();
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QStringList texts(const QMenu* menu)
{
    QStringList list;
    for (const QAction* action : menu->actions())
        list.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return list;
}

QAction* itemNamed(QMenu* menu, const char* text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == QLatin1String(text))
            return action;
    }
    return nullptr;
}

// Clicks the item, which must be there and enabled.
void choose(QMenu* menu, const char* text)
{
    QAction* action = itemNamed(menu, text);
    ASSERT_NE(action, nullptr) << text;
    ASSERT_TRUE(action->isEnabled()) << text;
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
    QApplication::processEvents();
}

const QStringList kDebugItems = {QStringLiteral("-"), QStringLiteral("Toggle &Breakpoint"),
                                 QStringLiteral("Ru&n to Cursor"), QStringLiteral("Add &Watch")};

TEST_F(DebugContextMenuTest, DebugItemsWhileASessionRunsActingWhereTheMouseIs)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built()) << program.errors().constData();
    CTarnView* view = open(program.source());
    ASSERT_NE(view, nullptr);
    const int call = lineOf(kProgram, "main call") - 1; // zero-based
    const int print = lineOf(kProgram, "main print") - 1;
    const int read = lineOf(kProgram, "main read") - 1;
    const QByteArray printText = kProgram.split('\n').at(print);

    // No session: the menu as it always was.
    QMenu* menu = contextMenu(view, pointAt(view, print, 4));
    ASSERT_NE(menu, nullptr);
    const QStringList plain = texts(menu);
    EXPECT_EQ(plain.last(), QStringLiteral("C&lose"));
    EXPECT_FALSE(plain.contains(QStringLiteral("Add &Watch")));
    menu->close();

    view->setCursorPosition(call, 0);
    press(Qt::Key_F9);
    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(call + 1)) << main->statusBar()->currentMessage().toStdString();
    view->setFocus();
    view->setCursorPosition(call, 5); // in "int"

    // The word under the mouse, wherever the caret is (on the stop line).
    struct Place {
        const char* what;
        QPoint at;
        QContextMenuEvent::Reason reason;
        int line;
        const char* word;
    };
    const Place places[] = {
        {"a name's first letter", pointAt(view, print, int(printText.indexOf("total)"))),
         QContextMenuEvent::Mouse, print, "total"},
        {"inside a name", pointAt(view, print, int(printText.indexOf("printf")) + 3),
         QContextMenuEvent::Mouse, print, "printf"},
        {"a number", pointAt(view, call, int(kProgram.split('\n').at(call).indexOf('7'))),
         QContextMenuEvent::Mouse, call, ""},
        {"past the end of a line", QPoint(view->viewport()->width() - 5, pointAt(view, read, 0).y()),
         QContextMenuEvent::Mouse, read, ""},
        {"the menu key: the caret's word", QPoint(0, 0), QContextMenuEvent::Keyboard, call, "int"},
    };
    for (const Place& place : places) {
        SCOPED_TRACE(place.what);
        menu = contextMenu(view, place.at, place.reason);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(texts(menu), plain + kDebugItems);
        EXPECT_EQ(view->contextLine(), place.line);
        EXPECT_EQ(view->contextWord(), QLatin1String(place.word));
        EXPECT_EQ(itemNamed(menu, "Add &Watch")->isEnabled(), *place.word != 0);
        EXPECT_TRUE(itemNamed(menu, "Ru&n to Cursor")->isEnabled());
        menu->close();
        QApplication::processEvents();
    }

    // Add Watch on the word under the mouse, not the caret's.
    ASSERT_EQ(debugtest::caretLine(view), call);
    choose(contextMenu(view, pointAt(view, print, int(printText.indexOf("total)")) + 1)), "Add &Watch");
    QTreeWidget* watch = debugger->panes()->watch;
    ASSERT_TRUE(waitUntil([&] { return watch->topLevelItemCount() == 1; }));
    EXPECT_EQ(watch->topLevelItem(0)->text(0), QStringLiteral("total"));
    EXPECT_EQ(debugger->session().watches().size(), 1);

    // Toggle Breakpoint on the line under the mouse: the book and gdb have it.
    choose(contextMenu(view, pointAt(view, read, 6)), "Toggle &Breakpoint");
    EXPECT_EQ(marginmarks::BreakpointLines(view), (QList<int>{call, read}));
    ASSERT_TRUE(waitUntil([&] { return debugger->session().breakpointAt(program.sourceBytes(), read + 1) != 0; }));

    // Run to Cursor: to the line under the mouse; the watch follows.
    view->setCursorPosition(call, 0);
    choose(contextMenu(view, pointAt(view, print + 1, 2)), "Ru&n to Cursor");
    ASSERT_TRUE(stoppedAt(print + 2));
    ASSERT_TRUE(waitUntil([&] { return watch->topLevelItem(0)->text(1) == QStringLiteral("14"); }))
        << watch->topLevelItem(0)->text(1).toStdString();
    // ...and on to the breakpoint set from the menu.
    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(read + 1));

    // The session over: the menu as it always was.
    press(Qt::Key_F5, Qt::ShiftModifier);
    ASSERT_EQ(debugger->session().state(), DebugSession::State::Ended);
    menu = contextMenu(view, pointAt(view, print, 4));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(texts(menu), plain);
    menu->close();
}

} // namespace
