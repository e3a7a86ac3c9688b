// The breakpoint book on plain Scintilla controls: marks toggled, moved by
// gdb, kept while a window is closed and shown again when one opens; the
// mark's shape follows the condition, the enabled state and gdb's refusal; the caret
// line's tint steps aside on the debugger's bands.
#include "editor/DebugMargin.h"
#include "support/MarginMarks.h"

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <string_view>

namespace {

const QString kFile = QStringLiteral("/src/prog.c");

std::unique_ptr<QsciScintilla> editorWithLines(int lines)
{
    auto editor = std::make_unique<QsciScintilla>();
    debugmargin::Install(editor.get());
    QString text;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("line %1\n").arg(i + 1);
    editor->setText(text);
    return editor;
}

QList<int> bookLines(const BreakpointBook& book, const QString& path)
{
    QList<int> lines;
    for (const BookBreakpoint& b : book.breakpoints(path))
        lines.append(b.line);
    return lines;
}

TEST(BreakpointBook, TogglesAreMarksAndSignals)
{
    BreakpointBook book;
    auto editor = editorWithLines(20);
    book.attach(editor.get(), kFile);
    QSignalSpy toggled(&book, &BreakpointBook::toggled);

    struct Step {
        int line; // zero-based, as the margin gives it
        bool added;
        QList<int> marks;
    };
    const Step steps[] = {
        {4, true, {4}},     {9, true, {4, 9}}, {2, true, {2, 4, 9}},
        {4, false, {2, 9}}, {2, false, {9}},   {9, false, {}},
    };
    for (const Step& step : steps) {
        book.toggle(editor.get(), kFile, step.line);
        EXPECT_EQ(marginmarks::BreakpointLines(editor.get()), step.marks) << step.line;
        ASSERT_FALSE(toggled.isEmpty());
        const QList<QVariant> signal = toggled.takeLast();
        EXPECT_EQ(signal.at(1).toInt(), step.line + 1);
        EXPECT_EQ(signal.at(2).toBool(), step.added);
        QList<int> oneBased;
        for (int line : step.marks)
            oneBased.append(line + 1);
        EXPECT_EQ(bookLines(book, kFile), oneBased);
    }
    EXPECT_TRUE(book.files().isEmpty());
}

TEST(BreakpointBook, ClosedWindowKeepsItsLinesAndTheNextShowsThem)
{
    BreakpointBook book;
    {
        auto editor = editorWithLines(30);
        book.attach(editor.get(), kFile);
        book.toggle(editor.get(), kFile, 5);
        book.toggle(editor.get(), kFile, 12);
        // Two lines typed above both marks move them.
        editor->insertAt(QStringLiteral("\n\n"), 0, 0);
        book.setEnabled(kFile, 15, false);
        book.detach(editor.get());
    }
    const QList<BookBreakpoint> kept = book.breakpoints(kFile);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept.at(0), (BookBreakpoint{8, true, {}}));
    EXPECT_EQ(kept.at(1), (BookBreakpoint{15, false, {}}));

    auto reopened = editorWithLines(30);
    book.attach(reopened.get(), kFile);
    EXPECT_EQ(marginmarks::BreakpointLines(reopened.get()), (QList<int>{7, 14}));
    EXPECT_TRUE(marginmarks::HasMark(reopened.get(), 14, debugmargin::kDisabledBreakpointMarker));
    book.detach(reopened.get());
}

