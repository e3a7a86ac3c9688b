// Cutting gdb's output into lines: LF and CR LF, lines that arrive in
// pieces, a line longer than the limit.
#include "debugger/MiParser.h"
#include "support/MiNotation.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QByteArray kOutput = "=thread-group-added,id=\"i1\"\r\n"
                           "~\"Reading symbols from ./steps...\\n\"\n"
                           "(gdb) \n"
                           "\n"
                           "2^done,bkpt={number=\"1\",file=\"steps.c\",line=\"12\"}\r\n"
                           "(gdb) \r\n";

std::vector<MiRecord> feed(MiStreamParser& parser, QByteArrayView bytes)
{
    std::vector<MiRecord> records;
    parser.feed(bytes, records);
    return records;
}

void expectRecords(const std::vector<MiRecord>& records)
{
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].type, MiRecordType::NotifyAsync);
    EXPECT_EQ(records[0].results["id"].bytes(), "i1");
    EXPECT_EQ(records[1].type, MiRecordType::ConsoleStream);
    EXPECT_EQ(records[1].stream, "Reading symbols from ./steps...\n");
    EXPECT_EQ(records[2].type, MiRecordType::Prompt);
    EXPECT_EQ(records[3].type, MiRecordType::Result);
    EXPECT_EQ(records[3].token, 2u);
    EXPECT_EQ(records[3].results["bkpt"]["line"].bytes(), "12");
    EXPECT_EQ(records[4].type, MiRecordType::Prompt);
}

// Whole (the cut at the end), cut into two pieces at every place, and a
// byte at a time: the same records, nothing left held.
TEST(MiStream, EveryCutGivesTheSameRecords)
{
    for (qsizetype cut = 0; cut <= kOutput.size(); ++cut) {
        SCOPED_TRACE(cut);
        MiStreamParser parser;
        std::vector<MiRecord> records = feed(parser, kOutput.left(cut));
        parser.feed(kOutput.mid(cut), records);
        expectRecords(records);
        EXPECT_EQ(parser.pendingBytes(), 0);
    }
    MiStreamParser parser;
    std::vector<MiRecord> records;
    for (const char c : kOutput)
        parser.feed(QByteArrayView(&c, 1), records);
    expectRecords(records);
}

TEST(MiStream, HeldBackUntilTheLineEnds)
{
    MiStreamParser parser;
    EXPECT_TRUE(feed(parser, "*stopped,reason=\"end-stepping-").empty());
    EXPECT_EQ(parser.pendingBytes(), 30);
    EXPECT_TRUE(feed(parser, "range\"\r").empty());
    // The CR waits: it ends the line only when an LF follows.
    const std::vector<MiRecord> records = feed(parser, "\n~\"next\"");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].type, MiRecordType::ExecAsync);
    EXPECT_EQ(records[0].results["reason"].bytes(), "end-stepping-range");
    EXPECT_EQ(parser.pendingBytes(), 7);
    EXPECT_EQ(feed(parser, "\n").at(0).stream, "next");
    EXPECT_EQ(parser.pendingBytes(), 0);
}

TEST(MiStream, AMalformedLineDoesNotSpoilTheNext)
{
    MiStreamParser parser;
    const std::vector<MiRecord> records =
        feed(parser, "hello from the program\n^done,a={\n~\"a\\rb\"\n2^done\n");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].type, MiRecordType::Malformed);
    EXPECT_EQ(records[0].line, "hello from the program");
    EXPECT_EQ(records[1].type, MiRecordType::Malformed);
    EXPECT_EQ(records[2].stream, "a\rb");
    EXPECT_TRUE(records[3].isResult("done"));
    EXPECT_EQ(records[3].token, 2u);
}

// A char array of 1 MB as gdb writes it with "print elements unlimited":
// one line of nearly 3 MB, mostly octal escapes, arriving in reads of 4 KiB.
TEST(MiStream, AVeryLongLineInManyReads)
{
    QByteArray value;
    for (int i = 0; i < 1024 * 1024; ++i)
        value += char(i % 256);
    const QByteArray line = "6^done,value=" + MiQuote(value) + "\r\n";
    ASSERT_GT(line.size(), 2 * 1024 * 1024);
    MiStreamParser parser;
    std::vector<MiRecord> records;
    for (qsizetype at = 0; at < line.size(); at += 4096)
        parser.feed(QByteArrayView(line).sliced(at, std::min<qsizetype>(4096, line.size() - at)),
                    records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].token, 6u);
    EXPECT_EQ(records[0].results["value"].bytes(), value);
    EXPECT_EQ(parser.pendingBytes(), 0);
}

// A line over the limit is dropped as it comes, whatever the reads look
// like, and said with its length; the lines around it are whole.
TEST(MiStream, ALineOverTheLimitIsCutAndSaid)
{
    constexpr qsizetype kLimit = 32;
    const QByteArray longLine = "~\"" + QByteArray(100, 'x') + "\"";
    const QByteArray exact = "~\"" + QByteArray(kLimit - 3, 'y') + "\"";
    const QByteArray stream = "~\"before\"\n" + longLine + "\r\n" + exact + "\n~\"after\"\n";
    struct Case {
        const char* name;
        qsizetype readSize;
    };
    const Case cases[] = {{"at once", stream.size()}, {"byte by byte", 1}, {"in sevens", 7},
                          {"in forties", 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MiStreamParser parser(kLimit);
        std::vector<MiRecord> records;
        qsizetype mostHeld = 0;
        for (qsizetype at = 0; at < stream.size(); at += c.readSize) {
            parser.feed(QByteArrayView(stream).sliced(at, std::min(c.readSize, stream.size() - at)), records);
            mostHeld = std::max(mostHeld, parser.pendingBytes());
        }
        EXPECT_LE(mostHeld, kLimit);
        ASSERT_EQ(records.size(), 4u);
        EXPECT_EQ(records[0].stream, "before");
        EXPECT_EQ(records[1].type, MiRecordType::Malformed);
        // The line's bytes up to its LF (the CR is one of them).
        EXPECT_EQ(records[1].cutBytes, longLine.size() + 1);
        EXPECT_EQ(records[1].error, "record of 104 bytes cut");
        EXPECT_EQ(records[1].line, longLine.left(MiStreamParser::kCutHeadBytes));
        // A line of exactly the limit is kept.
        EXPECT_EQ(records[2].stream, QByteArray(kLimit - 3, 'y'));
        EXPECT_EQ(records[3].stream, "after");
        EXPECT_EQ(parser.pendingBytes(), 0);
    }
}

TEST(MiStream, AnEndlessLineHoldsNothingAndIsSaidAtTheEnd)
{
    MiStreamParser parser(1024);
    std::vector<MiRecord> records;
    const QByteArray chunk(4096, 'z');
    for (int i = 0; i < 1000; ++i)
        parser.feed(chunk, records);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(parser.pendingBytes(), 0);
    const std::vector<MiRecord> last = feed(parser, "\n");
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].cutBytes, 4096 * 1000);
    // After the cut, the parser starts afresh.
    EXPECT_EQ(feed(parser, "~\"next\"\n").at(0).stream, "next");
}

} // namespace
