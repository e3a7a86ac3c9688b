// LoadSettings and SaveSettings against a real Tarn32.ini in a private
// configuration folder.
#include "SettingsTestEnvironment.h"

#include "app/FontRecord.h"
#include "app/IdeSettings.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>

#include <atomic>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <thread>

namespace {

const QString gccWarning = QStringLiteral(
    "It appears that you have not yet set your program paths in the View->Options menu.  "
    "Tarn may not work correctly until you do!");

class SettingsLoadSave : public SettingsTestEnvironment {
protected:
    QString iniPath() const { return configFolder() + QStringLiteral("/Tarn32.ini"); }
    void writeIni(const QByteArray& bytes)
    {
        ASSERT_TRUE(testsupport::writeFile(iniPath(), bytes));
    }
};

void expectDefaultFont(const QFont& font)
{
    EXPECT_EQ(font.family(), QStringLiteral("courier"));
    EXPECT_EQ(font.pointSize(), 10);
    const QFontMetricsF metrics(font); // resolves to a real monospace font
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')),
              metrics.horizontalAdvance(QLatin1Char('M')))
        << QFontInfo(font).family().toStdString();
}

TEST_F(SettingsLoadSave, FirstStartWarnsOnceAndUsesDefaults)
{
    setIdeSettings(IdeSettings{{QStringLiteral("stale"), {}, {}, {}, 5, 5, 5, 5, 5}, QFont()});
    LoadSettings();
    EXPECT_EQ(prompts->messages, QStringList{gccWarning});
    // The default of each key is the codec's; here: the stale values go.
    const IdeSettings& s = ideSettings();
    EXPECT_EQ(s.gccPath, QString());
    EXPECT_EQ(s.debugDefault, 0);
    EXPECT_EQ(s.moveBraces, 1);
    EXPECT_EQ(s.minimizeOnTile, 0);
    expectDefaultFont(s.sourceFont);
    EXPECT_FALSE(QFileInfo::exists(iniPath())) << "loading never writes";
}

TEST_F(SettingsLoadSave, MissingToolKeysTakeTheToolsOnPath)
{
    // Two folders on PATH: the first one's tools win; a file named gdb that
    // cannot be run is passed over.
    const QString first = pathFolder() + QStringLiteral("/first");
    const QString second = pathFolder() + QStringLiteral("/second");
    ASSERT_TRUE(QDir().mkpath(first) && QDir().mkpath(second));
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
        {"set keys are kept", "[Options]\nGCC Path=/opt/gcc\nGDB Path=/opt/gdb\n", "/opt/gcc", "/opt/gdb", make},
    };
    qputenv("PATH", (first + QLatin1Char(':') + second).toLocal8Bit());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(iniPath());
        if (!c.ini.isNull())
            writeIni(c.ini);
        prompts->messages.clear();
        LoadSettings();
        EXPECT_EQ(ideSettings().gccPath, c.gcc);
        EXPECT_EQ(ideSettings().gdbPath, c.gdb);
        EXPECT_EQ(ideSettings().makePath, c.make);
        EXPECT_EQ(prompts->messages, c.gcc.isEmpty() ? QStringList{gccWarning} : QStringList());
        EXPECT_EQ(QFileInfo::exists(iniPath()), !c.ini.isNull()) << "loading never writes";
    }
    // Confirming Options writes what was found.
    ASSERT_TRUE(SaveSettings());
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("GCC Path=/opt/gcc\nGDB Path=/opt/gdb\nMake Path=" + make.toUtf8()));
}

QByteArray randomBytes(int size)
{
    std::mt19937 random(7);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(random() & 0xff);
    return bytes;
}

