// The Options dialog driven through its real widgets, with scripted file and
// font dialogs.
#include "SettingsTestEnvironment.h"

#include "app/CIDEOptionsDialog.h"
#include "app/FontRecord.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class OptionsDialog : public SettingsTestEnvironment {
protected:
    void SetUp() override
    {
        SettingsTestEnvironment::SetUp();
        IdeSettings s;
        s.gccPath = QStringLiteral("/usr/bin/gcc");
        s.gdbPath = QStringLiteral("/usr/bin/gdb");
        s.makePath = QString();
        s.libcPath = QStringLiteral("/doc/libc.html");
        s.sourceFont = defaultSourceFont();
        s.debugDefault = 0;
        s.moveBraces = 1;
        s.clearBeforeBuild = 1;
        s.keepLevelAfterSemicolon = 0;
        s.minimizeOnTile = 1;
        setIdeSettings(s);
        dialog = std::make_unique<CIDEOptionsDialog>();
        dialog->show();
    }

    void TearDown() override
    {
        dialog.reset();
        SettingsTestEnvironment::TearDown();
    }

    template <typename Widget> Widget* child(const char* name)
    {
        auto* widget = dialog->findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QCheckBox* check(const char* name) { return child<QCheckBox>(name); }
    void click(const char* name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    // A check box is toggled by the key a user would press on it.
    void toggle(const char* name)
    {
        check(name)->setFocus();
        QTest::keyClick(check(name), Qt::Key_Space);
    }
    void retype(const char* name, const QString& text)
    {
        edit(name)->selectAll();
        QTest::keyClicks(edit(name), text);
    }
    QString iniPath() const { return configFolder() + QStringLiteral("/Tarn32.ini"); }

    std::unique_ptr<CIDEOptionsDialog> dialog;
};

TEST_F(OptionsDialog, HasEveryControlAndText)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Dialog"));
    struct Named {
        const char* objectName;
        const char* text;
        int controlId;
    };
    const Named buttons[] = {
        {"browseGccButton", "Browse...", 1042},
        {"browseGdbButton", "Browse...", 1043},
        {"browseMakeButton", "Browse...", 1045},
        {"browseLibcButton", "Browse...", 1052},
        {"debugDefaultCheck", "Debug info option on for new projects and sources", 1039},
        {"moveBracesCheck", "Move Braces", 1040},
        {"keepLevelCheck", "Keep same level after ';'", 1056},
        {"clearBeforeBuildCheck", "Clear message window before builds", 1050},
        {"minimizeOnTileCheck", "Minimize message window on tile", 1055},
        {"sourceFontButton", "Source Window Font...", 1007},
        {"okButton", "OK", 1},
        {"cancelButton", "Cancel", 2},
    };
    for (const Named& n : buttons) {
        QAbstractButton* button = child<QAbstractButton>(n.objectName);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QLatin1String(n.text)) << n.objectName;
        EXPECT_EQ(button->property("controlId").toInt(), n.controlId) << n.objectName;
        EXPECT_TRUE(button->isVisible()) << n.objectName;
    }
    const Named edits[] = {{"gccPathEdit", "", 1041},
                           {"gdbPathEdit", "", 1046},
                           {"makePathEdit", "", 1044},
                           {"libcPathEdit", "", 1053}};
    for (const Named& n : edits)
        EXPECT_EQ(edit(n.objectName)->property("controlId").toInt(), n.controlId);

    QStringList labels;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        labels << label->text();
    EXPECT_EQ(labels, (QStringList{"GCC path:", "GDB path:", "Make path:", "libc.hlp path:"}));
    QStringList groups;
    for (const QGroupBox* group : dialog->findChildren<QGroupBox*>())
        groups << group->title();
    EXPECT_EQ(groups, (QStringList{"Program Paths", "Auto-Indenting"}));
    EXPECT_TRUE(child<QPushButton>("okButton")->isDefault());
    EXPECT_EQ(dialog->focusWidget(), edit("gccPathEdit"));
    EXPECT_EQ(edit("gccPathEdit")->nextInFocusChain(), child<QWidget>("browseGccButton"));
}

