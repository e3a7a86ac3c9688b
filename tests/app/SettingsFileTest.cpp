// Tarn32.ini: the profile reader and writer (section/key lookup, the
// integer reader, writes that keep everything else), the ten keys of section
// "Options", and the 60-byte font record with its structure-in-profile
// encoding.
#include "settings/LogFontRecord.h"
#include "settings/SettingsCodec.h"
#include "settings/SettingsProfile.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {

TEST(SettingsProfile, LookupFindsTheValue)
{
    const QByteArray options = "[Options]\nGCC Path=/usr/bin/gcc\nClear=0\n";
    struct Case {
        const char* name;
        QByteArray file;
        const char* section;
        const char* key;
        std::optional<QByteArray> expected;
    };
    const Case cases[] = {
        {"plain", options, "Options", "GCC Path", "/usr/bin/gcc"},
        {"section in other case", "[OPTIONS]\nClear=0\n", "Options", "Clear", "0"},
        {"key in other case", "[options]\ngcc path=/g\n", "Options", "GCC Path", "/g"},
        {"CR LF", "[Options]\r\nGCC Path=/g\r\nClear=0\r\n", "Options", "GCC Path", "/g"},
        {"no final break", "[Options]\nClear=1", "Options", "Clear", "1"},
        {"blanks trimmed", "  [ Options ]  \n  GCC Path  =  /a b/gcc  \t\n", "Options", "GCC Path",
         "/a b/gcc"},
        {"empty value", "[Options]\nGCC Path=\n", "Options", "GCC Path", ""},
        {"equals in value", "[Options]\nX=a=b\n", "Options", "X", "a=b"},
        {"missing key", options, "Options", "GDB Path", std::nullopt},
        {"missing section", options, "Other", "Clear", std::nullopt},
        {"key of other section", "[Other]\nClear=5\n[Options]\n", "Options", "Clear", std::nullopt},
        {"key before any section", "Clear=5\n[Options]\n", "Options", "Clear", std::nullopt},
        {"first key wins", "[Options]\nClear=0\nclear=1\n", "Options", "Clear", "0"},
        {"first section wins", "[Options]\n[Options]\nClear=1\n", "Options", "Clear", std::nullopt},
        {"comment is no key", "[Options]\n;Clear=1\n", "Options", ";Clear", std::nullopt},
        {"line without equals", "[Options]\nClear\n", "Options", "Clear", std::nullopt},
        {"unclosed header", "[Options\nClear=0\n", "Options", "Clear", "0"},
        {"empty file", "", "Options", "Clear", std::nullopt},
        {"zero bytes", QByteArray("[Options]\nA=x\0y\n", 16), "Options", "A",
         QByteArray("x\0y", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettingsProfile::fromBytes(c.file).rawValue(c.section, c.key), c.expected)
            << c.name;
}

TEST(SettingsProfile, TextIsUtf8AndAtMost499Characters)
{
    const QString longPath = QStringLiteral("/") + QString(600, QLatin1Char('x'));
    const SettingsProfile profile = SettingsProfile::fromBytes(
        "[Options]\nGCC Path=" + longPath.toUtf8() + "\nGDB Path=/opt/\xc3\xa9t\xc3\xa9/gdb\n");
    EXPECT_EQ(profile.text("Options", "GCC Path", QString()), longPath.left(499));
    EXPECT_EQ(profile.text("Options", "GDB Path", QString()),
              QStringLiteral("/opt/\u00e9t\u00e9/gdb"));
    EXPECT_EQ(profile.text("Options", "Make Path", QStringLiteral("dflt")), QStringLiteral("dflt"));
}

TEST(SettingsProfile, IntegerReaderLikeTheProfileService)
{
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"1", 1},
        {"0", 0},
        {"1abc", 1},
        {"abc", 0},
        {"12 34", 12},
        {"-5", -5},
        {"+3", 3},
        {"-", 0},
        {"0x10", 0},
        {"", 7},
        {"010", 10},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readProfileInteger(c.value, 7), c.expected) << c.value;

    const SettingsProfile profile = SettingsProfile::fromBytes("[Options]\nClear= 1abc \nTile=\n");
    EXPECT_EQ(profile.integer("Options", "Clear", 9), 1);
    EXPECT_EQ(profile.integer("Options", "Tile", 9), 9) << "an empty value gives the default";
    EXPECT_EQ(profile.integer("Options", "Level", 9), 9) << "a missing key gives the default";
}

TEST(SettingsProfile, WriteKeepsEverythingElse)
{
    struct Case {
        const char* name;
        QByteArray before;
        const char* key;
        QByteArray value;
        QByteArray after;
    };
    const Case cases[] = {
        {"ReplaceInPlaceKeepingSpelling", "[other]\na=1\n\n[OPTIONS]\n; note\nclear = 1\nTile=0\n",
         "Clear", "0", "[other]\na=1\n\n[OPTIONS]\n; note\nclear=0\nTile=0\n"},
        {"AppendKeyAtEndOfSection", "[Options]\nTile=0\n\n[Other]\nb=2\n", "Clear", "1",
         "[Options]\nTile=0\nClear=1\n\n[Other]\nb=2\n"},
        {"AppendKeyToEmptySection", "[Options]\n[Other]\n", "Clear", "1",
         "[Options]\nClear=1\n[Other]\n"},
        {"AppendSection", "[Other]\nb=2\n", "Clear", "1", "[Other]\nb=2\n\n[Options]\nClear=1\n"},
        {"AppendSectionNoFinalBreak", "[Other]\nb=2", "Clear", "1",
         "[Other]\nb=2\n\n[Options]\nClear=1\n"},
        {"KeepCrLf", "[Options]\r\nTile=0\r\n", "Clear", "1", "[Options]\r\nTile=0\r\nClear=1\r\n"},
        {"ValueIsOneLine", "", "GCC Path", "/a\r\n[Evil]\nb", "[Options]\nGCC Path=/a[Evil]b\n"},
        {"SameValueChangesNothing",
         "; c\r\n[A]\r\nx = 1\r\n\r\nbad line\r\n[Options]\r\nClear=1\r\n", "Clear", "1",
         "; c\r\n[A]\r\nx = 1\r\n\r\nbad line\r\n[Options]\r\nClear=1\r\n"},
    };
    for (const Case& c : cases) {
        SettingsProfile profile = SettingsProfile::fromBytes(c.before);
        profile.setRawValue("Options", c.key, c.value);
        EXPECT_EQ(profile.toBytes(), c.after) << c.name;
    }
}

