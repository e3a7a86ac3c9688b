// The View menu's editor switches in a running Tarn: checked items, kept in
// [Editor] of Tarn32.ini without a byte of [Options] changing, applied at
// once to every open source window and to windows opened later, and read
// back at the next start.
#include "SettingsTestEnvironment.h"

#include "editor/CTarnView.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "resources/CommandIds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

class EditorSwitchesTest : public StartedTarn {
protected:
    CTarnView* open(const QString& name, const QByteArray& bytes)
    {
        const QString path = configFolder() + QLatin1Char('/') + name;
        if (!testsupport::writeFile(path, bytes))
            return nullptr;
        fw::Document* doc = app->openDocumentFile(path);
        return doc ? dynamic_cast<CTarnView*>(doc->firstView()) : nullptr;
    }

    QList<CTarnView*> sourceViews() const
    {
        QList<CTarnView*> views;
        for (fw::MdiChildFrame* frame : main->childFrames()) {
            if (auto* view = dynamic_cast<CTarnView*>(frame->view()))
                views << view;
        }
        return views;
    }

    // The check mark of a View menu item of a menu bar, as the user sees it.
    std::optional<bool> checkMark(int menuResource, const QString& text)
    {
        main->router()->updateActions();
        for (QMenu* popup : main->menuBar(menuResource)) {
            if (popup->title() != QStringLiteral("&View"))
                continue;
            for (QAction* action : popup->actions()) {
                if (action->text() == text)
                    return action->isCheckable() ? std::optional<bool>(action->isChecked())
                                                 : std::nullopt;
            }
        }
        return std::nullopt;
    }

    QByteArray fileBytes() const { return testsupport::readFile(settingsFilePath()); }
};

TEST_F(EditorSwitchesTest, ToggleReachesEveryOpenWindowAndPersistsInEditorOnly)
{
    CTarnView* c = open(QStringLiteral("main.c"), "int main(void)\n{\n    return 0;\n}\n");
    CTarnView* make = open(QStringLiteral("Makefile"), "all:\n\tcc main.c\n");
    CTarnView* text = open(QStringLiteral("notes.txt"), "plain\n");
    ASSERT_TRUE(c && make && text);
    const QList<CTarnView*> views = sourceViews();
    ASSERT_EQ(views.size(), 4); // with the untitled window of the start
    const QList<SourceKind> kinds = {SourceKind::C, SourceKind::C, SourceKind::Makefile,
                                     SourceKind::Text};
    auto kindsNow = [&] {
        QList<SourceKind> now;
        for (CTarnView* view : views)
            now << view->sourceKind();
        return now;
    };
    EXPECT_EQ(kindsNow(), kinds);
    for (CTarnView* view : views)
        EXPECT_GT(view->marginWidth(0), 0);
    const QByteArray before = fileBytes();
    ASSERT_TRUE(before.startsWith("[Options]\n"));

    struct Step {
        int id;
        bool EditorSwitches::*field;
        const char* item;
        EditorSwitches after;
        const char* section;
    };
    const Step steps[] = {
        {cmd::ViewSyntaxColouring,
         &EditorSwitches::syntaxColouring,
         "Syntax &Colouring",
         {false, true, true},
         "[Editor]\nSyntax Colouring=0\nLine Numbers=1\nReopen Last Session=1\n"},
        {cmd::ViewLineNumbers,
         &EditorSwitches::lineNumbers,
         "Line &Numbers",
         {false, false, true},
         "[Editor]\nSyntax Colouring=0\nLine Numbers=0\nReopen Last Session=1\n"},
        {cmd::ViewReopenSession,
         &EditorSwitches::reopenSession,
         "&Reopen Last Session",
         {false, false, false},
         "[Editor]\nSyntax Colouring=0\nLine Numbers=0\nReopen Last Session=0\n"},
        {cmd::ViewSyntaxColouring,
         &EditorSwitches::syntaxColouring,
         "Syntax &Colouring",
         {true, false, false},
         "[Editor]\nSyntax Colouring=1\nLine Numbers=0\nReopen Last Session=0\n"},
        {cmd::ViewLineNumbers,
         &EditorSwitches::lineNumbers,
         "Line &Numbers",
         {true, true, false},
         "[Editor]\nSyntax Colouring=1\nLine Numbers=1\nReopen Last Session=0\n"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.item);
        // The item shows the state before, and flips it.
        for (int menuBar : {menu::Source, menu::MainFrame})
            EXPECT_EQ(checkMark(menuBar, QString::fromUtf8(step.item)), !(step.after.*step.field));
        ASSERT_TRUE(main->router()->execute(step.id));
        for (int menuBar : {menu::Source, menu::MainFrame})
            EXPECT_EQ(checkMark(menuBar, QString::fromUtf8(step.item)), step.after.*step.field);
        EXPECT_EQ(main->context().settings().editor, step.after);
        // [Options] byte for byte, then the editor's section.
        EXPECT_EQ(fileBytes(), before + "\n" + step.section);
        // Every open window follows at once.
        for (qsizetype i = 0; i < views.size(); ++i) {
            EXPECT_EQ(views.at(i)->marginWidth(0) > 0, step.after.lineNumbers) << i;
            // Plain text has no lexer either way.
            EXPECT_EQ(views.at(i)->lexer() != nullptr,
                      step.after.syntaxColouring && kinds.at(i) != SourceKind::Text)
                << i;
        }
        if (step.after.syntaxColouring)
            EXPECT_EQ(kindsNow(), kinds);
        else
            EXPECT_EQ(kindsNow(), QList<SourceKind>(4, SourceKind::Text));
    }
    EXPECT_TRUE(prompts->messages.isEmpty()) << prompts->messages.join('\n').toStdString();
}

