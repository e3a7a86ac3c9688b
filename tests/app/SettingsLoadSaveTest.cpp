// The settings in the user interface: the source font and its record, and
// LoadSettings and SaveSettings against a real Tarn32.ini in a private
// configuration folder.
#include "SettingsTestEnvironment.h"

#include "settings/FontRecord.h"
#include "settings/IdeContext.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>

#include <climits>
#include <csignal>
#include <sys/resource.h>

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

const QString gccWarning = QStringLiteral(
    "It appears that you have not yet set your program paths in the View->Options menu.  "
    "Tarn may not work correctly until you do!");

class SettingsLoadSave : public SettingsTestEnvironment {
protected:
    // Where the settings are loaded to and saved from.
    IdeContext context;
    void writeIni(const QByteArray& bytes)
    {
        ASSERT_TRUE(testsupport::writeFile(iniPath(), bytes));
    }
};

// A first start (here: a folder where the file should be) with no tools on
// PATH: every stale value gives way to its default, and saving fails. Missing
// tool keys take the tools that PATH finds.
TEST_F(SettingsLoadSave, FirstStartAndMissingToolKeysTakeTheToolsOnPath)
{
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    context.setSettings(IdeSettings{{QStringLiteral("stale"), {}, {}, {}, 5, 5, 5, 5, 5}, QFont(), {}, {}});
    context.load();
    EXPECT_EQ(prompts->messages, QStringList{gccWarning});
    EXPECT_EQ(static_cast<const SettingsValues&>(context.settings()), SettingsValues());
    EXPECT_EQ(context.settings().sourceFont, defaultSourceFont());
    EXPECT_FALSE(SaveSettings(context.settings()));
    ASSERT_TRUE(QDir().rmdir(iniPath()));

    // Two folders on PATH: the first one's tools win; a file named gdb that
    // cannot be run is passed over.
    const QString first = configFolder() + QStringLiteral("/first");
    const QString second = configFolder() + QStringLiteral("/second");
    auto tool = [](const QString& folder, const char* name, bool executable) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        EXPECT_TRUE(testsupport::writeFile(path, "#!/bin/sh\n"));
        if (executable)
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    };
    const QString gcc = tool(first, "gcc", true);
    tool(second, "gcc", true);
    tool(first, "gdb", false);
    const QString gdb = tool(second, "gdb", true);
    const QString make = tool(second, "make", true);
    struct Case {
        const char* name;
        QByteArray ini;
        QString gcc, gdb, make;
    };
    const Case cases[] = {
        {"no file", {}, gcc, gdb, make},
        {"keys only in another section", "[Other]\nGCC Path=/x\nMake Path=\n", gcc, gdb, make},
        {"empty keys are the user's choice", "[Options]\ngcc path=\nMake Path=\n", {}, gdb, {}},
        {"set keys are kept", "[Options]\nGCC Path=/opt/gcc\nGDB Path=/opt/gdb\n", "/opt/gcc",
         "/opt/gdb", make},
    };
    qputenv("PATH", (first + QLatin1Char(':') + second).toLocal8Bit());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(iniPath());
        if (!c.ini.isNull())
            writeIni(c.ini);
        prompts->messages.clear();
        context.load();
        EXPECT_EQ(context.settings().gccPath, c.gcc);
        EXPECT_EQ(context.settings().gdbPath, c.gdb);
        EXPECT_EQ(context.settings().makePath, c.make);
        EXPECT_EQ(prompts->messages, c.gcc.isEmpty() ? QStringList{gccWarning} : QStringList());
        EXPECT_EQ(QFileInfo::exists(iniPath()), !c.ini.isNull()) << "loading never writes";
    }
    // Confirming Options writes what was found.
    ASSERT_TRUE(SaveSettings(context.settings()));
    const QByteArray found = "GCC Path=/opt/gcc\nGDB Path=/opt/gdb\nMake Path=" + make.toUtf8();
    EXPECT_TRUE(testsupport::readFile(iniPath()).contains(found));
}

IdeSettings sampleSettings()
{
    const QString libc = QStringLiteral("/usr/share/doc/glibc-doc/html/index.html");
    return {{"/usr/bin/gcc", "/usr/bin/gdb", "/usr/bin/make", libc, 1, 0, 0, 1, 1},
            QFont(QStringLiteral("DejaVu Sans Mono"), 12, QFont::Bold, true),
            {},
            {}};
}

// Saving keeps the other sections of the file and creates its folder;
// what was saved loads back.
TEST_F(SettingsLoadSave, SavedSettingsLoadBackAndOtherSectionsStay)
{
    const QString nested = configFolder() + QStringLiteral("/not/yet");
    qputenv("XDG_CONFIG_HOME", nested.toLocal8Bit());
    context.setSettings(sampleSettings());
    ASSERT_TRUE(SaveSettings(context.settings()));
    EXPECT_TRUE(QFileInfo::exists(nested + QStringLiteral("/Tarn32.ini")));

    qputenv("XDG_CONFIG_HOME", configFolder().toLocal8Bit());
    writeIni("[Mine]\r\nkeep=1\r\n");
    ASSERT_TRUE(SaveSettings(context.settings()));
    EXPECT_TRUE(testsupport::readFile(iniPath()).startsWith(
        "[Mine]\r\nkeep=1\r\n\r\n[Options]\r\nGCC Path=/usr/bin/gcc\r\n"));
    context.setSettings(IdeSettings());
    context.load();
    EXPECT_TRUE(prompts->messages.isEmpty());
    const IdeSettings expected = sampleSettings();
    EXPECT_EQ(static_cast<const SettingsValues&>(context.settings()), expected);
    EXPECT_EQ(fontRecordFromFont(context.settings().sourceFont),
              fontRecordFromFont(expected.sourceFont));
}

// A write that fails half-way (here: the file size limit, which holds even
// for root) leaves the old file exactly as it was.
TEST_F(SettingsLoadSave, FailedWriteKeepsTheOldFile)
{
    const QByteArray old = "[Options]\nGCC Path=/old/gcc\n";
    writeIni(old);
    context.setSettings(sampleSettings());

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = SaveSettings(context.settings());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(testsupport::readFile(iniPath()), old);
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().contains(iniPath()));
    EXPECT_EQ(QDir(configFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"Tarn32.ini"})
        << "no temporary file left behind";
}

} // namespace
