// The Tarn32.ini reader and writer: section/key lookup, the integer reader,
// and writes that keep everything else in the file.
#include "app/SettingsProfile.h"

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
        int defaultValue;
        int expected;
    };
    const Case cases[] = {
        {"1", 7, 1},
        {"0", 7, 0},
        {"1abc", 7, 1},
        {"abc", 7, 0},
        {"12 34", 7, 12},
        {"-5", 7, -5},
        {"+3", 7, 3},
        {"-", 7, 0},
        {"0x10", 7, 0},
        {"", 7, 7},
        {"007", 7, 7},
        {"99999999999", 7, INT_MAX},
        {"-99999999999", 7, INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readProfileInteger(c.value, c.defaultValue), c.expected) << c.value;

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
    };
    for (const Case& c : cases) {
        SettingsProfile profile = SettingsProfile::fromBytes(c.before);
        profile.setRawValue("Options", c.key, c.value);
        EXPECT_EQ(profile.toBytes(), c.after) << c.name;
    }
}

TEST(SettingsProfile, UntouchedFileRoundTripsUnchanged)
{
    const QByteArray crlf = "; comment\r\n[A]\r\nx = 1\r\n\r\ngarbage line\r\n[B]\r\ny=\r\n";
    EXPECT_EQ(SettingsProfile::fromBytes(crlf).toBytes(), crlf);
    const QByteArray lf = "[A]\nx=1\n";
    EXPECT_EQ(SettingsProfile::fromBytes(lf).toBytes(), lf);
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

} // namespace
