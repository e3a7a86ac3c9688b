// The breakpoint book on plain Scintilla controls: marks toggled, moved by
// gdb, kept while a window is closed and shown again when one opens; each
// book is its owner's own (two never share a breakpoint).
#include "editor/DebugMargin.h"

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <QSignalSpy>

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
        EXPECT_EQ(debugmargin::BreakpointLines(editor.get()), step.marks) << step.line;
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

TEST(BreakpointBook, TwoBooksShareNothing)
{
    BreakpointBook first;
    BreakpointBook second;
    auto editor = editorWithLines(10);
    first.attach(editor.get(), kFile);
    first.toggle(editor.get(), kFile, 3);
    EXPECT_EQ(first.files(), QStringList{kFile});
    EXPECT_TRUE(second.files().isEmpty());
    EXPECT_TRUE(second.breakpoints(kFile).isEmpty());
    first.detach(editor.get());
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
    EXPECT_EQ(debugmargin::BreakpointLines(reopened.get()), (QList<int>{7, 14}));
    EXPECT_TRUE(debugmargin::HasBreakpoint(reopened.get(), 14));
    EXPECT_EQ(reopened->markersAtLine(14) & (1 << debugmargin::kDisabledBreakpointMarker),
              1 << debugmargin::kDisabledBreakpointMarker);
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
    };
    const Case cases[] = {
        {"to a free line", {3, 10}, 3, 5, {5, 10}},
        {"onto a breakpoint already there", {3, 5}, 3, 5, {5}},
        {"a line that holds none", {3}, 4, 6, {3}},
        {"to the same line", {3}, 3, 3, {3}},
    };
    for (const Case& c : cases) {
        BreakpointBook book;
        auto editor = editorWithLines(20);
        book.attach(editor.get(), kFile);
        for (int line : c.lines)
            book.toggle(editor.get(), kFile, line - 1);
        book.move(kFile, c.from, c.to);
        EXPECT_EQ(bookLines(book, kFile), c.after) << c.name;
        QList<int> zeroBased;
        for (int line : c.after)
            zeroBased.append(line - 1);
        EXPECT_EQ(debugmargin::BreakpointLines(editor.get()), zeroBased) << c.name;
        book.detach(editor.get());
    }
}

} // namespace
