// The debugger's marks as the user sees them in a source window, on the
// offscreen platform with the host's gcc and gdb: the colours painted on
// the stop line and a caller's line (read from a grab of the widget), the
// margin marks of conditional and refused breakpoints, and gdb's refusals
// reaching the breakpoint book.
#include "DebuggerWindow.h"

#include "debugger/DebugPanes.h"
#include "editor/DebugMargin.h"
#include "support/MarginMarks.h"

#include <QDockWidget>
#include <QStatusBar>
#include <QTreeWidget>

using debugtest::lineOf;
using debugtest::Program;
using testsupport::waitUntil;

namespace {

const QByteArray& kProgram = debugtest::kTwiceProgram;

const QColor kPaper(Qt::white);
const QColor kCaretTint(0xf2, 0xf5, 0xfb);

using DebugMarksTest = debugtest::DebuggerWindow;

// The middle of a zero-based line in the viewport.
int middleOf(CTarnView* view, int line)
{
    const long position = view->positionFromLineIndex(line, 0);
    return int(view->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, position)) +
           view->textHeight(line) / 2;
}

// The colour painted at the right end of a zero-based line, past its text.
QColor lineColour(CTarnView* view, int line)
{
    const QImage image = view->viewport()->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const QPoint at(view->viewport()->width() - 4, middleOf(view, line));
    EXPECT_LT(at.y(), view->viewport()->height()) << "line " << line << " is out of sight";
    return image.pixelColor(QPoint(int(at.x() * ratio), int(at.y() * ratio)));
}

// The breakpoint margin's picture on a zero-based line.
QImage marginMark(CTarnView* view, int line)
{
    const int left = view->marginWidth(0);
    const int top = middleOf(view, line) - view->textHeight(line) / 2;
    return view->viewport()
        ->grab(QRect(left, top, view->marginWidth(debugmargin::kMargin), view->textHeight(line)))
        .toImage();
}

TEST_F(DebugMarksTest, TheStopLineShowsUnderTheCaretAndACallerHasALighterBand)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built()) << program.errors().constData();
    CTarnView* view = open(program.source());
    ASSERT_NE(view, nullptr);
    const int body = lineOf(kProgram, "twice body") - 1; // zero-based from here on
    const int call = lineOf(kProgram, "main call") - 1;
    const int other = lineOf(kProgram, "main read") - 1;
    book().toggle(view, program.source(), body);
    // Before any stop the caret's line has its tint: the grab sees it.
    view->setCursorPosition(other, 0);
    ASSERT_TRUE(waitUntil([&] { return view->hasFocus(); }));
    EXPECT_EQ(lineColour(view, other), kCaretTint);
    EXPECT_EQ(lineColour(view, body), kPaper);

    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(body + 1)) << main->statusBar()->currentMessage().toStdString();
    view->setFocus();
    ASSERT_TRUE(waitUntil([&] { return view->hasFocus(); }));
    const QColor stopBand = QColor::fromRgb(debugmargin::kCurrentLineColour);
    const QColor callerBand = QColor::fromRgb(debugmargin::kCallerLineColour);
    struct Look {
        const char* what;
        std::function<void()> act;
        int caret;
        QList<std::pair<int, QColor>> colours;
    };
    const Look looks[] = {
        {"the stop brings the caret to its line", [] {}, body, {{body, stopBand}, {other, kPaper}}},
        {"the caret elsewhere", [&] { view->setCursorPosition(other, 3); }, other,
         {{body, stopBand}, {other, kCaretTint}}},
        {"the caret back on the stop line", [&] { view->setCursorPosition(body, 5); }, body,
         {{body, stopBand}, {other, kPaper}}},
        {"main's frame chosen in Call Stack",
         [&] {
             debugger->panes()->stackDock->raise();
             ASSERT_EQ(debugger->panes()->stack->topLevelItemCount(), 2);
             clickFrame(1);
             view->setFocus();
         },
         call, {{call, callerBand}, {body, stopBand}, {other, kPaper}}},
        {"the caret off the caller's line", [&] { view->setCursorPosition(other, 0); }, other,
         {{call, callerBand}, {body, stopBand}, {other, kCaretTint}}},
        {"twice's frame chosen again",
         [&] {
             clickFrame(0);
             view->setFocus();
         },
         body, {{call, kPaper}, {body, stopBand}}},
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.what);
        look.act();
        ASSERT_TRUE(waitUntil([&] { return view->hasFocus(); }));
        EXPECT_EQ(debugtest::caretLine(view), look.caret);
        for (const auto& [line, colour] : look.colours)
            EXPECT_EQ(lineColour(view, line), colour) << "line " << line;
    }

    // The caller's band goes when the program runs on.
    clickFrame(1);
    ASSERT_EQ(marginmarks::CallerLine(view), call);
    view->setFocus();
    press(Qt::Key_F10);
    ASSERT_TRUE(stoppedAt(lineOf(kProgram, "twice return")));
    EXPECT_EQ(marginmarks::CallerLine(view), -1);
    EXPECT_EQ(lineColour(view, call), kPaper);
    EXPECT_EQ(lineColour(view, body + 1), stopBand);
}

