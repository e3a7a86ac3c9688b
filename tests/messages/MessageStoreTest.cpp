#include "messages/MessageClassifier.h"
#include "messages/MessageLog.h"
#include "messages/MessageStore.h"

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

TEST(MessageStore, RowsAcrossChunksAndLongerThanAChunk)
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
}

TEST(MessageStore, ClearDropsEverything)
{
    MessageStore store;
    for (int i = 0; i < 10000; ++i)
        store.append(QStringLiteral("line %1").arg(i), 0);
    store.clear();
    EXPECT_EQ(store.size(), 0);
    EXPECT_TRUE(store.isEmpty());
    store.append(QStringLiteral("again"), 1);
    EXPECT_EQ(store.text(0), QStringLiteral("again"));
    EXPECT_EQ(store.icon(0), 1);
}

TEST(MessageLog, SavedBytes)
{
    MessageStore store;
    EXPECT_EQ(messageLogBytes(store), QByteArray("Saved messages from Tarn version 3.4\r\n\r\n"));

    // What the log holds right after start-up: the banner and its separator.
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

TEST(MessageLog, BannerNamesTheVersionAndIsNoDiagnostic)
{
    EXPECT_TRUE(messageBanner().startsWith(QStringLiteral("Tarn version 3.4")));
    EXPECT_TRUE(messageBanner().contains(QStringLiteral("Copyright")));
    EXPECT_EQ(classifyMessage(messageBanner()), IconInfo);
}

} // namespace
