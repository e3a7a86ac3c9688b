// The Options dialog driven through its real widgets, with scripted file and
// font dialogs.
#include "SettingsTestEnvironment.h"

#include "app/CIDEOptionsDialog.h"
#include "settings/IdeContext.h"
#include "settings/FontRecord.h"
#include "support/TestSupport.h"
#include "tools/ModalDriver.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class OptionsDialog : public SettingsTestEnvironment {
protected:
    void SetUp() override
    {
        SettingsTestEnvironment::SetUp();
        context.setSettings({{"/usr/bin/gcc", "/usr/bin/gdb", {}, "/doc/libc.html", 0, 1, 1, 0, 1},
                        defaultSourceFont(),
                        {},
                        {}});
        dialog = std::make_unique<CIDEOptionsDialog>(context);
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

    // The dialog's context: the live settings it shows and changes.
    IdeContext context;
    std::unique_ptr<CIDEOptionsDialog> dialog;
};

// Every control with its text; the controls show the live settings; OK
// applies the edits and writes them.
TEST_F(OptionsDialog, ControlsShowTheLiveSettingsAndOkWritesTheEdits)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Dialog"));
    const std::pair<const char*, const char*> buttons[] = {
        {"debugDefaultCheck", "Debug info option on for new projects and sources"},
        {"moveBracesCheck", "Move Braces"},
        {"keepLevelCheck", "Keep same level after ';'"},
        {"clearBeforeBuildCheck", "Clear message window before builds"},
        {"minimizeOnTileCheck", "Minimize message window on tile"},
        {"sourceFontButton", "Source Window Font..."},
        {"okButton", "OK"},
        {"cancelButton", "Cancel"},
    };
    for (const auto& [name, text] : buttons) {
        QAbstractButton* button = child<QAbstractButton>(name);
        EXPECT_EQ(button->text(), QLatin1String(text)) << name;
        EXPECT_TRUE(button->isVisible()) << name;
    }
    QStringList labels;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        labels << label->text();
    labels.sort();
    EXPECT_EQ(labels, (QStringList{"GCC path:", "GDB path:", "Make path:", "clangd path:",
                                   "clangd underlines problems as you type, completes names, finds definitions "
                                   "and uses, and renames. Leave the path empty to do without it; View > Code "
                                   "Intelligence switches it off and on.",
                                   "libc.hlp path:"}));
    QStringList groups;
    for (const QGroupBox* group : dialog->findChildren<QGroupBox*>())
        groups << group->title();
    EXPECT_EQ(groups, (QStringList{"Program Paths", "Auto-Indenting"}));
    EXPECT_TRUE(child<QPushButton>("okButton")->isDefault());
    EXPECT_EQ(dialog->focusWidget(), edit("gccPathEdit"));
    EXPECT_EQ(edit("gccPathEdit")->nextInFocusChain(), child<QWidget>("browseGccButton"));

    // Cancel keeps the live settings and writes nothing; OK applies the edits
    // and writes them. The edits are relative to what the controls show: a
    // control that showed another value than the live one ends wrong.
    const IdeSettings before = context.settings();
    const SettingsValues edited{
        "/opt/gcc", "/usr/bin/gdb", "/usr/bin/make", "/doc/libc.html", 1, 0, 0, 1, 0};
    QFont chosen(QStringLiteral("DejaVu Sans Mono"), 13);
    chosen.setUnderline(true);
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        dialog = std::make_unique<CIDEOptionsDialog>(context);
        dialog->show();
        retype("makePathEdit", QStringLiteral("/usr/bin/make"));
        retype("gccPathEdit", QStringLiteral("/opt/gcc"));
        for (const char* box : {"debugDefaultCheck", "moveBracesCheck", "keepLevelCheck",
                                "clearBeforeBuildCheck", "minimizeOnTileCheck"})
            toggle(box);
        prompts->fonts.push_back(chosen);
        click("sourceFontButton");
        click(ok ? "okButton" : "cancelButton");
        EXPECT_EQ(dialog->result(), ok ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(static_cast<const SettingsValues&>(context.settings()), ok ? edited : before);
        EXPECT_EQ(context.settings().sourceFont, ok ? chosen : before.sourceFont);
        EXPECT_EQ(QFileInfo::exists(iniPath()), ok);
    }
    EXPECT_EQ(prompts->fontDialogs.first(), defaultSourceFont()) << "starts from the current font";
    EXPECT_EQ(context.settings().gccPath, QStringLiteral("/opt/gcc"));
    // The file gets them too (the order of the keys is the codec's).
    EXPECT_TRUE(testsupport::readFile(iniPath()).contains("GCC Path=/opt/gcc\n"));
    EXPECT_TRUE(prompts->messages.isEmpty());
}

