#pragma once

// Tarn's main window on the offscreen platform with the host's gdb set as
// the debugger: source windows opened maximised, keys pressed as the user
// presses them, and a wait for the next stop shown in the windows.
#include "DebugProgram.h"

#include "app/SettingsTestEnvironment.h"
#include "debugger/DebugController.h"
#include "debugger/DebugPanes.h"
#include "editor/CTarnView.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "support/TestSupport.h"

#include <QTest>
#include <QTreeWidget>

namespace debugtest {

// A program that calls a function, prints, and waits for a line on its
// input: the places the tests stop at carry markers.
inline const QByteArray kTwiceProgram = R"(#include <stdio.h>

int twice(int n)
{
    int doubled = n * 2; /* twice body */
    return doubled; /* twice return */
}

int main(void)
{
    char name[40];
    int total = twice(7); /* main call */
    printf("total %d\n", total); /* main print */
    fflush(stdout);
    if (!fgets(name, sizeof name, stdin)) /* main read */
        return 1;
    return 0;
}
)";

// Four statements in a row, each line marked "first" to "fourth".
inline const QByteArray kFourLinesProgram = R"(#include <stdio.h>

int main(void)
{
    int n = 1; /* first */
    n = n + 1; /* second */
    n = n * 3; /* third */
    printf("%d\n", n); /* fourth */
    return 0;
}
)";

// The zero-based line of the caret.
inline int caretLine(QsciScintilla* view)
{
    int line = 0;
    int index = 0;
    view->getCursorPosition(&line, &index);
    return line;
}

class DebuggerWindow : public StartedTarn {
protected:
    void SetUp() override
    {
        StartedTarn::SetUp();
        if (debugtest::gdbPath().isEmpty())
            GTEST_SKIP() << "no gdb on this host";
        IdeSettings settings = main->context().settings();
        settings.gdbPath = debugtest::gdbPath();
        main->context().setSettings(settings);
        main->resize(1000, 800);
        main->show();
        QApplication::setActiveWindow(main);
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        debugger = main->debugger();
        ASSERT_NE(debugger, nullptr);
        QObject::connect(&debugger->session(), &DebugSession::stopRefreshed, [this] { ++refreshed; });
    }
    void TearDown() override
    {
        if (debugger)
            debugger->session().stop();
        StartedTarn::TearDown();
    }

    CTarnView* open(const QString& path)
    {
        fw::Document* doc = app->openDocumentFile(path);
        auto* view = doc ? dynamic_cast<CTarnView*>(doc->firstView()) : nullptr;
        if (view) {
            // Every line of the source in sight, so a grab paints them all.
            view->parentFrame()->showMaximized();
            view->setFocus();
        }
        return view;
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QApplication::processEvents();
        main->router()->updateActions();
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : main;
        QTest::keyClick(focus, Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    bool stoppedAt(int line)
    {
        const bool stopped = testsupport::waitUntil([&] { return refreshed > seen; }, 20000);
        seen = refreshed;
        return stopped && debugger->session().lastStop().frame.line == line;
    }
    BreakpointBook& book() { return debugger->breakpointBook(); }
    // A click on the frame's row in Call Stack.
    void clickFrame(int level)
    {
        QTreeWidget* stack = debugger->panes()->stack;
        QTest::mouseClick(stack->viewport(), Qt::LeftButton, Qt::NoModifier,
                          stack->visualItemRect(stack->topLevelItem(level)).center());
    }

    DebugController* debugger = nullptr;
    int refreshed = 0;
    int seen = 0;
};

} // namespace debugtest
