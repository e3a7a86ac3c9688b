#include "messages/MessageTips.h"
#include "messages/MessageClassifier.h"

#include <gtest/gtest.h>

#include <QSet>

#include <deque>

namespace {

TEST(MessageTips, EighteenTipsThatAreNoDiagnostics)
{
    QSet<QString> texts;
    for (int n = 1; n <= TipCount; ++n) {
        const QString text = tipText(n);
        EXPECT_EQ(classifyMessage(text), IconInfo) << n << ": " << text.toStdString();
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), TipCount);
    EXPECT_TRUE(tipText(0).isEmpty());
    EXPECT_TRUE(tipText(19).isEmpty());
    EXPECT_EQ(tipText(7),
              QStringLiteral(
                  "Select \"Rebuild All\" to build files in which only the headers have changed"));
    EXPECT_TRUE(tipText(5).startsWith("If you're having trouble, send email to "));
    EXPECT_TRUE(tipText(8).startsWith("Tarn homepage: "));
    EXPECT_TRUE(tipText(11).startsWith("DJGPP homepage: "));
}

TEST(MessageTips, DrawsModuloEighteenPlusOneAndChangesARepeat)
{
    // Scripted draws: 5 -> tip 6; 23 -> tip 6 again, redrawn (never the same
    // tip twice); 17 -> tip 18; 18 -> tip 1.
    std::deque<unsigned> draws = {5, 23, 17, 18};
    TipChooser chooser([&draws] {
        const unsigned v = draws.front();
        draws.pop_front();
        return v;
    });
    EXPECT_EQ(chooser.next(), 6);
    EXPECT_EQ(chooser.next(), 18);
    EXPECT_EQ(chooser.next(), 1);
    // A generator stuck on one value still changes the tip.
    TipChooser stuck([] { return 3u; });
    EXPECT_EQ(stuck.next(), 4);
    EXPECT_EQ(stuck.next(), 5);
}

} // namespace
