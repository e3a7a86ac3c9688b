// Composing machine-interface commands with tokens, quoting their
// arguments, and matching gdb's answers to them.
#include "debugger/MiCommand.h"

#include <gtest/gtest.h>

namespace {

TEST(MiCommand, ArgumentsQuotedOnlyWhenGdbNeedsIt)
{
    struct Case {
        const char* name;
        QByteArray argument;
        QByteArray written;
    };
    const Case cases[] = {
        {"plain", "main", "main"},
        {"option", "--all-values", "--all-values"},
        {"file and line", "steps.c:12", "steps.c:12"},
        {"empty", "", "\"\""},
        {"blank", "two words", "\"two words\""},
        {"tab", "a\tb", "\"a\\tb\""},
        {"line feed", "a\nb", "\"a\\nb\""},
        {"quote", "say \"hi\"", "\"say \\\"hi\\\"\""},
        {"backslash", "C:\\src", "\"C:\\\\src\""},
        {"leading quote", "\"x", "\"\\\"x\""},
        {"control byte", QByteArray("a\x01", 2), "\"a\\001\""},
        {"bytes that are not UTF-8 stay", "\xe9t\xe9.c", "\xe9t\xe9.c"},
        {"not UTF-8 with a blank", "\xe9 t.c", "\"\\351 t.c\""},
        {"UTF-8 with a blank", "gr\xc3\xbc\xc3\x9f x", "\"gr\\303\\274\\303\\237 x\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MiCommandLine(7, "-x", {"a", c.argument}), "7-x a " + c.written + '\n');
        // What Tarn writes, gdb's own c-string rules read back.
        if (c.written.startsWith('"')) {
            EXPECT_EQ(UnescapeMiString(c.written.mid(1, c.written.size() - 2)), c.argument);
        }
    }
}

TEST(MiCommand, CommandLinesAndLocations)
{
    const std::pair<QByteArray, QByteArray> cases[] = {
        {MiLocation("steps.c", 12), "steps.c:12"},
        {MiLocation("file with blank.c", 3), "\"file with blank.c\":3"},
        {MiLocation("/tmp/a:b/x.c", 1), "\"/tmp/a:b/x.c\":1"},
        // The form gdb 13 accepted in blank.mi (command 3); the bare
        // '"file with blank.c":3' was refused (command 2).
        {MiCommandLine(3, "-break-insert", {MiLocation("file with blank.c", 3)}),
         "3-break-insert \"\\\"file with blank.c\\\":3\"\n"},
        {MiCommandLine(1, "-exec-run"), "1-exec-run\n"},
        {MiCommandLine(12, "-stack-list-variables", {"--all-values"}), "12-stack-list-variables --all-values\n"},
        {MiCommandLine(6, "-exec-arguments", {"one", "two words"}), "6-exec-arguments one \"two words\"\n"},
        {MiCommandLine(4, "-break-insert", {"--source", "file with blank.c", "--line", "4"}),
         "4-break-insert --source \"file with blank.c\" --line 4\n"},
    };
    for (const auto& [written, expected] : cases)
        EXPECT_EQ(written, expected);
}

TEST(MiCommand, AnswersMatchTheirTokens)
{
    MiCommandTokens tokens;
    const auto first = tokens.compose("-break-insert", {"main"});
    const auto second = tokens.compose("-exec-run");
    const auto third = tokens.compose("-stack-list-frames");
    EXPECT_EQ(first.line, QByteArray::number(first.token) + "-break-insert main\n");
    EXPECT_NE(first.token, second.token);
    EXPECT_NE(second.token, third.token);
    EXPECT_EQ(tokens.waitingCount(), 3);

    auto record = [](const QByteArray& line) { return ParseMiLine(line); };
    const QByteArray t2 = QByteArray::number(second.token);
    const QByteArray t3 = QByteArray::number(third.token);
    // Records that answer nothing: no token, async, stream, unknown token.
    EXPECT_FALSE(tokens.answer(record("^done")));
    EXPECT_FALSE(tokens.answer(record(t2 + "*running,thread-id=\"all\"")));
    EXPECT_FALSE(tokens.answer(record("~\"x\"")));
    EXPECT_FALSE(tokens.answer(record("999^done")));
    EXPECT_EQ(tokens.waitingCount(), 3);

    // Answers may come in any order.
    const auto answeredThird = tokens.answer(record(t3 + "^done,stack=[]"));
    ASSERT_TRUE(answeredThird);
    EXPECT_EQ(answeredThird->token, third.token);
    EXPECT_EQ(answeredThird->operation, "-stack-list-frames");
    const auto answeredSecond = tokens.answer(record(t2 + "^running"));
    ASSERT_TRUE(answeredSecond);
    EXPECT_EQ(answeredSecond->operation, "-exec-run");
    EXPECT_EQ(tokens.waitingCount(), 1);
    // A second answer to the same token matches nothing.
    EXPECT_FALSE(tokens.answer(record(t2 + "^done")));
    const auto answeredFirst =
        tokens.answer(record(QByteArray::number(first.token) + "^error,msg=\"no\""));
    ASSERT_TRUE(answeredFirst);
    EXPECT_EQ(answeredFirst->operation, "-break-insert");
    EXPECT_EQ(tokens.waitingCount(), 0);
}

} // namespace
