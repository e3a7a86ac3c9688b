#include "messages/MessageStore.h"
#include "messages/MessageClassifier.h"
#include "messages/MessageLog.h"
#include "messages/RowBytes.h"
#include "tools/OutputLines.h"

#include <gtest/gtest.h>

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

// Rows taken straight from a stream's bytes are exactly the rows of the
// per-row path (CutOutputLines, classifyMessage), whether the piece is
// copied or kept, split into pieces of complete lines or not, and every
// byte of a row comes back (a leading byte-order mark included).
TEST(MessageStore, StreamRowsEqualTheRowsOfTheTexts)
{
    const QByteArray filler = QByteArray("src/a.c:1:2: error: filler\n").repeated(3000); // > 64 KiB
    const QByteArray streams[] = {
        "",
        "\n",
        "a.c:1: error: x\r\nnext",
        "lone\rcr\r\r\nend\r",
        "\xef\xbb\xbf"
        "a.c:2: warning: bom\n",
        QByteArray("nul\0byte\n", 9),
        "latin \xe4 not utf-8\nutf-8 \xc3\xa4\n",
        "std::string\n\n",
    };
    for (const QByteArray& stream : streams) {
        for (const QByteArray& bytes : {stream, filler + stream}) {
            const QStringList expected = CutOutputLines(bytes);
            for (const bool inPieces : {false, true}) {
                MessageStore store;
                store.append(u"before", 0);
                if (inPieces) {
                    const qsizetype end = CompleteLinesEnd(bytes);
                    store.appendStreamRows(bytes.first(end), false);
                    store.appendStreamRows(bytes.sliced(end), true);
                } else {
                    store.appendStreamRows(bytes, true);
                }
                store.append(u"after", 0);
                ASSERT_EQ(store.size(), expected.size() + 2) << stream.toStdString();
                for (qsizetype i = 0; i < expected.size(); ++i) {
                    ASSERT_EQ(store.text(i + 1), expected[i])
                        << stream.toStdString() << " row " << i;
                    ASSERT_EQ(store.icon(i + 1), classifyMessage(expected[i])) << i;
                    ASSERT_EQ(store.utf8(i + 1), expected[i].toUtf8()) << i;
                }
                EXPECT_EQ(store.text(expected.size() + 1), "after");
            }
        }
    }
}

// The saved bytes of rows are pinned where the message window saves them.
TEST(MessageLog, BannerAndHeader)
{
    EXPECT_EQ(messageLogBytes(MessageStore()),
              QByteArray("Saved messages from Tarn version 3.4\r\n\r\n"));
    EXPECT_TRUE(messageBanner().startsWith("Tarn version 3.4"));
    EXPECT_TRUE(messageBanner().contains("Copyright"));
    EXPECT_EQ(classifyMessage(messageBanner()), IconInfo);
}

} // namespace
