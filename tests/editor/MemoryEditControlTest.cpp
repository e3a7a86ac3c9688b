#include "editor/LineSelection.h"
#include "editor/MemoryEditControl.h"

#include <gtest/gtest.h>

TEST(MemoryEditControl, CountsEveryLineBreakAsTwo)
{
    struct Row {
        const char* name;
        QByteArray text;
        long length;
        int lines;
        std::vector<long> lineStarts;
        std::vector<int> lineLengths;
    };
    const Row rows[] = {
        {"empty", "", 0, 1, {0}, {0}},
        {"crlf", "ab\r\ncd\r\n", 8, 3, {0, 4, 8}, {2, 2, 0}},
        {"lf", "ab\ncd\n", 8, 3, {0, 4, 8}, {2, 2, 0}},
        {"mixed", "a\r\nbb\nccc\rd", 13, 4, {0, 3, 7, 12}, {1, 2, 3, 1}},
        {"no final break", "x\ny", 4, 2, {0, 3}, {1, 1}},
        {"only breaks", "\n\n", 4, 3, {0, 2, 4}, {0, 0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryEditControl edit(row.text);
        EXPECT_EQ(edit.textLength(), row.length);
        ASSERT_EQ(edit.lineCount(), row.lines);
        for (int line = 0; line < row.lines; ++line) {
            EXPECT_EQ(edit.lineIndex(line), row.lineStarts[line]) << "line " << line;
            EXPECT_EQ(edit.lineLength(line), row.lineLengths[line]) << "line " << line;
            EXPECT_EQ(edit.lineFromChar(row.lineStarts[line]), line);
        }
        EXPECT_EQ(edit.lineIndex(row.lines), -1);
        EXPECT_EQ(edit.lineLength(row.lines), 0);
    }
}

TEST(MemoryEditControl, PositionsInsideALineBreakBelongToItsLine)
{
    MemoryEditControl edit("ab\ncd");
    // "ab" 0..1, CR at 2, LF at 3, "cd" from 4.
    EXPECT_EQ(edit.lineFromChar(2), 0);
    EXPECT_EQ(edit.lineFromChar(3), 0);
    EXPECT_EQ(edit.lineFromChar(4), 1);
    EXPECT_EQ(edit.lineFromChar(1000), 1);
    // A selection edge between CR and LF moves onto the CR.
    edit.setSelection(3, 3);
    EXPECT_EQ(edit.selection(), (EditSelection{2, 2}));
}

TEST(MemoryEditControl, TextRangeUsesCrLf)
{
    MemoryEditControl edit("a\nb\rc");
    EXPECT_EQ(edit.text(), QByteArray("a\r\nb\r\nc"));
    EXPECT_EQ(edit.textRange(0, 3), QByteArray("a\r\n"));
    EXPECT_EQ(edit.textRange(3, -1), QByteArray("b\r\nc"));
    EXPECT_EQ(edit.textRange(5, 2), QByteArray());
    EXPECT_EQ(edit.textRange(-5, 1), QByteArray("a"));
}

TEST(MemoryEditControl, SelectionAndCaret)
{
    MemoryEditControl edit("hello\r\nworld");
    edit.setSelection(9, 2);
    EXPECT_EQ(edit.selection(), (EditSelection{2, 9}));
    EXPECT_EQ(edit.caret(), 2);
    EXPECT_EQ(edit.lineFromChar(-1), 0); // line of the selection start
    EXPECT_EQ(edit.lineIndex(-1), 0);    // line of the caret
    edit.setSelection(2, 9);
    EXPECT_EQ(edit.lineIndex(-1), 7);
    edit.setSelection(0, -1);
    EXPECT_EQ(edit.selection(), (EditSelection{0, 12}));
    edit.setSelection(-4, 99);
    EXPECT_EQ(edit.selection(), (EditSelection{0, 12}));
}

TEST(MemoryEditControl, ReplaceSelection)
{
    MemoryEditControl edit("if (a)\n\tb;");
    edit.setSelection(6, 6);
    edit.replaceSelection("\n{");
    EXPECT_EQ(edit.text(), QByteArray("if (a)\r\n{\r\n\tb;"));
    EXPECT_EQ(edit.selection(), (EditSelection{9, 9}));
    EXPECT_EQ(edit.lineCount(), 3);
    edit.setSelection(0, 2);
    edit.replaceSelection("while");
    EXPECT_EQ(edit.textRange(0, 5), QByteArray("while"));
    EXPECT_EQ(edit.caret(), 5);
}

TEST(MemoryEditControl, ScrollStaysWithinTheText)
{
    MemoryEditControl edit("1\n2\n3\n4");
    EXPECT_EQ(edit.firstVisibleLine(), 0);
    edit.lineScroll(2);
    EXPECT_EQ(edit.firstVisibleLine(), 2);
    edit.lineScroll(10);
    EXPECT_EQ(edit.firstVisibleLine(), 3);
    edit.lineScroll(-10);
    EXPECT_EQ(edit.firstVisibleLine(), 0);
}

TEST(LineSelection, SelectsTheReportedLineWithoutItsBreak)
{
    struct Row {
        const char* name;
        QByteArray text;
        int line;
        EditSelection expected;
        QByteArray selectedText;
    };
    const Row rows[] = {
        {"first line", "int a;\nint b;\nint c;\n", 1, {0, 6}, "int a;"},
        {"middle line", "int a;\nint b;\nint c;\n", 2, {8, 14}, "int b;"},
        {"crlf file", "x\r\nyy\r\nz", 2, {3, 5}, "yy"},
        {"empty line", "a\n\nb", 2, {3, 3}, ""},
        {"last line without break", "a\nlast", 2, {3, 7}, "last"},
        {"empty last line after break", "a\nb\n", 3, {6, 6}, ""},
        {"past the end", "a\nlast", 9, {3, 7}, "last"},
        {"past the end after break", "a\nb\n", 40, {6, 6}, ""},
        {"line zero", "a\nb", 0, {0, 0}, ""},
        {"negative line", "a\nb", -3, {0, 0}, ""},
        {"empty text", "", 5, {0, 0}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryEditControl edit(row.text);
        edit.setSelection(1, 1);
        selectReportedLine(edit, row.line);
        EXPECT_EQ(edit.selection(), row.expected);
        EXPECT_EQ(edit.textRange(edit.selection().start, edit.selection().end), row.selectedText);
    }
}
