// The ten keys of section "Options": defaults, reading and the write order.
#include "app/SettingsCodec.h"
#include "app/SettingsProfile.h"

#include <gtest/gtest.h>

namespace {

LogFontRecord sampleFont()
{
    LogFontRecord record;
    record.height = -16;
    record.weight = 400;
    record.setFaceName("DejaVu Sans Mono");
    return record;
}

// Every key written in its fixed place: first the defaults an empty file
// gives, then every key changed. The written bytes read back as they were.
TEST(SettingsCodec, WritesAllTenKeysInTheFixedOrderAndReadsThemBack)
{
    const StoredSettings defaults = readStoredSettings(SettingsProfile());
    StoredSettings changed{
        {"/usr/bin/gcc", "/usr/bin/gdb", "/usr/bin/make", "/doc/libc.html", 1, 0, 0, 0, 1},
        sampleFont()};
    const QByteArray font = "Font=" + sampleFont().toProfileValue() + "\n";
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
    QByteArray tampered = sampleFont().toProfileValue();
    tampered[5] = tampered[5] == 'A' ? 'B' : 'A';
    const QByteArray file = "[Options]\nFont=" + tampered + "\nClear=1abc\nLevel=abc\nTile=\n";
    const StoredSettings settings = readStoredSettings(SettingsProfile::fromBytes(file));
    EXPECT_FALSE(settings.font);
    EXPECT_EQ(settings.clearBeforeBuild, 1);
    EXPECT_EQ(settings.keepLevelAfterSemicolon, 0);
    EXPECT_EQ(settings.minimizeOnTile, 0);
    EXPECT_EQ(settings.moveBraces, 1);
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
