#include "messages/MessageStore.h"
#include "messages/MessageClassifier.h"
#include "messages/MessageLog.h"
#include "messages/RowBytes.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>

namespace {

TEST(MessageStore, RowsAcrossChunksAndLongerThanAChunkAndClear)
{
    MessageStore store;
    // Enough rows to fill several chunks, with texts of varying length, a
    // few far longer than one chunk and a few odd ones in between.
    const QString odd[] = {"Grüße € 𝄞 quotes ‘x’", QString(QLatin1Char('\0')) + "after nul",
                           QString(300 * 1024, QLatin1Char('h')),
                           QString(200 * 1024, QChar(0x20ac))};
    std::vector<QString> expected;
    for (int i = 0; i < 30000; ++i) {
        QString text = QStringLiteral("row %1 ").arg(i) + QString(i % 50, QLatin1Char('x'));
        if (i % 7500 == 1)
            text = odd[i / 7500];
        else if (i % 97 == 0)
            text = QString();
        store.append(text, i % 4);
        expected.push_back(text);
    }
    ASSERT_EQ(store.size(), 30000);
    for (int i = 0; i < 30000; ++i) {
        ASSERT_EQ(store.text(i), expected[i]) << i;
        ASSERT_EQ(store.icon(i), i % 4) << i;
        ASSERT_EQ(store.utf8(i), expected[i].toUtf8()) << i;
    }
    EXPECT_EQ(store.text(30000), QString());
    store.clear();
    EXPECT_TRUE(store.isEmpty());
    store.append(u"again", 1);
    EXPECT_EQ(store.text(0), "again");
    EXPECT_EQ(store.icon(0), 1);
}

QByteArray bytes(const char* text, qsizetype size)
{
    return QByteArray(text, size);
}

// A tool's output stream and the rows it gives: a line feed ends a row and
// drops one carriage return just before it; what follows the last line feed
// is one more row; each row is UTF-8 when it is valid UTF-8 (a leading
// byte-order mark kept), else Latin-1, so no byte is lost.
const struct {
    const char* name;
    QByteArray output;
    QStringList rows;
} kStreams[] = {
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
    {"byte_order_mark_kept", "\xef\xbb\xbf" "a.c:2: warning: bom\n",
     {QString(QChar(0xfeff)) + "a.c:2: warning: bom", ""}},
    {"invalid_utf8_as_latin1", "\xff\xfe ok\n", {u"\u00ff\u00fe ok"_qs, ""}},
    {"decoded_per_line", "\xc3\xa9\n\xe9\n", {u"é"_qs, u"\u00e9"_qs, ""}},
    {"truncated_sequence", "x\xe2\x82", {u"x\u00e2\u0082"_qs}},
    {"double_colon", "std::string\n\n", {"std::string", "", ""}},
};

// Each stream gives its rows whether it is one small piece (copied), sits
// after 80 KiB of other rows (a kept piece, its rows pointing into it) or
// comes as its complete lines and then the rest; rows already stored stay.
TEST(MessageStore, StreamRowsCopiedKeptAndInPieces)
{
    const QByteArray filler = QByteArray("src/a.c:1:2: error: filler\n").repeated(3000);
    for (const auto& stream : kStreams) {
        SCOPED_TRACE(stream.name);
        for (const int way : {0, 1, 2}) {
            const QByteArray input = way == 1 ? filler + stream.output : stream.output;
            const qsizetype skipped = way == 1 ? 3000 : 0;
            MessageStore store;
            store.append(u"before", 0);
            if (way == 2) {
                const qsizetype end = CompleteLinesEnd(input);
                store.appendStreamRows(input.first(end), false);
                store.appendStreamRows(input.sliced(end), true);
            } else {
                store.appendStreamRows(input, true);
            }
            store.append(u"after", 0);
            ASSERT_EQ(store.size(), 2 + skipped + stream.rows.size()) << way;
            for (qsizetype i = 0; i < stream.rows.size(); ++i) {
                const qsizetype row = 1 + skipped + i;
                ASSERT_EQ(store.text(row), stream.rows[i]) << way << " row " << i;
                ASSERT_EQ(store.icon(row), classifyMessage(stream.rows[i])) << way << " row " << i;
            }
            EXPECT_EQ(store.text(store.size() - 1), "after");
        }
    }
}

TEST(RowBytes, Utf8Validity)
{
    const struct {
        QByteArray bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain ascii", true},
        {"\xc3\xa9", true},
        {"\xf0\x9f\x98\x80", true}, // U+1F600
        {"\xf4\x8f\xbf\xbf", true}, // U+10FFFF
        {"\xc0\xaf", false},        // overlong '/'
        {"\xe0\x80\xaf", false},    // overlong
        {"\xed\xa0\x80", false},    // surrogate
        {"\xf4\x90\x80\x80", false}, // above U+10FFFF
        {"\xf5\x80\x80\x80", false},
        {"\x80", false}, // lone continuation
        {"\xc3", false}, // cut short
        {"\xe2\x82", false},
        {"\xc3\x28", false}, // bad continuation
        {bytes("a\0b", 3), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes.toHex().constData();
}

// Random bytes, line feeds and carriage returns: each stored row, read back
// by the rule it was stored with, is its line minus the carriage return
// just before the line feed.
TEST(RowBytes, NoByteIsLost)
{
    QRandomGenerator random(1234);
    for (int round = 0; round < 200; ++round) {
        QByteArray output;
        const int size = random.bounded(0, 400);
        for (int i = 0; i < size; ++i) {
            const int pick = random.bounded(0, 10);
            output += pick == 0 ? '\n' : pick == 1 ? '\r' : char(random.bounded(0, 256));
        }
        MessageStore store;
        store.appendStreamRows(output, true);
        const QList<QByteArray> lines = output.split('\n');
        ASSERT_EQ(store.size(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QByteArray line = lines.at(i);
            if (i + 1 < lines.size() && line.endsWith('\r'))
                line.chop(1);
            const QString text = store.text(i);
            EXPECT_EQ(IsValidUtf8(line) ? text.toUtf8() : text.toLatin1(), line)
                << "round " << round << " row " << i;
        }
    }
}

// The saved bytes of rows are pinned where the message window saves them;
// the banner it shows at start-up is an information row.
TEST(MessageLog, BannerIsAnInformationRow)
{
    EXPECT_TRUE(messageBanner().contains("Copyright"));
    EXPECT_EQ(classifyMessage(messageBanner()), IconInfo);
}

} // namespace
