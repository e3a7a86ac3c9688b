#include "support/MemoryEditControl.h"
#include "EditControlCases.h"
#include "editor/LineSelection.h"

#include <QRegularExpression>

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

TEST(LineSelection, SelectsTheMatchOnTheReportedLine)
{
    struct Row {
        const char* name;
        QByteArray text;
        int line;
        QRegularExpression pattern;
        QByteArray selectedText;
    };
    const QRegularExpression total(QStringLiteral("total"), QRegularExpression::CaseInsensitiveOption);
    const Row rows[] = {
        {"the first match of the line", "int a;\n  Total = total;\n", 2, total, "Total"},
        {"after UTF-8 letters: bytes, not characters", "/* \xc3\xa9\xc3\xa9 */ total\n", 1, total, "total"},
        {"a match of letters beyond ASCII", "x\nint \xc3\xa9t\xc3\xa9;\n", 2,
         QRegularExpression(QStringLiteral("\u00e9t\u00e9")), "\xc3\xa9t\xc3\xa9"},
        {"a Latin-1 line: a character a byte", "/* \xe9\xe9 */ total\n", 1, total, "total"},
        {"no match: the whole line", "int a;\nint b;\n", 2, total, "int b;"},
        {"an empty match: the whole line", "int a;\n", 1, QRegularExpression(QStringLiteral("x*")), "int a;"},
        {"no pattern: the whole line", "int a;\n", 1, QRegularExpression(), "int a;"},
        {"past the end: the whole last line", "a\nx total", 9, total, "x total"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryEditControl edit(row.text);
        selectReportedMatch(edit, row.line, row.pattern);
        EXPECT_EQ(edit.textRange(edit.selection().start, edit.selection().end), row.selectedText);
    }
}