TEST_F(OptionsDialog, ControlsShowTheLiveSettingsAndOkWritesTheEdits)
{
    QStringList shown;
    for (const char* name : {"gccPathEdit", "gdbPathEdit", "makePathEdit", "libcPathEdit"})
        shown << edit(name)->text();
    EXPECT_EQ(shown, QStringList({"/usr/bin/gcc", "/usr/bin/gdb", "", "/doc/libc.html"}));
    const char* checks[] = {"debugDefaultCheck", "moveBracesCheck", "clearBeforeBuildCheck",
                            "keepLevelCheck", "minimizeOnTileCheck"};
    QString states;
    for (const char* name : checks)
        states += check(name)->isChecked() ? u'1' : u'0';
    EXPECT_EQ(states, QStringLiteral("01101"));
    retype("makePathEdit", QStringLiteral("/usr/bin/make"));
    retype("gccPathEdit", QStringLiteral("/opt/gcc"));
    toggle("debugDefaultCheck");
    toggle("moveBracesCheck");
    toggle("keepLevelCheck");
    toggle("clearBeforeBuildCheck");
    toggle("minimizeOnTileCheck");
    QFont chosen(QStringLiteral("DejaVu Sans Mono"), 13);
    chosen.setUnderline(true);
    prompts->fonts.push_back(chosen);
    click("sourceFontButton");
    ASSERT_EQ(prompts->fontDialogs.size(), 1);
    EXPECT_EQ(prompts->fontDialogs.first(), defaultSourceFont()) << "starts from the current font";

    click("okButton");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const IdeSettings& s = ideSettings();
    EXPECT_EQ(s.gccPath, QStringLiteral("/opt/gcc"));
    EXPECT_EQ(s.makePath, QStringLiteral("/usr/bin/make"));
    EXPECT_EQ(s.gdbPath, QStringLiteral("/usr/bin/gdb"));
    EXPECT_EQ(s.debugDefault, 1);
    EXPECT_EQ(s.moveBraces, 0);
    EXPECT_EQ(s.keepLevelAfterSemicolon, 1);
    EXPECT_EQ(s.clearBeforeBuild, 0);
    EXPECT_EQ(s.minimizeOnTile, 0);
    EXPECT_EQ(s.sourceFont, chosen);
    EXPECT_EQ(ideSettingsSnapshot().gccPath, QStringLiteral("/opt/gcc"));

    // The order of the keys is the codec's; here: the edits reach the file.
    const QByteArray written = testsupport::readFile(iniPath());
    EXPECT_TRUE(written.contains("GCC Path=/opt/gcc\nGDB Path=/usr/bin/gdb\nMake Path=/usr/bin/make\n"));
    EXPECT_TRUE(written.contains("Font=" + fontRecordFromFont(chosen).toProfileValue() + "\nClear=0\nLevel=1\nTile=0\n"));
    EXPECT_EQ(written.count('\n'), 11);
    EXPECT_TRUE(prompts->messages.isEmpty());
}

// Browse and Font refresh the controls from the working copy; cancelling
// them, or the dialog, keeps what was there.
TEST_F(OptionsDialog, CancelsChangeNothingAndWriteNothing)
{
    const IdeSettings before = ideSettings();
    retype("gdbPathEdit", QStringLiteral("/typed/gdb"));
    click("browseGccButton"); // no scripted file: the dialog is cancelled
    EXPECT_EQ(edit("gccPathEdit")->text(), QStringLiteral("/usr/bin/gcc"));
    EXPECT_EQ(edit("gdbPathEdit")->text(), QStringLiteral("/typed/gdb"));
    click("sourceFontButton"); // cancelled too
    EXPECT_EQ(dialog->workingCopy().sourceFont, defaultSourceFont());

    toggle("debugDefaultCheck");
    prompts->openFiles.push_back(QStringLiteral("/usr/local/bin/gcc"));
    click("browseGccButton");
    EXPECT_EQ(edit("gccPathEdit")->text(), QStringLiteral("/usr/local/bin/gcc"));
    EXPECT_EQ(edit("gdbPathEdit")->text(), QStringLiteral("/usr/bin/gdb"))
        << "typed text gives way to the stored working value";
    EXPECT_FALSE(check("debugDefaultCheck")->isChecked());

    prompts->fonts.push_back(QFont(QStringLiteral("DejaVu Serif"), 20));
    click("sourceFontButton");
    EXPECT_EQ(dialog->workingCopy().sourceFont.family(), QStringLiteral("DejaVu Serif"));
    prompts->openFiles.push_back(QStringLiteral("/usr/bin/make"));
    click("browseMakeButton");
    toggle("debugDefaultCheck");
    click("cancelButton");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(QFileInfo::exists(iniPath()));
    const IdeSettings& s = ideSettings();
    EXPECT_EQ(s.gccPath, before.gccPath);
    EXPECT_EQ(s.makePath, before.makePath);
    EXPECT_EQ(s.debugDefault, before.debugDefault);
    EXPECT_EQ(s.sourceFont, before.sourceFont);
}

