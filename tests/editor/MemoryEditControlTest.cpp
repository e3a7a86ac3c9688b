#include "support/MemoryEditControl.h"
#include "EditControlCases.h"
#include "editor/LineSelection.h"

#include <gtest/gtest.h>

TEST(MemoryEditControl, CountsEveryLineBreakAsTwo)
{
    for (const EditText& row : editTexts()) {
        SCOPED_TRACE(row.name);
        MemoryEditControl edit(row.bytes);
        const int lines = int(row.lineStarts.size());
        EXPECT_EQ(edit.textLength(), row.length);
        ASSERT_EQ(edit.lineCount(), lines);
        for (int line = 0; line < lines; ++line) {
            EXPECT_EQ(edit.lineIndex(line), row.lineStarts[line]) << "line " << line;
            EXPECT_EQ(edit.lineLength(line), row.lineLengths[line]) << "line " << line;
            EXPECT_EQ(edit.lineFromChar(row.lineStarts[line]), line);
        }
        EXPECT_EQ(edit.lineIndex(lines), -1);
        EXPECT_EQ(edit.lineLength(lines), 0);
    }
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
