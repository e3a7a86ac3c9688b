// A user whose locale is German: gcc and make would write their messages in
// German, but Tarn reads them, so they run with their messages in the C
// locale and the rows, their icons and the verdict are the ones Tarn knows.
// The rest of the locale stays the user's: gcc's quotes are still UTF-8,
// and a program the user runs gets the user's environment as it is.
#include "ToolWindow.h"

#include "editor/CTarnDoc.h"
#include "messages/MessageClassifier.h"
#include "singlefile/RunDebugDialogs.h"
#include "singlefile/RunInTerminal.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <locale.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

const char kGerman[] = "de_DE.UTF-8";
// gcc's German messages: gcc.mo, or gcc-12.mo as Debian names it by its
// version.
const QString kCatalogues = QStringLiteral("/usr/share/locale/de/LC_MESSAGES");

// Why the German messages cannot be had here, or nothing when they can.
std::optional<std::string> germanMissing()
{
    locale_t german = ::newlocale(LC_ALL_MASK, kGerman, locale_t(nullptr));
    if (german == locale_t(nullptr))
        return std::string("the locale ") + kGerman +
               " is not generated (localedef -i de_DE -f UTF-8 de_DE.UTF-8)";
    ::freelocale(german);
    if (QDir(kCatalogues).entryList({"gcc.mo", "gcc-*.mo"}, QDir::Files).isEmpty())
        return "gcc's German messages are not installed (no gcc.mo or gcc-*.mo in " +
               kCatalogues.toStdString() + "; Debian package gcc-12-locales)";
    return std::nullopt;
}

// One error per undeclared name, and a warning.
const QByteArray kBroken = "#warning careful\n"
                           "int main(void)\n{\n  return missing + other;\n}\n";

class ToolLocale : public ToolWindow {
protected:
    void SetUp() override
    {
        // Non-ASCII in the folder: names go through in the user's UTF-8.
        folder = dir.filePath(QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e")) + "/";
        start(folder);
        ASSERT_TRUE(testsupport::writeFile(folder + "bad.c", kBroken));
        ASSERT_TRUE(testsupport::writeFile(folder + "Makefile", "all:\n\t" + gcc.toUtf8() +
                                                                    " -c bad.c\n"));
    }
    // gcc on the broken source, run here in the environment given.
    QStringList gccSays(const QProcessEnvironment& environment)
    {
        QProcess direct;
        direct.setProcessEnvironment(environment);
        direct.setWorkingDirectory(folder);
        direct.start(gcc, {folder + "bad.c", "-c"});
        EXPECT_TRUE(direct.waitForFinished(60000));
        return QString::fromUtf8(direct.readAllStandardError()).split('\n');
    }

    QString folder;
};

} // namespace