TEST_F(SettingsLoadSave, BadFilesStartWithWhatCanBeRead)
{
    QByteArray oneDigitChanged =
        fontRecordFromFont(QFont(QStringLiteral("Serif"), 20)).toProfileValue();
    oneDigitChanged[3] = oneDigitChanged[3] == '0' ? '1' : '0';
    QByteArray filler;
    for (int i = 0; filler.size() < 8 * 1024 * 1024; ++i)
        filler += "[Section" + QByteArray::number(i) + "]\nKey=" + QByteArray(60, 'v') + "\n";
    struct Case {
        const char* name;
        QByteArray file;
        QString gccPath;
        int clear;
        int level;
    };
    const Case cases[] = {
        {"empty", "", {}, 1, 1},
        {"binary garbage", randomBytes(1 << 20), {}, 1, 1},
        {"garbage with zero bytes", QByteArray(5000, '\0'), {}, 1, 1},
        {"many megabytes", filler + "[Options]\nGCC Path=/big\nClear=0\n", "/big", 0, 1},
        {"other letter case", "[oPTIONS]\nGcc Path=/lc\nCLEAR=0\nlevel=0\n", "/lc", 0, 0},
        {"integers like 1abc", "[Options]\nGCC Path=/i\nClear=0abc\nLevel=x1\n", "/i", 0, 0},
        {"font of wrong length", "[Options]\nGCC Path=/f\nFont=0011\n", "/f", 1, 1},
        {"font with one digit changed", "[Options]\nGCC Path=/f\nFont=" + oneDigitChanged + "\n",
         "/f", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.file);
        prompts->messages.clear();
        LoadSettings();
        EXPECT_EQ(ideSettings().gccPath, c.gccPath);
        EXPECT_EQ(ideSettings().clearBeforeBuild, c.clear);
        EXPECT_EQ(ideSettings().keepLevelAfterSemicolon, c.level);
        EXPECT_EQ(prompts->messages.size(), c.gccPath.isEmpty() ? 1 : 0);
        expectDefaultFont(ideSettings().sourceFont);
    }
}

IdeSettings sampleSettings()
{
    IdeSettings s;
    s.gccPath = QStringLiteral("/usr/bin/gcc");
    s.gdbPath = QStringLiteral("/usr/bin/gdb");
    s.makePath = QStringLiteral("/usr/bin/make");
    s.libcPath = QStringLiteral("/usr/share/doc/glibc-doc/html/index.html");
    s.sourceFont = QFont(QStringLiteral("DejaVu Sans Mono"), 12, QFont::Bold, true);
    s.debugDefault = 1;
    s.moveBraces = 0;
    s.clearBeforeBuild = 0;
    s.keepLevelAfterSemicolon = 1;
    s.minimizeOnTile = 1;
    return s;
}

