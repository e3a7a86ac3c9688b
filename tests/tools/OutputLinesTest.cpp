#include "tools/OutputLines.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

namespace {

struct CutCase {
    const char* name;
    QByteArray output;
    QStringList rows;
};

QByteArray bytes(const char* text, qsizetype size)
{
    return QByteArray(text, size);
}

const CutCase kCutCases[] = {
    {"crlf_line", "a.c:1: error: x\r\n", {"a.c:1: error: x", ""}},
    {"bare_lf_keeps_last_character", "abc\n", {"abc", ""}},
    {"lf_first", "\nabc", {"", "abc"}},
    {"no_lf", "no line feed at all", {"no line feed at all"}},
    {"empty_output", "", {""}},
    {"only_crlf", "\r\n", {"", ""}},
    {"mixed_endings", "x\r\ny\nz", {"x", "y", "z"}},
    {"cr_inside_line_kept", "a\rb\n", {"a\rb", ""}},
    {"only_last_cr_dropped", "a\r\r\n", {"a\r", ""}},
    {"lone_cr_at_end_kept", "a\r", {"a\r"}},
    {"blank_lines", "\n\n\n", {"", "", "", ""}},
    {"zero_byte_kept", bytes("a\0b\nc\0", 6),
     {QString::fromLatin1(bytes("a\0b", 3)), QString::fromLatin1(bytes("c\0", 2))}},
    {"utf8_line", "caf\xc3\xa9 \xe2\x80\x98x\xe2\x80\x99\n", {u"café ‘x’"_qs, ""}},
    {"byte_order_mark_kept", "\xef\xbb\xbfx\n", {QString(QChar(0xfeff)) + "x", ""}},
    {"invalid_utf8_as_latin1", "\xff\xfe ok\n", {u"\u00ff\u00fe ok"_qs, ""}},
    {"decoded_per_line", "\xc3\xa9\n\xe9\n", {u"é"_qs, u"\u00e9"_qs, ""}},
    {"truncated_sequence", "x\xe2\x82", {u"x\u00e2\u0082"_qs}},
};

class OutputCutting : public ::testing::TestWithParam<CutCase> {};

TEST_P(OutputCutting, GivesTheRows)
{
    EXPECT_EQ(CutOutputLines(GetParam().output), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(OutputLines, OutputCutting, ::testing::ValuesIn(kCutCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OutputLines, Utf8Validity)
{
    const struct {
        QByteArray bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain ascii", true},
        {"\xc3\xa9", true},
        {"\xf0\x9f\x98\x80", true},          // U+1F600
        {"\xf4\x8f\xbf\xbf", true},          // U+10FFFF
        {"\xc0\xaf", false},                 // overlong '/'
        {"\xe0\x80\xaf", false},             // overlong
        {"\xed\xa0\x80", false},             // surrogate
        {"\xf4\x90\x80\x80", false},         // above U+10FFFF
        {"\xf5\x80\x80\x80", false},
        {"\x80", false},                     // lone continuation
        {"\xc3", false},                     // cut short
        {"\xe2\x82", false},
        {"\xc3\x28", false},                 // bad continuation
        {bytes("a\0b", 3), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes.toHex().constData();
}

// Fed in two pieces at every split point, or byte by byte, each case gives
// the same rows as cut whole: a CR LF or a multibyte character split between
// pieces survives.
TEST(OutputLines, AssemblerGivesTheSameRowsForAnySplit)
{
    const QByteArray outputs[] = {
        "a.c:1: error: x\r\nb.c:2: warning: y\r\n",
        "caf\xc3\xa9\n\xe2\x80\x98q\xe2\x80\x99\r\nend",
        "\xff\n\xc3\xa9\xff\r\r\n\n",
        "no line feed",
        "",
    };
    for (const QByteArray& output : outputs) {
        const QStringList whole = CutOutputLines(output);
        for (qsizetype split = 0; split <= output.size(); ++split) {
            LineAssembler assembler;
            assembler.feed(QByteArrayView(output).first(split));
            assembler.feed(QByteArrayView(output).sliced(split));
            EXPECT_EQ(assembler.finish(), whole) << output.toHex().constData() << " at " << split;
        }
        LineAssembler bytewise;
        for (char c : output) {
            bytewise.feed(QByteArrayView(&c, 1));
            // Only complete lines are ever handed on.
            EXPECT_LE(bytewise.rows().size(), output.count('\n'));
        }
        EXPECT_EQ(bytewise.finish(), whole) << output.toHex().constData();
        EXPECT_EQ(bytewise.finish(), QStringList{QString()}); // empty after finishing
    }
}

// Random bytes, line feeds and carriage returns: joining the rows back
// (re-encoded by the rule they were decoded with) gives the output minus
// exactly the carriage returns that stood before a line feed.
TEST(OutputLines, NoByteIsLost)
{
    QRandomGenerator random(1234);
    for (int round = 0; round < 200; ++round) {
        QByteArray output;
        const int size = random.bounded(0, 400);
        for (int i = 0; i < size; ++i) {
            const int pick = random.bounded(0, 10);
            output += pick == 0 ? '\n' : pick == 1 ? '\r' : char(random.bounded(0, 256));
        }
        const QStringList rows = CutOutputLines(output);
        const QList<QByteArray> lines = output.split('\n');
        ASSERT_EQ(rows.size(), lines.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QByteArray line = lines.at(i);
            if (i + 1 < lines.size() && line.endsWith('\r'))
                line.chop(1);
            const QByteArray back =
                IsValidUtf8(line) ? rows.at(i).toUtf8() : rows.at(i).toLatin1();
            EXPECT_EQ(back, line) << "round " << round << " row " << i;
            EXPECT_EQ(DecodeOutputLine(line), rows.at(i));
        }
    }
}

} // namespace