// A cancelled Browse or Font keeps the controls as they are; a chosen file
// refreshes them all from the working copy, typed text included. Browse
// offers the tool's own file first and changes only the working copy. Enter
// in a field is OK (no Browse button takes it); a file that cannot be written
// is reported, and the settings apply all the same.
TEST_F(OptionsDialog, BrowseOffersTheExpectedFileFirstAndEnterMeansOk)
{
    retype("gdbPathEdit", QStringLiteral("/typed/gdb"));
    toggle("debugDefaultCheck");
    click("browseGccButton");  // no scripted file: the dialog is cancelled
    click("sourceFontButton"); // cancelled too
    EXPECT_EQ(edit("gccPathEdit")->text(), QStringLiteral("/usr/bin/gcc"));
    EXPECT_EQ(edit("gdbPathEdit")->text(), QStringLiteral("/typed/gdb"));
    EXPECT_TRUE(check("debugDefaultCheck")->isChecked());
    EXPECT_EQ(dialog->workingCopy().sourceFont, defaultSourceFont());
    struct Case {
        const char* tool;
        QString IdeSettings::*field;
        QString first, second;
    };
    const Case cases[] = {
        {"Gcc", &IdeSettings::gccPath, "Gcc Executable (gcc)", "Gcc Executable (gcc.exe)"},
        {"Gdb", &IdeSettings::gdbPath, "Gdb Executable (gdb)", "Gdb Executable (gdb.exe)"},
        {"Make", &IdeSettings::makePath, "Make Executable (make)", "Make Executable (make.exe)"},
        {"Libc", &IdeSettings::libcPath, "LibC Help file (libc.hlp)",
         "LibC Reference (*.html *.htm *.pdf *.hlp)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        const QByteArray button = "browse" + QByteArray(c.tool) + "Button";
        const QByteArray field = QByteArray(c.tool).toLower() + "PathEdit";
        prompts->openDialogs.clear();
        const QString chosen = QStringLiteral("/chosen/") + c.tool;
        prompts->openFiles.push_back(chosen);
        EXPECT_EQ(child<QAbstractButton>(button.constData())->text(), QStringLiteral("Browse..."));
        EXPECT_TRUE(child<QAbstractButton>(button.constData())->isVisible());
        click(button.constData());
        if (c.field == &IdeSettings::gccPath) {
            EXPECT_EQ(edit("gdbPathEdit")->text(), QStringLiteral("/usr/bin/gdb"));
            EXPECT_FALSE(check("debugDefaultCheck")->isChecked());
        }
        ASSERT_EQ(prompts->openDialogs.size(), 1);
        const fw::Prompts::FileDialog& shown = prompts->openDialogs.first();
        EXPECT_EQ(shown.filters, QStringList({c.first, c.second, "All Files (*)"}));
        EXPECT_TRUE(shown.fileName.isEmpty());
        EXPECT_TRUE(shown.defaultSuffix.isEmpty());
        EXPECT_EQ(edit(field.constData())->text(), chosen);
        EXPECT_EQ(dialog->workingCopy().*c.field, chosen);
    }
    EXPECT_FALSE(QFileInfo::exists(iniPath())) << "browsing writes nothing";
    EXPECT_EQ(context.settings().gccPath, QStringLiteral("/usr/bin/gcc"))
        << "nor changes the live settings";
    prompts->openDialogs.clear();
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    edit("gdbPathEdit")->setFocus();
    QTest::keyClick(edit("gdbPathEdit"), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(prompts->openDialogs.isEmpty());
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().contains(iniPath()));
    EXPECT_EQ(context.settings().gccPath, QStringLiteral("/chosen/Gcc"));
}

} // namespace

// The real font dialog: it opens on the family, style and size the source
// font is drawn with (not the toolkit's first family, nor a style it
// guesses: DejaVu Sans Mono's upright style is "Book", and without it the
// dialog chose "Oblique"), and OK there leaves the font record exactly as it
// was, in the settings and in the file. DejaVu Sans Mono is named outright
// (the set-up installs it); "courier" is drawn with whatever monospace font
// the host has, and its record keeps the name "courier".
TEST_F(OptionsDialog, RealFontDialogOpensOnTheDrawnFontAndOkKeepsTheRecord)
{
    LogFontRecord book;
    book.height = -13;
    book.weight = 400;
    book.pitchAndFamily = LogFontRecord::FixedPitch | LogFontRecord::FamilyModern;
    book.setFaceName("DejaVu Sans Mono");
    LogFontRecord bold = book;
    bold.height = -16;
    bold.weight = 700;
    struct Case {
        QFont font;
        QString family; // empty: whatever the host draws it with
        QString style;
    };
    const Case cases[] = {
        {fontFromFontRecord(book), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Book")},
        {fontFromFontRecord(bold), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Bold")},
        {defaultSourceFont(), QString(), QString()},
        // As it comes back from the file: 13 pixels, 9.75 points, which the
        // dialog shows as 10.
        {fontFromFontRecord(fontRecordFromFont(defaultSourceFont())), QString(), QString()},
    };
    prompts.reset(); // the real dialogs
    for (const Case& c : cases) {
        SCOPED_TRACE(c.font.family().toStdString() + " " + std::to_string(c.font.pointSizeF()));
        const QFontInfo drawn(c.font);
        if (!c.family.isEmpty()) {
            ASSERT_EQ(drawn.family(), c.family) << "fonts-dejavu-core is needed";
            ASSERT_EQ(drawn.styleName(), c.style);
        }
        IdeSettings s = context.settings();
        s.sourceFont = c.font;
        context.setSettings(s);
        dialog = std::make_unique<CIDEOptionsDialog>(context);
        dialog->show();
        QFont shown;
        QString shownStyle;
        EXPECT_TRUE(DriveModal<QFontDialog>([&] { click("sourceFontButton"); },
                                            [&](QFontDialog* fontDialog) {
                                                shown = fontDialog->currentFont();
                                                shownStyle = QFontInfo(shown).styleName();
                                                fontDialog->accept();
                                            }));
        click("okButton");
        EXPECT_EQ(shown.family(), drawn.family());
        EXPECT_EQ(shownStyle, drawn.styleName());
        EXPECT_FALSE(shown.italic());
        EXPECT_EQ(shown.weight(), drawn.weight());
        EXPECT_NEAR(shown.pointSizeF(), drawn.pointSizeF(), 0.5);
        const LogFontRecord record = fontRecordFromFont(c.font);
        EXPECT_EQ(fontRecordFromFont(context.settings().sourceFont), record);
        EXPECT_TRUE(
            testsupport::readFile(iniPath()).contains("\nFont=" + record.toProfileValue() + "\n"));
    }
}
