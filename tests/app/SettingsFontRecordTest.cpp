// The 60-byte font record and its structure-in-profile encoding.
#include "app/LogFontRecord.h"
#include "app/SettingsProfile.h"

#include <gtest/gtest.h>

namespace {

LogFontRecord boldItalicRecord()
{
    LogFontRecord record;
    record.height = -13;
    record.weight = 700;
    record.italic = 1;
    record.strikeOut = 1;
    record.pitchAndFamily = LogFontRecord::FixedPitch | LogFontRecord::FamilyModern;
    record.setFaceName("courier");
    return record;
}

TEST(SettingsFontRecord, ByteLayoutIsLittleEndianWithoutPadding)
{
    const QByteArray bytes = boldItalicRecord().toBytes();
    ASSERT_EQ(bytes.size(), 60);
    EXPECT_EQ(bytes.mid(0, 4), QByteArray::fromHex("F3FFFFFF"));  // -13
    EXPECT_EQ(bytes.mid(4, 12), QByteArray(12, '\0'));            // width, escapement, orientation
    EXPECT_EQ(bytes.mid(16, 4), QByteArray::fromHex("BC020000")); // 700
    EXPECT_EQ(bytes.mid(20, 8), QByteArray::fromHex("0100010000000031"));
    EXPECT_EQ(bytes.mid(28, 8), QByteArray("courier\0", 8));
    EXPECT_EQ(bytes.mid(36), QByteArray(24, '\0'));
    EXPECT_EQ(LogFontRecord::fromBytes(bytes), boldItalicRecord());
    EXPECT_FALSE(LogFontRecord::fromBytes(bytes.left(59)));
}

TEST(SettingsFontRecord, FaceNameKeepsAtMost31BytesAndANul)
{
    LogFontRecord record;
    record.setFaceName(QByteArray(40, 'F'));
    EXPECT_EQ(record.faceNameBytes(), QByteArray(31, 'F'));
    EXPECT_EQ(record.faceName[31], '\0');
    record.setFaceName("Mono");
    EXPECT_EQ(record.faceNameBytes(), "Mono");
    EXPECT_EQ(record.toBytes().mid(28 + 4), QByteArray(28, '\0')) << "old name fully cleared";
}

TEST(SettingsFontRecord, ProfileEncodingIsUpperHexAndChecksum)
{
    EXPECT_EQ(encodeProfileStruct(QByteArray::fromHex("01FF10")), "01FF1010");
    EXPECT_EQ(encodeProfileStruct(QByteArray()), "00");

    const QByteArray value = boldItalicRecord().toProfileValue();
    ASSERT_EQ(value.size(), 122);
    EXPECT_EQ(value, value.toUpper());
    unsigned sum = 0;
    for (char c : boldItalicRecord().toBytes())
        sum += static_cast<unsigned char>(c);
    EXPECT_EQ(value.right(2).toUInt(nullptr, 16), sum % 256);
    EXPECT_EQ(LogFontRecord::fromProfileValue(value), boldItalicRecord());
}

TEST(SettingsFontRecord, DecodingRejectsDamagedValues)
{
    const QByteArray good = boldItalicRecord().toProfileValue();
    // One digit of the record changed, checksum left alone, as a hand edit would.
    QByteArray oneDigitChanged = good;
    oneDigitChanged[1] = oneDigitChanged[1] == '3' ? '4' : '3';
    QByteArray badChecksum = good;
    badChecksum[121] = badChecksum[121] == '0' ? '1' : '0';
    QByteArray notHex = good;
    notHex[10] = 'G';
    struct Case {
        const char* name;
        QByteArray value;
        bool accepted;
    };
    const Case cases[] = {
        {"good", good, true},
        {"lower-case digits", good.toLower(), true},
        {"one digit changed", oneDigitChanged, false},
        {"checksum changed", badChecksum, false},
        {"not hex", notHex, false},
        {"one byte short", good.left(120), false},
        {"one digit short", good.left(121), false},
        {"one byte long", good + "00", false},
        {"empty", QByteArray(), false},
        {"blank inside", good.left(60) + ' ' + good.mid(61), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LogFontRecord::fromProfileValue(c.value).has_value(), c.accepted) << c.name;
}

} // namespace
