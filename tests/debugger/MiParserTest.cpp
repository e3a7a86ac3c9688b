// The machine-interface line parser: records, values, escapes, nesting,
// tokens, and malformed lines, as tables of lines gdb writes (or could).
#include "debugger/MiParser.h"
#include "support/MiNotation.h"

#include <gtest/gtest.h>

namespace {

// The kind's name, for a readable failure (in the enum's order).
const char* typeName(MiRecordType type)
{
    const char* const names[] = {"Result",        "ExecAsync",    "StatusAsync",
                                 "NotifyAsync",   "ConsoleStream", "TargetStream",
                                 "LogStream",     "Prompt",       "Malformed"};
    return names[int(type)];
}

TEST(MiParser, RecordKindsTokensAndResults)
{
    struct Case {
        const char* line;
        MiRecordType type;
        long long token; // -1: none
        const char* resultClass;
        const char* results; // MiNotation of the results tuple
    };
    const Case cases[] = {
        {"^done", MiRecordType::Result, -1, "done", "{}"},
        {"12^done", MiRecordType::Result, 12, "done", "{}"},
        {"0^running", MiRecordType::Result, 0, "running", "{}"},
        {"^connected", MiRecordType::Result, -1, "connected", "{}"},
        {"7^error,msg=\"No symbol \\\"x\\\" in current context.\"", MiRecordType::Result, 7,
         "error", "{msg=\"No symbol \\\"x\\\" in current context.\"}"},
        {"^error,msg=\"oops\",code=\"undefined-command\"", MiRecordType::Result, -1, "error",
         "{msg=\"oops\",code=\"undefined-command\"}"},
        {"23^exit", MiRecordType::Result, 23, "exit", "{}"},
        {"9999999999999999999^done", MiRecordType::Result, -1 /* checked below */, "done", "{}"},
        {"*running,thread-id=\"all\"", MiRecordType::ExecAsync, -1, "running", "{thread-id=\"all\"}"},
        {"4*stopped,reason=\"exited-normally\"", MiRecordType::ExecAsync, 4, "stopped", "{reason=\"exited-normally\"}"},
        {"+download,{section=\".text\",section-size=\"6668\",total-size=\"9880\"}",
         MiRecordType::StatusAsync, -1, "download",
         "{{section=\".text\",section-size=\"6668\",total-size=\"9880\"}}"},
        {"+download,section=\".text\",section-size=\"6668\"", MiRecordType::StatusAsync, -1,
         "download", "{section=\".text\",section-size=\"6668\"}"},
        {"3+download", MiRecordType::StatusAsync, 3, "download", "{}"},
        {"9=thread-created,id=\"1\",group-id=\"i1\"", MiRecordType::NotifyAsync, 9,
         "thread-created", "{id=\"1\",group-id=\"i1\"}"},
        {"=thread-group-added,id=\"i1\"", MiRecordType::NotifyAsync, -1, "thread-group-added", "{id=\"i1\"}"},
        {"=breakpoint-modified,bkpt={number=\"1\",thread-groups=[\"i1\"],times=\"0\"}",
         MiRecordType::NotifyAsync, -1, "breakpoint-modified",
         "{bkpt={number=\"1\",thread-groups=[\"i1\"],times=\"0\"}}"},
        {"~\"Reading symbols from ./steps...\\n\"", MiRecordType::ConsoleStream, -1, "", "{}"},
        {"@\"hello\\n\"", MiRecordType::TargetStream, -1, "", "{}"},
        {"&\"warning: x\\n\"", MiRecordType::LogStream, -1, "", "{}"},
        {"(gdb) ", MiRecordType::Prompt, -1, "", "{}"},
        {"(gdb)", MiRecordType::Prompt, -1, "", "{}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const MiRecord record = ParseMiLine(c.line);
        EXPECT_STREQ(typeName(record.type), typeName(c.type)) << record.error.constData();
        if (c.token >= 0) {
            ASSERT_TRUE(record.token.has_value());
            EXPECT_EQ(*record.token, quint64(c.token));
        }
        EXPECT_EQ(record.resultClass, QByteArray(c.resultClass));
        EXPECT_EQ(MiNotation(record.results), QByteArray(c.results));
    }
    EXPECT_FALSE(ParseMiLine("^done").token.has_value());
    EXPECT_FALSE(ParseMiLine("*stopped").token.has_value());
    EXPECT_EQ(ParseMiLine("9999999999999999999^done").token, quint64(9999999999999999999ULL));
}

TEST(MiParser, StreamTextWithEveryEscape)
{
    struct Case {
        const char* name;
        const char* line;
        QByteArray text;
    };
    const Case cases[] = {
        {"plain", "~\"abc\"", "abc"},
        {"empty", "~\"\"", ""},
        {"line feed and tab (a source line)", "~\"26\\t    int x;\\n\"", "26\t    int x;\n"},
        {"quote and backslash", "~\"say \\\"hi\\\" \\\\ done\"", "say \"hi\" \\ done"},
        {"control letters", "~\"\\r\\b\\f\\v\\a\\e\"", "\r\b\f\v\a\033"},
        {"octal, three digits", "~\"a\\351\\377z\"", QByteArray("a\xe9\xffz")},
        {"octal zero byte", "~\"x\\000y\"", QByteArray("x\0y", 3)},
        {"octal, one and two digits", "~\"\\0\\12\\101\"", QByteArray("\0\nA", 3)},
        {"octal stops after three digits", "~\"\\1012\"", "A2"},
        {"octal stops at an 8", "~\"\\18\"", QByteArray("\x01" "8")},
        {"raw bytes that are not UTF-8", "~\"\xe9\xff\xfe\"", QByteArray("\xe9\xff\xfe")},
        {"raw UTF-8", "~\"gr\xc3\xbc\xc3\x9f\"", QByteArray("gr\xc3\xbc\xc3\x9f")},
        {"single quote", "~\"it\\'s\"", "it's"},
        {"unknown escape letter stands for itself", "~\"\\q\"", "q"},
        {"nested escaping as gdb writes a char array",
         "~\"\\\"a\\\\351\\\\377\\\\n\\\\\\\\z\\\\000\\\"\"", "\"a\\351\\377\\n\\\\z\\000\""},
        {"a comma and brackets inside", "~\"{a,b}=[c]\"", "{a,b}=[c]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MiRecord record = ParseMiLine(c.line);
        ASSERT_EQ(record.type, MiRecordType::ConsoleStream) << record.error.constData();
        EXPECT_EQ(record.stream, c.text);
    }
}

TEST(MiParser, ValuesNestAndKeepOrder)
{
    const MiRecord record = ParseMiLine(
        "5^done,stack=[frame={level=\"0\",func=\"walk\",args=[{name=\"head\",value=\"0x0\"}]},"
        "frame={level=\"1\",func=\"main\",args=[]}],empty={},names=[\"a\",\"b\"],"
        "script={\"silent\",\"print x\"}");
    ASSERT_EQ(record.type, MiRecordType::Result) << record.error.constData();
    const MiValue& stack = record.results["stack"];
    ASSERT_TRUE(stack.isList());
    ASSERT_EQ(stack.size(), 2);
    EXPECT_EQ(stack.items()[0].name, "frame");
    EXPECT_EQ(stack.items()[1].name, "frame");
    EXPECT_EQ(stack.at(0)["func"].bytes(), "walk");
    EXPECT_EQ(stack.at(1)["func"].bytes(), "main");
    EXPECT_EQ(stack.at(1)["level"].number(), 1);
    EXPECT_EQ(stack.at(0)["args"].at(0)["value"].bytes(), "0x0");
    EXPECT_TRUE(stack.at(1)["args"].isList());
    EXPECT_EQ(stack.at(1)["args"].size(), 0);
    EXPECT_TRUE(record.results["empty"].isTuple());
    EXPECT_EQ(record.results["names"].at(1).bytes(), "b");
    EXPECT_TRUE(record.results["names"].items()[0].name.isEmpty());
    EXPECT_EQ(record.results["script"].at(1).bytes(), "print x");
    // Missing names and indexes read as an empty string, never a crash.
    EXPECT_EQ(record.results["nothing"]["deeper"].bytes(), "");
    EXPECT_EQ(stack.at(7).kind(), MiValue::Kind::String);
    EXPECT_EQ(record.results.find("nothing"), nullptr);
    EXPECT_FALSE(stack.at(0)["func"].number().has_value());
}

TEST(MiParser, DeepNestingUpToTheLimit)
{
    for (const int depth : {1, 50, kMiMaxDepth}) {
        SCOPED_TRACE(depth);
        QByteArray line = "^done,v=";
        for (int i = 0; i < depth; ++i)
            line += (i % 2) ? "{a=" : "[";
        line += "\"leaf\"";
        for (int i = depth - 1; i >= 0; --i)
            line += (i % 2) ? "}" : "]";
        const MiRecord record = ParseMiLine(line);
        ASSERT_EQ(record.type, MiRecordType::Result) << record.error.constData();
        const MiValue* value = &record.results["v"];
        for (int i = 0; i < depth; ++i) {
            ASSERT_EQ(value->size(), 1);
            value = &value->at(0);
        }
        EXPECT_EQ(value->bytes(), "leaf");
    }
    const QByteArray tooDeep =
        "^done,v=" + QByteArray(kMiMaxDepth + 1, '[') + "\"x\"" + QByteArray(kMiMaxDepth + 1, ']');
    const MiRecord record = ParseMiLine(tooDeep);
    EXPECT_EQ(record.type, MiRecordType::Malformed);
    EXPECT_TRUE(record.error.contains("nested too deeply")) << record.error.constData();
    // Far deeper than the limit, unclosed: refused quickly, no stack overflow.
    EXPECT_EQ(ParseMiLine("^done,v=" + QByteArray(1000000, '[')).type, MiRecordType::Malformed);
}

TEST(MiParser, MalformedLinesSayWhy)
{
    struct Case {
        const char* name;
        QByteArray line;
        const char* error;
    };
    const Case cases[] = {
        {"empty", "", "column 1: empty line"},
        {"program output", "hello world", "column 1: not a record"},
        {"token alone", "12", "column 3: not a record"},
        {"unknown result class", "^finished", "column 2: unknown result class \"finished\""},
        {"no class", "*,reason=\"x\"", "column 2: expected a name"},
        {"token too long", "12345678901234567890^done", "column 20: the token is too long"},
        {"token before a stream", "3~\"x\"", "column 2: a stream record has no token"},
        {"unclosed string", "~\"abc", "column 2: the string has no closing '\"'"},
        {"unclosed after an escaped quote", "~\"abc\\\"", "column 2: the string has no closing"},
        {"backslash at the end", "~\"abc\\", "column 2: the string has no closing"},
        {"octal too large", "~\"\\777\"", "column 2: bad escape in the string"},
        {"text after a stream", "~\"a\"b", "column 5: expected the end of the line"},
        {"stream without quotes", "~abc", "column 2: expected '\"'"},
        {"blank after the class", "^done ,a=\"1\"", "column 6: expected ',' or the end"},
        {"missing equals", "^done,a\"1\"", "column 8: expected '=' after the name"},
        {"bare word as a value", "^done,a=1", "column 9: expected a value"},
        {"unclosed tuple", "^done,a={b=\"1\"", "column 15: expected ',' or '}'"},
        {"unclosed list", "^done,a=[\"1\"", "column 13: expected ',' or ']'"},
        {"wrong closer", "^done,a={b=\"1\"]", "column 15: expected ',' or '}'"},
        {"trailing comma", "^done,a=\"1\",", "column 13: expected a name"},
        {"comma in a list end", "^done,a=[\"1\",]", "column 14: expected a name"},
        {"text after the results", "^done,a=\"1\"}", "column 12: expected ',' or the end"},
        {"prompt with more text", "(gdb) x", "column 1: not a record"},
        {"zero byte", QByteArray("^done,a=\"1\"\0", 12), "column 12: expected ',' or the end"},
        {"carriage return inside", "^done\r,a=\"1\"", "column 6: expected ',' or the end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MiRecord record = ParseMiLine(c.line);
        EXPECT_EQ(record.type, MiRecordType::Malformed);
        EXPECT_TRUE(record.error.startsWith(c.error)) << record.error.constData();
        EXPECT_EQ(record.line, c.line);
    }
}

// Every prefix of a good line is a line that ends too early: each must give
// Malformed (or, for a few, a shorter valid record) without reading past its
// end, which AddressSanitizer would catch.
TEST(MiParser, EveryPrefixOfARecordIsSafe)
{
    const QByteArray line =
        "42*stopped,reason=\"signal-received\",signal-name=\"SIGSEGV\",frame={addr=\"0x1151\","
        "args=[{name=\"head\",value=\"0x0\"}],file=\"a \\\"b\\\".c\",line=\"12\"},x=[\"\\351\"]";
    ASSERT_EQ(ParseMiLine(line).type, MiRecordType::ExecAsync);
    int valid = 0;
    for (qsizetype n = 1; n < line.size(); ++n) {
        const QByteArray prefix = line.left(n); // a copy: ASan sees its real end
        const MiRecord record = ParseMiLine(prefix);
        if (record.type != MiRecordType::Malformed)
            ++valid;
        else
            EXPECT_FALSE(record.error.isEmpty());
    }
    // A class alone ("42*s" up to "42*stopped", 7 prefixes), and the line cut
    // right after each of its first three results.
    EXPECT_EQ(valid, 10);
}

TEST(MiParser, UnescapeAlone)
{
    EXPECT_EQ(UnescapeMiString("a\\tb"), QByteArray("a\tb"));
    EXPECT_EQ(UnescapeMiString("\\400"), std::nullopt);
    EXPECT_EQ(UnescapeMiString("\\377"), QByteArray("\xff"));
    EXPECT_EQ(UnescapeMiString("end\\"), std::nullopt);
    EXPECT_EQ(UnescapeMiString(""), QByteArray());
}

} // namespace
