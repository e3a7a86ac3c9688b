// The typing rules, skeletons, comment, dates and Go To Line on the
// in-memory control (going to a source line is tested on the real view). Texts show the caret as
// '|' and use LF for breaks.
#include "support/MemoryEditControl.h"
#include "editor/SourceIndent.h"
#include "editor/SourceInsertions.h"
#include "editor/SourceNavigation.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

namespace {

MemoryEditControl withCaret(QByteArray text)
{
    const long caret = text.indexOf('|');
    text.remove(caret, 1);
    MemoryEditControl edit(text);
    // Positions count each LF as CR LF.
    const long position = caret + text.left(caret).count('\n');
    edit.setSelection(position, position);
    return edit;
}

QByteArray shown(const MemoryEditControl& edit)
{
    QByteArray text = edit.text();
    text.insert(edit.caret(), '|');
    return text.replace("\r\n", "\n");
}

// Each key as the control would handle it, then the rules. '\n' is Enter.
void typeKeys(MemoryEditControl& edit, QByteArrayView keys, IndentRules rules)
{
    for (char key : keys) {
        const bool enter = key == '\n';
        edit.replaceSelection(enter ? QByteArray("\r\n") : QByteArray(1, key));
        ApplyTypingRules(edit, enter ? kEnterChar : key, rules);
    }
}

} // namespace

TEST(TypingRules, KeySequences)
{
    const IndentRules both;
    const IndentRules noEnter{false, true};
    const IndentRules noBraces{true, false};
    struct Row {
        const char* name;
        QByteArray before;
        QByteArray keys;
        QByteArray after;
        IndentRules rules;
    };
    const Row rows[] = {
        // A head opens a level, a brace moves to its statement and opens a
        // level, a semicolon keeps it, a closing brace moves left and keeps.
        {"whole block", "\t|", "while (n)\n{\nn--;\n}\n", "\twhile (n)\n\t{\n\t\tn--;\n\t}\n\t|",
         both},
        {"preprocessor line keeps", "#include <stdio.h>|", "\n", "#include <stdio.h>\n|", both},
        {"comment line keeps", "// note|", "\n", "// note\n|", both},
        {"indented comment looks at its tab", "\t\t// note|", "\n", "\t\t// note\n\t\t\t|", both},
        {"open function head deepens", "int main()|", "\n", "int main()\n\t|", both},
        {"comma deepens", "\tf(a,|", "\n", "\tf(a,\n\t\t|", both},
        {"trailing space keeps", "\tx = |", "\n", "\tx = \n\t|", both},
        {"trailing tab keeps", "\tx\t|", "\n", "\tx\t\n\t|", both},
        {"empty line gives none", "\t\tx;\n|", "\n", "\t\tx;\n\n|", both},
        {"top of the text", "|", "\n", "\n|", both},
        {"split in the middle", "\tfoo(|bar);", "\n", "\tfoo(\n\t\t|bar);", both},
        {"spaces are no indentation", "    f(|", "\n", "    f(\n\t|", both},
        {"two braces on one line", "\t\tint a[] = |", "{1, 2};", "int a[] = {1, 2};|", both},
        {"brace without tabs stays", "x = |", "{", "x = {|", both},
        {"brace keeps caret in the text", "\t\tab|cd", "}", "\tab}|cd", both},
        {"Enter rule off keeps no level", "\t\tf();|", "\n", "\t\tf();\n|", noEnter},
        {"brace rule off", "if (x)\n\t|", "{", "if (x)\n\t{|", noBraces},
    };
    for (const Row& row : rows) {
        MemoryEditControl edit = withCaret(row.before);
        typeKeys(edit, row.keys, row.rules);
        EXPECT_EQ(shown(edit), row.after) << row.name;
    }
}

TEST(TypingRules, IndentOperations)
{
    MemoryEditControl edit = withCaret("\t\tab|\n    x\n" + QByteArray(200, '\t') + "y");
    EXPECT_EQ(LineIndentTabs(edit, 0), 2);
    EXPECT_EQ(LineIndentTabs(edit, 1), 0);
    EXPECT_EQ(LineIndentTabs(edit, 2), 200);
    EXPECT_EQ(LineIndentTabs(edit, 9), 0);
    SetCaretLineIndent(edit, -1);
    SetCaretLineIndent(edit, 3);
    EXPECT_EQ(shown(edit).left(7), "\t\t\tab|\n");
    SetCaretLineIndent(edit, 0);
    EXPECT_EQ(shown(edit).left(4), "ab|\n");
}