TEST_F(EditorSwitchesTest, NewWindowsFollowTheSwitchesAndTheNextStartReadsThem)
{
    ASSERT_TRUE(main->router()->execute(cmd::ViewSyntaxColouring));
    ASSERT_TRUE(main->router()->execute(cmd::ViewLineNumbers));
    CTarnView* later = open(QStringLiteral("later.c"), QByteArray("int x;\n").repeated(500));
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later->sourceKind(), SourceKind::Text);
    EXPECT_EQ(later->lexer(), nullptr);
    EXPECT_EQ(later->marginWidth(0), 0);
    // Typing more lines keeps the margin shut.
    later->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, 8UL, "\n\n\n\n\n\n\n\n");
    QCoreApplication::processEvents();
    EXPECT_EQ(later->marginWidth(0), 0);

    app.reset();
    app = std::make_unique<CTarnApp>();
    ASSERT_TRUE(app->InitInstance({}));
    main = app->mainWindow();
    EXPECT_EQ(main->context().settings().editor, (EditorSwitches{false, false, true}));
    ASSERT_EQ(sourceViews().size(), 1);
    EXPECT_EQ(sourceViews().front()->sourceKind(), SourceKind::Text);
    EXPECT_EQ(sourceViews().front()->marginWidth(0), 0);
    EXPECT_EQ(checkMark(menu::Source, QStringLiteral("Syntax &Colouring")), false);
    EXPECT_EQ(checkMark(menu::Source, QStringLiteral("&Reopen Last Session")), true);
}

TEST_F(EditorSwitchesTest, AnUnwritableFileIsReportedAndTheSwitchStillApplies)
{
    // A folder where the file should be: the write fails.
    ASSERT_TRUE(QFile::remove(settingsFilePath()));
    ASSERT_TRUE(QDir().mkpath(settingsFilePath()));
    ASSERT_TRUE(main->router()->execute(cmd::ViewLineNumbers));
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().contains(QStringLiteral("Tarn32.ini")));
    EXPECT_FALSE(main->context().settings().editor.lineNumbers);
    EXPECT_EQ(sourceViews().front()->marginWidth(0), 0);
}

} // namespace
