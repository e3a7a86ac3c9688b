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

TEST(SettingsCodec, MissingKeysGiveTheDefaults)
{
    const StoredSettings settings = readStoredSettings(SettingsProfile());
    EXPECT_EQ(settings.gccPath, QString());
    EXPECT_EQ(settings.gdbPath, QString());
    EXPECT_EQ(settings.makePath, QString());
    EXPECT_EQ(settings.libcPath, QString());
    EXPECT_EQ(settings.debugDefault, 0);
    EXPECT_EQ(settings.moveBraces, 1);
    EXPECT_EQ(settings.clearBeforeBuild, 1);
    EXPECT_EQ(settings.keepLevelAfterSemicolon, 1);
    EXPECT_EQ(settings.minimizeOnTile, 0);
    EXPECT_FALSE(settings.font);
    EXPECT_EQ(StoredSettings::defaults(), settings);
}

TEST(SettingsCodec, ReadsEveryKeyWhateverItsCase)
{
    const QByteArray file = "[OPTIONS]\r\n"
                            "gcc path=/usr/bin/gcc\r\n"
                            "GDB PATH=/usr/bin/gdb\r\n"
                            "Make Path=/usr/bin/make\r\n"
                            "libc path=/usr/share/doc/glibc-doc/html/index.html\r\n"
                            "debug default=1\r\n"
                            "AUTO INDENT=0\r\n"
                            "font=" +
                            sampleFont().toProfileValue().toLower() +
                            "\r\n"
                            "clear=0\r\nlevel=0abc\r\ntile=1\r\n";
    const StoredSettings settings = readStoredSettings(SettingsProfile::fromBytes(file));
    EXPECT_EQ(settings.gccPath, QStringLiteral("/usr/bin/gcc"));
    EXPECT_EQ(settings.gdbPath, QStringLiteral("/usr/bin/gdb"));
    EXPECT_EQ(settings.makePath, QStringLiteral("/usr/bin/make"));
    EXPECT_EQ(settings.libcPath, QStringLiteral("/usr/share/doc/glibc-doc/html/index.html"));
    EXPECT_EQ(settings.debugDefault, 1);
    EXPECT_EQ(settings.moveBraces, 0);
    EXPECT_EQ(settings.clearBeforeBuild, 0);
    EXPECT_EQ(settings.keepLevelAfterSemicolon, 0);
    EXPECT_EQ(settings.minimizeOnTile, 1);
    EXPECT_EQ(settings.font, sampleFont());
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

TEST(SettingsCodec, WritesAllTenKeysInTheFixedOrder)
{
    StoredSettings settings = StoredSettings::defaults();
    settings.gccPath = QStringLiteral("/usr/bin/gcc");
    settings.libcPath = QStringLiteral("/doc/libc.html");
    settings.debugDefault = 1;
    settings.font = sampleFont();
    SettingsProfile profile;
    writeStoredSettings(profile, settings);
    const QByteArray expected = "[Options]\n"
                                "GCC Path=/usr/bin/gcc\n"
                                "GDB Path=\n"
                                "Make Path=\n"
                                "LibC Path=/doc/libc.html\n"
                                "Auto Indent=1\n"
                                "Debug Default=1\n"
                                "Font=" +
                                sampleFont().toProfileValue() +
                                "\n"
                                "Clear=1\n"
                                "Level=1\n"
                                "Tile=0\n";
    EXPECT_EQ(profile.toBytes(), expected);
    EXPECT_EQ(readStoredSettings(profile), settings);
}

TEST(SettingsCodec, RewriteUpdatesInPlaceAndKeepsOtherContent)
{
    const QByteArray before = "[Recent]\r\nFile1=a.c\r\n\r\n[options]\r\ntile=1\r\nMine=keep\r\n";
    SettingsProfile profile = SettingsProfile::fromBytes(before);
    StoredSettings settings = readStoredSettings(profile);
    settings.minimizeOnTile = 0;
    settings.font = sampleFont();
    writeStoredSettings(profile, settings);
    const QByteArray after = profile.toBytes();
    EXPECT_TRUE(
        after.startsWith("[Recent]\r\nFile1=a.c\r\n\r\n[options]\r\ntile=0\r\nMine=keep\r\n"))
        << after.constData();
    EXPECT_TRUE(after.endsWith("Level=1\r\n"));
    EXPECT_EQ(after.count("\r\n"), 6 + 9) << "nine keys appended, none duplicated";
    EXPECT_EQ(readStoredSettings(SettingsProfile::fromBytes(after)), settings);
}

} // namespace