struct BrowseCase {
    const char* button;
    const char* edit;
    QString IdeSettings::*field;
    QStringList filters;
};

TEST_F(OptionsDialog, BrowseOffersTheExpectedFileFirst)
{
    const BrowseCase cases[] = {
        {"browseGccButton",
         "gccPathEdit",
         &IdeSettings::gccPath,
         {"Gcc Executable (gcc)", "Gcc Executable (gcc.exe)", "All Files (*)"}},
        {"browseGdbButton",
         "gdbPathEdit",
         &IdeSettings::gdbPath,
         {"Gdb Executable (gdb)", "Gdb Executable (gdb.exe)", "All Files (*)"}},
        {"browseMakeButton",
         "makePathEdit",
         &IdeSettings::makePath,
         {"Make Executable (make)", "Make Executable (make.exe)", "All Files (*)"}},
        {"browseLibcButton",
         "libcPathEdit",
         &IdeSettings::libcPath,
         {"LibC Help file (libc.hlp)", "LibC Reference (*.html *.htm *.pdf *.hlp)",
          "All Files (*)"}},
    };
    for (const BrowseCase& c : cases) {
        SCOPED_TRACE(c.button);
        prompts->openDialogs.clear();
        const QString chosen = QStringLiteral("/chosen/") + QLatin1String(c.edit);
        prompts->openFiles.push_back(chosen);
        click(c.button);
        ASSERT_EQ(prompts->openDialogs.size(), 1);
        const fw::Prompts::FileDialog& shown = prompts->openDialogs.first();
        EXPECT_EQ(shown.filters, c.filters);
        EXPECT_TRUE(shown.fileName.isEmpty());
        EXPECT_TRUE(shown.defaultSuffix.isEmpty());
        EXPECT_EQ(edit(c.edit)->text(), chosen);
        EXPECT_EQ(dialog->workingCopy().*c.field, chosen);
    }
    EXPECT_FALSE(QFileInfo::exists(iniPath())) << "browsing writes nothing";
    EXPECT_EQ(ideSettings().gccPath, QStringLiteral("/usr/bin/gcc"))
        << "nor changes the live settings";
}

// Enter in a field is OK (no Browse button takes it); a file that cannot be
// written is reported, and the settings apply all the same.
TEST_F(OptionsDialog, EnterMeansOkAndAnUnwritableFileIsReported)
{
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    edit("gccPathEdit")->setFocus();
    retype("gccPathEdit", QStringLiteral("/enter/gcc"));
    QTest::keyClick(edit("gccPathEdit"), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(prompts->openDialogs.isEmpty());
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().contains(iniPath()));
    EXPECT_EQ(ideSettings().gccPath, QStringLiteral("/enter/gcc"));
}

} // namespace

// The real font dialog: it opens on the family the source font is drawn
// with (not the toolkit's first family), and OK there leaves the font record
// exactly as it was.
TEST_F(OptionsDialog, RealFontDialogOpensOnTheDrawnFontAndOkKeepsTheRecord)
{
    LogFontRecord bold;
    bold.height = -16;
    bold.weight = 700;
    bold.pitchAndFamily = LogFontRecord::FixedPitch | LogFontRecord::FamilyModern;
    bold.setFaceName("DejaVu Sans Mono");
    const QFont fonts[] = {defaultSourceFont(), fontFromFontRecord(bold)};
    prompts.reset(); // the real dialogs
    for (const QFont& font : fonts) {
        SCOPED_TRACE(font.family().toStdString());
        IdeSettings s = ideSettings();
        s.sourceFont = font;
        setIdeSettings(s);
        dialog = std::make_unique<CIDEOptionsDialog>();
        dialog->show();
        QString shownFamily;
        QTimer::singleShot(0, [&shownFamily] {
            auto* fontDialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(fontDialog, nullptr);
            shownFamily = fontDialog->currentFont().family();
            fontDialog->accept();
        });
        click("sourceFontButton");
        click("okButton");
        EXPECT_EQ(shownFamily, QFontInfo(font).family());
        EXPECT_EQ(fontRecordFromFont(ideSettings().sourceFont).toBytes(), fontRecordFromFont(font).toBytes());
        EXPECT_TRUE(testsupport::readFile(iniPath()).contains("Font=" + fontRecordFromFont(font).toProfileValue()));
    }
}