TEST(Skeletons, EveryTemplateAtIndentationZeroAndTwo)
{
    // Each template and the whole text after its insertion at two tabs.
    const std::pair<StatementTemplate, QByteArray> rows[] = {
        {StatementTemplate::If, "\t\tif (|)\n\t\t{\n\t\t\t\n\t\t}\n\t\tX"},
        {StatementTemplate::IfElse,
         "\t\tif (|)\n\t\t{\n\t\t\t\n\t\t}\n\t\telse\n\t\t{\n\t\t\t\n\t\t}\n\t\tX"},
        {StatementTemplate::While, "\t\twhile (|)\n\t\t{\n\t\t\t\n\t\t}\n\t\tX"},
        {StatementTemplate::DoWhile, "\t\tdo\n\t\t{\n\t\t\t\n\t\t} while (|);\n\t\tX"},
        {StatementTemplate::For, "\t\tfor (|;;)\n\t\t{\n\t\t\t\n\t\t}\n\t\tX"},
        {StatementTemplate::Switch,
         "\t\tswitch (|)\n\t\t{\n\t\tcase :\n\t\t\n\t\tdefault :\n\n\t\t}\n\t\tX"},
    };
    for (const auto& [kind, atTwo] : rows) {
        MemoryEditControl two = withCaret("\t\t|X");
        InsertStatementTemplate(two, kind);
        EXPECT_EQ(shown(two), atTwo);

        MemoryEditControl zero = withCaret("|");
        InsertStatementTemplate(zero, kind);
        QByteArray expected = atTwo;
        expected.replace("\t\t", "").chop(1); // drop the indentation pairs and the X
        EXPECT_EQ(shown(zero), expected);
    }
}

TEST(Skeletons, ReplaceTheSelectionAndUseTheStartLine)
{
    MemoryEditControl edit("\tkeep old\r\nmore");
    edit.setSelection(6, 13); // "old" and the break, into the next line
    InsertStatementTemplate(edit, StatementTemplate::If);
    EXPECT_EQ(shown(edit), "\tkeep if (|)\n\t{\n\t\t\n\t}\n\tre");
}

TEST(Comment, EnclosesTheSelection)
{
    MemoryEditControl edit("a x = 1; b");
    EXPECT_FALSE(CommentSelection(edit));
    EXPECT_EQ(edit.text(), "a x = 1; b");
    edit.setSelection(8, 2); // dragged backwards
    EXPECT_TRUE(CommentSelection(edit));
    EXPECT_EQ(shown(edit), "a /*|x = 1;*/ b");
    edit.setSelection(0, -1);
    CommentSelection(edit);
    EXPECT_EQ(edit.text(), "/*a /*x = 1;*/ b*/");
}

TEST(InsertDate, LongDateAndTwelveHourClock)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QDate day(2026, 12, 7);
    const std::pair<QTime, const char*> rows[] = {{QTime(21, 5), "9:05 PM"},
                                                  {QTime(0, 0), "12:00 AM"},
                                                  {QTime(12, 30), "12:30 PM"},
                                                  {QTime(9, 59), "9:59 AM"}};
    for (const auto& [time, clock] : rows)
        EXPECT_EQ(FormatInsertDateTime(QDateTime(day, time), us),
                  QString("Monday, December 7, 2026, ") + clock);
    EXPECT_EQ(FormatInsertDate(QDateTime(day, QTime(21, 5)), us), "Monday, December 7, 2026");
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(FormatInsertDate(QDateTime(day, QTime(21, 5)), german), "Montag, 7. Dezember 2026");
}

TEST(GoToLine, Inputs)
{
    // What is typed, and where the caret goes in "one\r\ntwo\r\nthree\r\nfour".
    const std::pair<const char*, long> rows[] = {
        {"1", 0},  {"2", 5},   {"4", 17},    {"5", 17},   {"99999999999", 17}, {"", 0},    {"0", 0},
        {"-5", 0}, {"abc", 0}, {"3abc", 10}, {"  +2", 5}, {"\t3", 10},         {"- 3", 0},
    };
    for (const auto& [typed, position] : rows) {
        MemoryEditControl edit("one\ntwo\nthree\nfour");
        edit.setSelection(8, 8);
        GoToLineNumber(edit, ParseLineNumber(typed));
        EXPECT_EQ(edit.selection(), (EditSelection{position, position})) << typed;
    }
    EXPECT_EQ(ParseLineNumber("12abc"), 12);
    EXPECT_EQ(ParseLineNumber("-99999999999"), INT_MIN);
}