TEST_F(ToolLocale, GccAndMakeAreReadInCWhateverLanguageTheUserSpeaks)
{
    if (const auto missing = germanMissing())
        GTEST_SKIP() << "German messages cannot be tested: " << *missing;
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> variables; // nullptr: unset
    };
    const std::vector<Case> cases{
        {"LANG", {{"LANG", kGerman}, {"LC_ALL", nullptr}, {"LC_MESSAGES", nullptr}, {"LANGUAGE", nullptr}}},
        // LC_ALL rules LC_MESSAGES, and LANGUAGE rules them all for gettext.
        {"LC_ALL", {{"LANG", "C"}, {"LC_ALL", kGerman}, {"LC_MESSAGES", nullptr}, {"LANGUAGE", nullptr}}},
        {"LANGUAGE", {{"LANG", kGerman}, {"LC_ALL", nullptr}, {"LC_MESSAGES", kGerman}, {"LANGUAGE", "de"}}},
    };
    // gcc's English, with the quotes of a UTF-8 character type.
    QProcessEnvironment english = QProcessEnvironment::systemEnvironment();
    english.remove("LANGUAGE");
    english.insert("LC_ALL", "C.UTF-8");
    const QStringList expected = gccSays(english);
    ASSERT_TRUE(expected.contains(folder + QString::fromUtf8("bad.c:4:10: error: \xe2\x80\x98missing\xe2\x80\x99 undeclared (first use in this function)")))
        << expected.join('\n').toStdString();

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::SavedVariables savedVariables({"LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"});
        for (const auto& [name, value] : c.variables) {
            if (value)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
        // The same gcc, as the user's shell would start it, speaks German:
        // Tarn has something to undo.
        const QStringList german = gccSays(QProcessEnvironment::systemEnvironment());
        ASSERT_TRUE(german.join('\n').contains("Fehler:")) << german.join('\n').toStdString();

        messages()->ClearMessages();
        ASSERT_NE(app->openDocumentFile(folder + "bad.c"), nullptr);
        ASSERT_TRUE(execute(cmd::QuickCompile));
        const QStringList shown = texts();
        ASSERT_GE(shown.size(), 5);
        EXPECT_EQ(shown.mid(3, 2), (QStringList{"Errors:", ""}));
        EXPECT_EQ(shown.mid(5), expected);
        EXPECT_EQ(verdict(), "Build failed: 2 errors, 1 warning");
        const QString source = folder + "bad.c:";
        EXPECT_EQ(rows(" error: "),
                  (std::vector<Row>{
                      {source + QString::fromUtf8("4:10: error: \xe2\x80\x98missing\xe2\x80\x99 undeclared (first use in this function)"), IconDiagnostic},
                      {source + QString::fromUtf8("4:20: error: \xe2\x80\x98other\xe2\x80\x99 undeclared (first use in this function)"), IconDiagnostic}}));
        EXPECT_EQ(rows(" warning: "),
                  (std::vector<Row>{
                      {source + "1:2: warning: #warning careful [-Wcpp]", IconDiagnostic}}));

        // make and the gcc it starts, on the worker road.
        messages()->ClearMessages();
        runMake(folder + "Makefile");
        EXPECT_EQ(verdict(), "make failed (exit status 2): 2 errors, 1 warning");
        EXPECT_EQ(rows("make: *** "),
                  (std::vector<Row>{{"make: *** [" + folder + "Makefile:2: all] Error 1", IconDiagnostic}}));
        EXPECT_EQ(rows(" error: ").size(), 2U);
        EXPECT_TRUE(rows("Fehler").empty());
    }
}

// Run starts the user's program in the user's environment as it is: the
// tools' C messages are theirs alone.
TEST_F(ToolLocale, RunKeepsTheUsersLocale)
{
    testsupport::SavedVariables savedVariables({"LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE", "TERMINAL"});
    qputenv("LANG", "C.UTF-8");
    qputenv("LC_ALL", kGerman);
    qputenv("LANGUAGE", "de:fr");
    qunsetenv("LC_MESSAGES");
    // A terminal that runs what it is given with its output in a file.
    const QString tarn = QStringLiteral(TARN_TEST_BINARY_DIR "/../tarn");
    ASSERT_TRUE(QFileInfo(tarn).isExecutable());
    const QString record = dir.filePath("run.out");
    const QString terminal = dir.filePath("fake-terminal");
    ASSERT_TRUE(testsupport::writeScript(
        terminal, ("#!/bin/sh\nshift\n\"$@\" < /dev/null > '" + record + "' 2>&1\n").toUtf8()));
    qputenv("TERMINAL", terminal.toUtf8());
    setTerminalWaiter(tarn);
    const QString env = QStandardPaths::findExecutable("env");
    ASSERT_FALSE(env.isEmpty());
    frame()->context().lastRunCommand = env;
    ASSERT_TRUE(DriveModal<CRunDialog>(
        [&] { EXPECT_TRUE(execute(cmd::RunExecutable)); },
        [&](CRunDialog* d) {
            d->findChild<QLineEdit*>("arguments")->setText(QString());
            ClickButton(d, "ok");
        }));
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return testsupport::readFile(record).contains("Press Enter"); }, 30000));
    setTerminalWaiter(QString());
    QList<QByteArray> locale;
    for (const QByteArray& line : testsupport::readFile(record).split('\n')) {
        if (line.startsWith("LC_") || line.startsWith("LANG"))
            locale << line;
    }
    std::sort(locale.begin(), locale.end());
    EXPECT_EQ(locale, (QList<QByteArray>{"LANG=C.UTF-8", "LANGUAGE=de:fr", "LC_ALL=de_DE.UTF-8"}));
}