TEST_F(SettingsLoadSave, SavedSettingsLoadBack)
{
    // The order of the keys is the codec's; here: the file and the font.
    setIdeSettings(sampleSettings());
    ASSERT_TRUE(SaveSettings());
    const QByteArray written = testsupport::readFile(iniPath());
    EXPECT_TRUE(written.startsWith("[Options]\nGCC Path=/usr/bin/gcc\n")) << written.constData();
    EXPECT_EQ(written.count('\n'), 11);
    setIdeSettings(IdeSettings());
    LoadSettings();
    EXPECT_TRUE(prompts->messages.isEmpty());
    const IdeSettings& s = ideSettings();
    const IdeSettings expected = sampleSettings();
    EXPECT_EQ(s.gccPath, expected.gccPath);
    EXPECT_EQ(s.libcPath, expected.libcPath);
    EXPECT_EQ(s.moveBraces, 0);
    EXPECT_EQ(s.minimizeOnTile, 1);
    EXPECT_EQ(s.sourceFont.family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(s.sourceFont.pointSize(), 12);
    EXPECT_TRUE(s.sourceFont.bold());
    EXPECT_TRUE(s.sourceFont.italic());
}

TEST_F(SettingsLoadSave, SaveKeepsOtherSectionsAndCreatesTheFolder)
{
    const QString nested = configFolder() + QStringLiteral("/not/yet");
    qputenv("XDG_CONFIG_HOME", nested.toLocal8Bit());
    setIdeSettings(sampleSettings());
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(QFileInfo::exists(nested + QStringLiteral("/Tarn32.ini")));

    writeIni("[Mine]\r\nkeep=1\r\n[Options]\r\nTile=0\r\n");
    qputenv("XDG_CONFIG_HOME", configFolder().toLocal8Bit());
    ASSERT_TRUE(SaveSettings());
    const QByteArray written = testsupport::readFile(iniPath());
    EXPECT_TRUE(
        written.startsWith("[Mine]\r\nkeep=1\r\n[Options]\r\nTile=1\r\nGCC Path=/usr/bin/gcc\r\n"))
        << written.constData();
    EXPECT_EQ(written.count("Tile="), 1);
}

TEST_F(SettingsLoadSave, FolderInPlaceOfTheFileLoadsDefaultsAndIsReportedByName)
{
    ASSERT_TRUE(QDir().mkpath(iniPath())); // a folder where the file should be
    LoadSettings();
    EXPECT_EQ(prompts->messages, QStringList{gccWarning});
    expectDefaultFont(ideSettings().sourceFont);
    prompts->messages.clear();
    setIdeSettings(sampleSettings());
    EXPECT_FALSE(SaveSettings());
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().contains(iniPath()))
        << prompts->messages.first().toStdString();
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());

    // A folder that cannot exist: the configuration "folder" is a file.
    const QString file = configFolder() + QStringLiteral("/plain");
    ASSERT_TRUE(testsupport::writeFile(file, "x"));
    qputenv("XDG_CONFIG_HOME", file.toLocal8Bit());
    EXPECT_FALSE(SaveSettings());
    ASSERT_EQ(prompts->messages.size(), 2);
    EXPECT_TRUE(prompts->messages.last().contains(file + QStringLiteral("/Tarn32.ini")));
    EXPECT_EQ(testsupport::readFile(file), "x");
}

// A write that fails half-way (here: the file size limit, which holds even
// for root) leaves the old file exactly as it was.
TEST_F(SettingsLoadSave, FailedWriteKeepsTheOldFile)
{
    const QByteArray old = "[Options]\nGCC Path=/old/gcc\n";
    writeIni(old);
    setIdeSettings(sampleSettings());

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = SaveSettings();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(testsupport::readFile(iniPath()), old);
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().contains(iniPath()));
    EXPECT_EQ(QDir(configFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"Tarn32.ini"})
        << "no temporary file left behind";
}

// Workers copy the settings while the Options dialog replaces them: every
// copy is one whole set, never a mixture.
TEST_F(SettingsLoadSave, SnapshotsNeverSeeAHalfChangedValue)
{
    IdeSettings a;
    a.gccPath = QStringLiteral("/a/gcc");
    a.makePath = QStringLiteral("/a/make");
    a.clearBeforeBuild = 0;
    IdeSettings b;
    b.gccPath = QStringLiteral("/b/gcc-with-a-longer-name");
    b.makePath = QStringLiteral("/b/make");
    b.clearBeforeBuild = 1;
    setIdeSettings(a);

    std::atomic<bool> done{false};
    std::atomic<int> mixed{0};
    std::atomic<int> copies{0};
    std::thread worker([&] {
        while (!done) {
            const IdeSettings s = ideSettingsSnapshot();
            const bool isA = s.gccPath == a.gccPath && s.makePath == a.makePath &&
                             s.clearBeforeBuild == a.clearBeforeBuild;
            const bool isB = s.gccPath == b.gccPath && s.makePath == b.makePath &&
                             s.clearBeforeBuild == b.clearBeforeBuild;
            if (!isA && !isB)
                ++mixed;
            ++copies;
        }
    });
    for (int i = 0; i < 20000 || copies < 1000; ++i)
        setIdeSettings(i % 2 ? a : b);
    done = true;
    worker.join();
    EXPECT_EQ(mixed, 0);
}

} // namespace