TEST(BreakpointBook, GdbMovesAMarkOrMergesItWithOneThere)
{
    struct Case {
        const char* name;
        QList<int> lines; // one-based, set first
        int from;
        int to;
        QList<int> after;
        bool windowClosed = false; // the file's window closed before gdb moves it
    };
    const Case cases[] = {
        {"to a free line", {3, 10}, 3, 5, {5, 10}},
        {"onto a breakpoint already there", {3, 5}, 3, 5, {5}},
        {"onto a breakpoint already there, window closed", {3, 5}, 3, 5, {5}, true},
        {"a line that holds none", {3}, 4, 6, {3}},
        {"to the same line", {3}, 3, 3, {3}},
    };
    for (const Case& c : cases) {
        BreakpointBook book;
        auto editor = editorWithLines(20);
        book.attach(editor.get(), kFile);
        for (int line : c.lines)
            book.toggle(editor.get(), kFile, line - 1);
        if (c.windowClosed)
            book.detach(editor.get());
        book.move(kFile, c.from, c.to);
        EXPECT_EQ(bookLines(book, kFile), c.after) << c.name;
        if (c.windowClosed)
            continue;
        QList<int> zeroBased;
        for (int line : c.after)
            zeroBased.append(line - 1);
        EXPECT_EQ(marginmarks::BreakpointLines(editor.get()), zeroBased) << c.name;
        book.detach(editor.get());
    }
}

// The margin mark on a zero-based line: which of the breakpoint markers.
int markOn(QsciScintilla* editor, int line)
{
    using namespace debugmargin;
    const unsigned markers = editor->markersAtLine(line);
    int found = -1;
    for (int marker : {kBreakpointMarker, kDisabledBreakpointMarker, kConditionalBreakpointMarker,
                       kDisabledConditionalMarker, kNotSetBreakpointMarker}) {
        if (markers & (1u << marker)) {
            EXPECT_EQ(found, -1) << "two marks on line " << line;
            found = marker;
        }
    }
    return found;
}

TEST(BreakpointBook, TheMarkShowsConditionDisabledAndRefused)
{
    using namespace debugmargin;
    BreakpointBook book;
    auto editor = editorWithLines(20);
    book.attach(editor.get(), kFile);
    book.toggle(editor.get(), kFile, 4); // one-based 5
    QSignalSpy changed(&book, &BreakpointBook::changed);

    struct Step {
        const char* what;
        std::function<void()> act;
        int mark;
        QString notSet;
    };
    const Step steps[] = {
        {"plain", [] {}, kBreakpointMarker, {}},
        {"a condition", [&] { book.setCondition(kFile, 5, "i > 2"); }, kConditionalBreakpointMarker, {}},
        {"disabled", [&] { book.setEnabled(kFile, 5, false); }, kDisabledConditionalMarker, {}},
        {"enabled", [&] { book.setEnabled(kFile, 5, true); }, kConditionalBreakpointMarker, {}},
        {"blanks are no condition", [&] { book.setCondition(kFile, 5, "  "); }, kBreakpointMarker, {}},
        {"refused", [&] { book.setNotSet(kFile, 5, QStringLiteral("No symbol table is loaded.")); },
         kNotSetBreakpointMarker, QStringLiteral("No symbol table is loaded.")},
        {"refused, with a condition", [&] { book.setCondition(kFile, 5, "i > 2"); },
         kNotSetBreakpointMarker, QStringLiteral("No symbol table is loaded.")},
        {"refusals forgotten", [&] { book.clearNotSet(); }, kConditionalBreakpointMarker, {}},
        {"condition cleared", [&] { book.setCondition(kFile, 5, {}); }, kBreakpointMarker, {}},
    };
    for (const Step& step : steps) {
        changed.clear();
        step.act();
        EXPECT_EQ(markOn(editor.get(), 4), step.mark) << step.what;
        ASSERT_EQ(book.breakpoints(kFile).size(), 1) << step.what;
        EXPECT_EQ(book.breakpoints(kFile).at(0).notSet, step.notSet) << step.what;
        if (std::string_view(step.what) != "plain") {
            EXPECT_EQ(changed.size(), 1) << step.what;
        }
    }
    book.detach(editor.get());
}