TEST_F(DebugMarksTest, ConditionsAndGdbsRefusalsShowInTheMargin)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built()) << program.errors().constData();
    // A source gdb knows nothing of: no code of the program comes from it.
    const QString stranger = program.folder() + QStringLiteral("/stranger.c");
    ASSERT_TRUE(testsupport::writeFile(stranger, "int unused;\n"));
    CTarnView* view = open(program.source());
    ASSERT_NE(view, nullptr);
    const int body = lineOf(kProgram, "twice body");
    const int call = lineOf(kProgram, "main call");
    book().toggle(view, program.source(), call - 1);
    book().toggle(view, program.source(), body - 1);
    book().setCondition(program.source(), body, "n == 7");
    book().restore(program.source(), BookBreakpoint{400, true, {}}); // past the end
    EXPECT_TRUE(marginmarks::HasMark(view, body - 1, debugmargin::kConditionalBreakpointMarker));
    // The two marks look different.
    EXPECT_NE(marginMark(view, body - 1), marginMark(view, call - 1));

    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(call)) << main->statusBar()->currentMessage().toStdString();
    // The answers to the breakpoints came before the stop.
    const QList<BookBreakpoint> kept = book().breakpoints(program.source());
    ASSERT_EQ(kept.size(), 3);
    EXPECT_TRUE(kept.at(0).notSet.isEmpty()) << kept.at(0).notSet.toStdString();
    EXPECT_TRUE(kept.at(1).notSet.isEmpty()) << kept.at(1).notSet.toStdString();
    EXPECT_TRUE(kept.at(2).notSet.contains(QStringLiteral("400"))) << kept.at(2).notSet.toStdString();
    EXPECT_TRUE(marginmarks::HasMark(view, call - 1, debugmargin::kBreakpointMarker));
    // The condition holds: the conditional one stops too.
    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(body));

    // Its condition cleared while stopped: a plain mark again (beside the
    // stop's arrow).
    book().setCondition(program.source(), body, {});
    EXPECT_TRUE(marginmarks::HasMark(view, body - 1, debugmargin::kBreakpointMarker));
    EXPECT_FALSE(marginmarks::HasMark(view, body - 1, debugmargin::kConditionalBreakpointMarker));

    // F9 in a window on that file while stopped: refused, and the mark
    // says so.
    const QImage plain = marginMark(view, call - 1);
    CTarnView* strangerView = open(stranger);
    ASSERT_NE(strangerView, nullptr);
    strangerView->setCursorPosition(0, 0);
    press(Qt::Key_F9);
    ASSERT_EQ(book().breakpoints(stranger).size(), 1);
    ASSERT_TRUE(waitUntil([&] { return !book().breakpoints(stranger).at(0).notSet.isEmpty(); }));
    EXPECT_TRUE(book().breakpoints(stranger).at(0).notSet.contains(QStringLiteral("stranger.c")))
        << book().breakpoints(stranger).at(0).notSet.toStdString();
    EXPECT_TRUE(marginmarks::HasMark(strangerView, 0, debugmargin::kNotSetBreakpointMarker));
    EXPECT_NE(marginMark(strangerView, 0), plain);

    // The session's end keeps the refusals in view; the next start
    // forgets every one of them until gdb answers again.
    press(Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(debugger->session().state(), DebugSession::State::Ended);
    EXPECT_TRUE(marginmarks::HasMark(strangerView, 0, debugmargin::kNotSetBreakpointMarker));
    book().clearNotSet();
    for (const QString& path : {program.source(), stranger}) {
        for (const BookBreakpoint& b : book().breakpoints(path))
            EXPECT_TRUE(b.notSet.isEmpty()) << b.line;
    }
    EXPECT_FALSE(marginmarks::HasMark(strangerView, 0, debugmargin::kNotSetBreakpointMarker));
    EXPECT_TRUE(marginmarks::HasMark(view, call - 1, debugmargin::kBreakpointMarker));
}

TEST_F(DebugMarksTest, AProgramWithoutDebugInformationRefusesEveryBreakpoint)
{
    // Built without -g: gdb has no line table, so no breakpoint is set;
    // the program runs on and waits for its input.
    Program program(kProgram, QStringLiteral("prog.c"), {QStringLiteral("-O0")});
    ASSERT_TRUE(program.built()) << program.errors().constData();
    CTarnView* view = open(program.source());
    ASSERT_NE(view, nullptr);
    const int body = lineOf(kProgram, "twice body");
    book().toggle(view, program.source(), body - 1);
    press(Qt::Key_F5);
    ASSERT_TRUE(waitUntil([&] { return !book().breakpoints(program.source()).at(0).notSet.isEmpty(); }, 20000))
        << main->statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(book().breakpoints(program.source()).at(0).notSet.contains(QStringLiteral("symbol table")))
        << book().breakpoints(program.source()).at(0).notSet.toStdString();
    EXPECT_TRUE(marginmarks::HasMark(view, body - 1, debugmargin::kNotSetBreakpointMarker));
    EXPECT_TRUE(debugger->session().isActive());
    // Still said once the session is over; a new session tries again and
    // the refusal is gone as it starts.
    press(Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_FALSE(book().breakpoints(program.source()).at(0).notSet.isEmpty());
    bool clearedAtStart = false;
    QObject::connect(&debugger->session(), &DebugSession::stateChanged, [&](DebugSession::State state) {
        if (state == DebugSession::State::Starting)
            clearedAtStart = book().breakpoints(program.source()).at(0).notSet.isEmpty();
    });
    press(Qt::Key_F5);
    EXPECT_TRUE(clearedAtStart);
    press(Qt::Key_F5, Qt::ShiftModifier);
}

} // namespace