TEST(SettingsProfile, BinaryGarbageAndLargeFilesAreRead)
{
    std::mt19937 random(42);
    QByteArray garbage(4 * 1024 * 1024, '\0');
    for (char& c : garbage) {
        c = char(random() & 0xff);
        if (c == '\r')
            c = 'x'; // one line-break style, so the bytes must come back unchanged
    }
    // A real section after megabytes of garbage is still found.
    const QByteArray bytes = garbage + "\n[Options]\nClear=0\n";
    SettingsProfile profile = SettingsProfile::fromBytes(bytes);
    EXPECT_EQ(profile.integer("Options", "Clear", 1), 0);
    profile.setInteger("Options", "Clear", 1);
    const QByteArray written = profile.toBytes();
    EXPECT_EQ(written, garbage + "\n[Options]\nClear=1\n");

    const SettingsProfile onlyGarbage = SettingsProfile::fromBytes(garbage);
    EXPECT_EQ(onlyGarbage.integer("Options", "Tile", 3), 3);
}

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

// The value is the bytes in upper-case hex and a checksum byte (their sum).
TEST(SettingsFontRecord, ProfileEncodingAndDamagedValues)
{
    EXPECT_EQ(encodeProfileStruct(QByteArray::fromHex("01FF10")), "01FF1010");
    EXPECT_EQ(encodeProfileStruct(QByteArray()), "00");
    const QByteArray good = boldItalicRecord().toProfileValue();
    EXPECT_EQ(LogFontRecord::fromProfileValue(good), boldItalicRecord());
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

// Every key written in its fixed place: first the defaults an empty file
// gives, then every key changed. The written bytes read back as they were.
TEST(SettingsCodec, WritesAllTenKeysInTheFixedOrderAndReadsThemBack)
{
    const StoredSettings defaults = readStoredSettings(SettingsProfile());
    StoredSettings changed{
        {"/usr/bin/gcc", "/usr/bin/gdb", "/usr/bin/make", "/doc/libc.html", 1, 0, 0, 0, 1},
        boldItalicRecord()};
    const QByteArray font = "Font=" + boldItalicRecord().toProfileValue() + "\n";
    const QByteArray paths = "[Options]\nGCC Path=/usr/bin/gcc\nGDB Path=/usr/bin/gdb\n"
                             "Make Path=/usr/bin/make\nLibC Path=/doc/libc.html\n";
    const std::pair<StoredSettings, QByteArray> cases[] = {
        {defaults, "[Options]\nGCC Path=\nGDB Path=\nMake Path=\nLibC Path=\n"
                   "Auto Indent=1\nDebug Default=0\nClear=1\nLevel=1\nTile=0\n"},
        {changed, paths + "Auto Indent=0\nDebug Default=1\n" + font + "Clear=0\nLevel=0\nTile=1\n"},
    };
    for (const auto& [settings, bytes] : cases) {
        SettingsProfile profile;
        writeStoredSettings(profile, settings);
        EXPECT_EQ(profile.toBytes(), bytes);
        EXPECT_EQ(readStoredSettings(profile), settings);
    }
    EXPECT_FALSE(defaults.font);
}

TEST(SettingsCodec, BadValuesFallBackPerKey)
{
    QByteArray tampered = boldItalicRecord().toProfileValue();
    tampered[5] = tampered[5] == 'A' ? 'B' : 'A';
    const QByteArray file = "[Options]\nFont=" + tampered + "\nClear=1abc\nLevel=abc\nTile=\n";
    const StoredSettings settings = readStoredSettings(SettingsProfile::fromBytes(file));
    EXPECT_FALSE(settings.font);
    EXPECT_EQ(settings.clearBeforeBuild, 1);
    EXPECT_EQ(settings.keepLevelAfterSemicolon, 0);
    EXPECT_EQ(settings.minimizeOnTile, 0);
}

TEST(SettingsCodec, RewriteUpdatesInPlaceAndKeepsOtherContent)
{
    const QByteArray before = "[Recent]\r\nFile1=a.c\r\n\r\n[options]\r\ntile=1\r\nMine=keep\r\n";
    SettingsProfile profile = SettingsProfile::fromBytes(before);
    StoredSettings settings = readStoredSettings(profile);
    settings.minimizeOnTile = 0;
    writeStoredSettings(profile, settings);
    const QByteArray after = profile.toBytes();
    EXPECT_TRUE(after.startsWith("[Recent]\r\nFile1=a.c\r\n\r\n[options]\r\ntile="
                                 "0\r\nMine=keep\r\nGCC Path=\r\n"))
        << after.constData();
    EXPECT_TRUE(after.endsWith("Level=1\r\n"));
    EXPECT_EQ(after.count("\r\n"), 6 + 8) << "eight keys appended (no font), none duplicated";
}

} // namespace