TEST(BreakpointBook, RefusalsReachTheirBreakpointOnlyAndAreForgottenEverywhere)
{
    const QString other = QStringLiteral("/src/other.c");
    BreakpointBook book;
    auto editor = editorWithLines(20);
    book.attach(editor.get(), kFile);
    book.toggle(editor.get(), kFile, 2);
    book.toggle(editor.get(), kFile, 7);
    book.restore(other, BookBreakpoint{4, true, {}}); // a file no window shows
    QSignalSpy changed(&book, &BreakpointBook::changed);

    // A line without a breakpoint (Run to Cursor's) or a file without any:
    // nothing changes.
    book.setNotSet(kFile, 5, QStringLiteral("No line 5"));
    book.setNotSet(QStringLiteral("/src/none.c"), 3, QStringLiteral("No source file named none.c."));
    EXPECT_EQ(changed.size(), 0);
    for (const BookBreakpoint& b : book.breakpoints(kFile))
        EXPECT_TRUE(b.notSet.isEmpty()) << b.line;

    book.setNotSet(kFile, 8, QStringLiteral("No line 8 in file \"prog.c\"."));
    book.setNotSet(other, 4, QStringLiteral("No source file named /src/other.c."));
    EXPECT_EQ(changed.size(), 2);
    EXPECT_TRUE(book.breakpoints(kFile).at(0).notSet.isEmpty());
    EXPECT_EQ(book.breakpoints(kFile).at(1).notSet, QStringLiteral("No line 8 in file \"prog.c\"."));
    EXPECT_EQ(markOn(editor.get(), 2), debugmargin::kBreakpointMarker);
    EXPECT_EQ(markOn(editor.get(), 7), debugmargin::kNotSetBreakpointMarker);
    // A refused breakpoint still moves with the text.
    editor->insertAt(QStringLiteral("\n"), 0, 0);
    EXPECT_EQ(book.breakpoints(kFile).at(1).line, 9);
    EXPECT_EQ(book.breakpoints(kFile).at(1).notSet, QStringLiteral("No line 8 in file \"prog.c\"."));

    changed.clear();
    book.clearNotSet();
    EXPECT_EQ(changed.size(), 1);
    EXPECT_TRUE(book.breakpoints(kFile).at(1).notSet.isEmpty());
    EXPECT_TRUE(book.breakpoints(other).at(0).notSet.isEmpty());
    EXPECT_EQ(markOn(editor.get(), 8), debugmargin::kBreakpointMarker);
    // Nothing left to forget: no signal.
    book.clearNotSet();
    EXPECT_EQ(changed.size(), 1);
    book.detach(editor.get());
}

TEST(DebugMargin, TheCaretLineTintStepsAsideOnTheBands)
{
    auto editor = editorWithLines(20);
    debugmargin::ShowCaretLine(editor.get(), true);
    auto tinted = [&] { return editor->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE) != 0; };
    struct Step {
        const char* what;
        std::function<void()> act;
        bool tint;
    };
    const Step steps[] = {
        {"no stop", [&] { editor->setCursorPosition(3, 0); }, true},
        {"the stop comes to the caret's line", [&] { debugmargin::ShowCurrentLine(editor.get(), 3); }, false},
        {"the caret leaves it", [&] { editor->setCursorPosition(6, 2); }, true},
        {"a caller's line", [&] { debugmargin::ShowCallerLine(editor.get(), 9); }, true},
        {"the caret on the caller's line", [&] { editor->setCursorPosition(9, 0); }, false},
        {"the caller's band goes", [&] { debugmargin::ShowCallerLine(editor.get(), -1); }, true},
        {"back on the stop", [&] { editor->setCursorPosition(3, 1); }, false},
        {"the stop goes", [&] { debugmargin::ShowCurrentLine(editor.get(), -1); }, true},
        {"a window that shows no caret line", [&] { debugmargin::ShowCaretLine(editor.get(), false); }, false},
        {"not even off the bands", [&] { debugmargin::ShowCurrentLine(editor.get(), 8); }, false},
    };
    // The control tells of a caret move when it next paints.
    editor->resize(400, 400);
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    for (const Step& step : steps) {
        step.act();
        editor->viewport()->repaint();
        EXPECT_EQ(tinted(), step.tint) << step.what;
    }
    EXPECT_EQ(marginmarks::CurrentLine(editor.get()), 8);
    EXPECT_EQ(marginmarks::CallerLine(editor.get()), -1);
}

} // namespace
