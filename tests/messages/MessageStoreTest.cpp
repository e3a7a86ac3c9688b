#include "messages/MessageClassifier.h"
#include "messages/MessageLog.h"
#include "messages/MessageStore.h"
#include "messages/RowBytes.h"
#include "tools/OutputLines.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageStore, KeepsTextsAndIconsOfEveryRow)
{
    MessageStore store;
    const QString rows[] = {
        QStringLiteral("foo.c:12:5: error: x"), QString(), QStringLiteral("Grüße € 𝄞 quotes ‘x’"),
        QStringLiteral("Errors:"), QString(QLatin1Char('\0')) + QStringLiteral("after nul"),
    };
    const int icons[] = {1, 3, 0, 0, 2};
    for (int i = 0; i < 5; ++i)
        store.append(rows[i], icons[i]);
    ASSERT_EQ(store.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(store.text(i), rows[i]) << i;
        EXPECT_EQ(store.icon(i), icons[i]) << i;
        EXPECT_EQ(QByteArray(store.utf8(i).data(), store.utf8(i).size()), rows[i].toUtf8()) << i;
    }
    EXPECT_EQ(store.text(5), QString());
}

TEST(MessageStore, RowsAcrossChunksAndLongerThanAChunkAndClear)
{
    MessageStore store;
    // Enough rows to fill several chunks, with texts of varying length and
    // a few far longer than one chunk in between.
    const QString huge(300 * 1024, QLatin1Char('h'));
    const QString hugeWide(200 * 1024, QChar(0x20ac)); // 3 bytes each in UTF-8
    std::vector<QString> expected;
    for (int i = 0; i < 30000; ++i) {
        QString text;
        if (i == 7000)
            text = huge;
        else if (i == 15000)
            text = hugeWide;
        else if (i % 97 == 0)
            text = QString();
        else
            text = QStringLiteral("row %1 ").arg(i) + QString(i % 50, QLatin1Char('x'));
        store.append(text, i % 4);
        expected.push_back(text);
    }
    ASSERT_EQ(store.size(), 30000);
    for (int i = 0; i < 30000; ++i) {
        ASSERT_EQ(store.text(i), expected[i]) << i;
        ASSERT_EQ(store.icon(i), i % 4) << i;
    }
    store.clear();
    EXPECT_EQ(store.size(), 0);
    EXPECT_TRUE(store.isEmpty());
    store.append(QStringLiteral("again"), 1);
    EXPECT_EQ(store.text(0), QStringLiteral("again"));
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
        "", "\n", "a.c:1: error: x\r\nnext", "lone\rcr\r\r\nend\r", "\xef\xbb\xbf" "a.c:2: warning: bom\n",
        QByteArray("nul\0byte\n", 9), "latin \xe4 not utf-8\nutf-8 \xc3\xa4\n", "std::string\n\n",
    };
    for (const QByteArray& stream : streams) {
        for (const QByteArray& bytes : {stream, filler + stream}) {
            const QStringList expected = CutOutputLines(bytes);
            for (const bool inPieces : {false, true}) {
                MessageStore store;
                store.append(QStringLiteral("before"), 0);
                if (inPieces) {
                    const qsizetype end = CompleteLinesEnd(bytes);
                    store.appendStreamRows(bytes.first(end), false);
                    store.appendStreamRows(bytes.sliced(end), true);
                } else {
                    store.appendStreamRows(bytes, true);
                }
                store.append(QStringLiteral("after"), 0);
                ASSERT_EQ(store.size(), expected.size() + 2) << stream.toStdString();
                for (qsizetype i = 0; i < expected.size(); ++i) {
                    ASSERT_EQ(store.text(i + 1), expected[i]) << stream.toStdString() << " row " << i;
                    ASSERT_EQ(store.icon(i + 1), classifyMessage(expected[i])) << i;
                    ASSERT_EQ(store.utf8(i + 1), expected[i].toUtf8()) << i;
                }
                EXPECT_EQ(store.text(expected.size() + 1), QStringLiteral("after"));
            }
        }
    }
    MessageStore store;
    store.appendStreamRows("\xef\xbb\xbfx\n", true);
    EXPECT_EQ(store.text(0), QString(QChar(0xfeff)) + QLatin1Char('x'));
    EXPECT_EQ(store.utf8(0), QByteArrayView("\xef\xbb\xbfx"));
}

TEST(MessageLog, BannerAndSavedBytes)
{
    MessageStore store;
    EXPECT_EQ(messageLogBytes(store), QByteArray("Saved messages from Tarn version 3.4\r\n\r\n"));

    // What the log holds right after start-up: the banner (no diagnostic)
    // and its separator.
    EXPECT_TRUE(messageBanner().startsWith(QStringLiteral("Tarn version 3.4")));
    EXPECT_TRUE(messageBanner().contains(QStringLiteral("Copyright")));
    EXPECT_EQ(classifyMessage(messageBanner()), IconInfo);
    store.append(messageBanner(), classifyMessage(messageBanner()));
    store.append(QString(), IconSeparator);
    EXPECT_EQ(messageLogBytes(store), QByteArray("Saved messages from Tarn version 3.4\r\n\r\n")
                                          + messageBanner().toUtf8() + "\r\n\r\n");

    store.clear();
    store.append(QStringLiteral("Errors:"), 0);
    store.append(QString(), IconSeparator);
    store.append(QStringLiteral("foo.c:3: error: ‘x’ undeclared"), 1);
    store.append(QString(), IconNone);
    EXPECT_EQ(messageLogBytes(store),
              QByteArray("Saved messages from Tarn version 3.4\r\n\r\nErrors:\r\n\r\n"
                         "foo.c:3: error: \xe2\x80\x98x\xe2\x80\x99 undeclared\r\n\r\n"));
}

} // namespace
