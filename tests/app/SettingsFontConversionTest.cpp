// QFont to font record and back.
#include "app/FontRecord.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>

#include <climits>

namespace {

LogFontRecord fixedPitchRecord(const char* face)
{
    LogFontRecord record;
    record.height = -13; // 10 points at 96 dpi
    record.weight = 400;
    record.pitchAndFamily = LogFontRecord::FixedPitch | LogFontRecord::FamilyModern;
    record.setFaceName(face);
    return record;
}

// The default font and a fixed-pitch record whose face is missing here both
// fall back to a monospace font.
TEST(SettingsFontConversion, DefaultAndFixedPitchFontsAreMonospace)
{
    EXPECT_EQ(fontRecordFromFont(defaultSourceFont()), fixedPitchRecord("courier"));
    const QFont missing = fontFromFontRecord(fixedPitchRecord("No Such Face Anywhere"));
    EXPECT_EQ(missing.family(), QStringLiteral("No Such Face Anywhere"));
    for (const QFont& font : {defaultSourceFont(), missing}) {
        const QFontMetricsF metrics(font);
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')),
                  metrics.horizontalAdvance(QLatin1Char('M')))
            << QFontInfo(font).family().toStdString();
    }
}

TEST(SettingsFontConversion, StyleAndSizeSurviveTheRecord)
{
    struct Case {
        const char* name;
        QFont font;
        int height;
        int weight;
    };
    QFont effects(QStringLiteral("DejaVu Serif"), 14);
    effects.setUnderline(true);
    effects.setStrikeOut(true);
    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(20);
    const Case cases[] = {
        {"bold italic", QFont(QStringLiteral("DejaVu Sans Mono"), 12, QFont::Bold, true), -16, 700},
        {"effects", effects, -19, 400},
        {"pixel size", pixels, -20, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LogFontRecord record = fontRecordFromFont(c.font);
        EXPECT_EQ(record.height, c.height);
        EXPECT_EQ(record.weight, c.weight);
        EXPECT_EQ(record.italic != 0, c.font.italic());
        EXPECT_EQ(record.underline != 0, c.font.underline());
        EXPECT_EQ(record.strikeOut != 0, c.font.strikeOut());
        EXPECT_EQ(record.faceNameBytes(), c.font.family().toLatin1());

        const QFont back = fontFromFontRecord(*LogFontRecord::fromBytes(record.toBytes()));
        EXPECT_EQ(back.family(), c.font.family());
        EXPECT_DOUBLE_EQ(back.pointSizeF(), -c.height * 72.0 / 96.0);
        EXPECT_EQ(fontRecordFromFont(back), record)
            << "the style comes back, stable after one round";
    }
}

TEST(SettingsFontConversion, HandEditedExtremesStayUsable)
{
    LogFontRecord record;
    record.setFaceName(QByteArray(31, 'x'));
    for (const std::int32_t height : {INT_MIN, INT_MAX, 0, -1}) {
        record.height = height;
        record.weight = height; // nonsense weights too
        const QFont font = fontFromFontRecord(record);
        EXPECT_GT(font.pointSizeF(), 0) << height;
        EXPECT_LE(font.pointSizeF(), 1000.0) << height;
    }
}

} // namespace
