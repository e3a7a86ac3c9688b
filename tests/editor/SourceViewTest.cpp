#include "EditorFixture.h"
#include "editor/FindReplaceDialog.h"
#include "editor/ScintillaEditControl.h"
#include "editor/SourcePrinting.h"
#include "support/ScriptedPrompts.h"

#include <Qsci/qsciprinter.h>

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

// A window takes the settings of the time it is made.
TEST(SourceView, ANewWindowTakesTheBuildDefaultAndTheSourceFont)
{
    EditorFixture f;
    IdeSettings settings = f.tools.settings();
    settings.debugDefault = 1;
    settings.sourceFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    settings.sourceFont.setPointSize(15);
    f.tools.setSettings(settings);
    CTarnView* view1 =
        EditorFixture::viewOf(f.openBytes("one.c", "int main(void) { return 0; } // a\n"));
    CompileOptions expected;
    expected.debugInfo = 1;
    EXPECT_EQ(view1->compileOptions, expected);
    for (int style : {0, 5, 1, 2}) // default, keyword, comment, line comment
        EXPECT_EQ(view1->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, style), 15) << style;
    EXPECT_EQ(view1->wrapMode(), QsciScintilla::WrapNone);
    EXPECT_EQ(view1->tabWidth(), 4);
    EXPECT_FALSE(view1->autoIndent());
    // Later changes leave the window alone.
    settings.debugDefault = 0;
    f.tools.setSettings(settings);
    CTarnView* view2 = EditorFixture::viewOf(f.openBytes("two.c", "int b;\n"));
    EXPECT_EQ(view2->compileOptions, CompileOptions());
    EXPECT_EQ(view1->compileOptions, expected);
}

// An untitled window and the answers No and Yes are tested through the
// commands that ask (Go To Function, Quick Compile).
TEST(SourceView, RequireSavedFileAsksOnlyForAModifiedFileAndGoesOnAfterCancel)
{
    EditorFixture f;
    CTarnDoc* doc = f.openBytes("req.c", "old\n");
    CTarnView* view = EditorFixture::viewOf(doc);
    ScriptedPrompts prompts;
    EXPECT_TRUE(view->RequireSavedFile());
    EXPECT_TRUE(prompts.messages.isEmpty());
    view->editControl().replaceSelection("new ");
    prompts.answers.push_back(fw::Prompts::Answer::Cancel);
    EXPECT_TRUE(view->RequireSavedFile());
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(testsupport::readFile(f.path("req.c")), QByteArray("old\n"));
    EXPECT_EQ(f.main->childFrames().size(), 1); // the window stays open
}

TEST(SourceView, EditCommandsFollowTheSelectionAndTheContextMenuOffersThem)
{
    EditorFixture f;
    CTarnView* view = EditorFixture::viewOf(f.openBytes("cmd.c", "alpha beta\n"));
    view->setFocus();
    fw::CommandRouter* router = f.main->router();
    for (int id : std::initializer_list<int>{fw::id::EditCut, fw::id::EditCopy, cmd::EditDelete,
                                             fw::id::EditUndo})
        EXPECT_FALSE(router->isEnabled(id)) << id;
    view->editControl().setSelection(0, 6);
    EXPECT_TRUE(router->isEnabled(fw::id::EditCut));
    EXPECT_TRUE(f.execute(cmd::EditDelete));
    EXPECT_EQ(view->text(), "beta\n");
    EXPECT_TRUE(f.execute(fw::id::EditUndo));
    EXPECT_EQ(view->text(), "alpha beta\n");
    for (int id : std::initializer_list<int>{cmd::EditSelectAllText, fw::id::EditSelectAll}) {
        view->editControl().setSelection(0, 0);
        EXPECT_TRUE(f.execute(id));
        EXPECT_EQ(view->selectedText(), "alpha beta\n");
    }
    view->editControl().setSelection(6, 10);
    EXPECT_TRUE(f.execute(fw::id::EditCut));
    EXPECT_EQ(view->text(), "alpha \n");
    view->editControl().setSelection(0, 0);
    EXPECT_TRUE(f.execute(fw::id::EditPaste));
    EXPECT_EQ(view->text(), "betaalpha \n");

    // A right click shows the source's context menu where the mouse is.
    const QPoint global = view->viewport()->mapToGlobal(QPoint(5, 5));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), global);
    QApplication::sendEvent(view->viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), global);
    const QString first = menu->actions().value(0)->text();
    menu->close();
    EXPECT_TRUE(first.startsWith("&Undo")) << first.toStdString();
}

TEST(SourceView, FindNext)
{
    EditorFixture f;
    CTarnView* view = EditorFixture::viewOf(f.openBytes("find.c", "Foo foo food\r\nfoo\r\n"));
    // Text, replacement, match case, whole word, down.
    const FindRequest any{"foo", {}, false, false, true};
    const FindRequest word{"foo", {}, false, true, true};
    const struct {
        const char* name;
        FindRequest request;
        EditSelection selection; // in CR LF positions; unchanged: not found
    } steps[] = {
        {"first, any case", any, {0, 3}},
        {"next, any case", any, {4, 7}},
        {"next is inside food", any, {8, 11}},
        {"whole word skips food", word, {14, 17}},
        {"nothing after the last", any, {14, 17}},
        {"upwards, whole word, case", {"foo", {}, true, true, false}, {4, 7}},
        {"upwards past Foo with case", {"foo", {}, true, false, false}, {4, 7}},
    };
    view->editControl().setSelection(0, 0);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        ScriptedPrompts prompts;
        const bool found = view->editControl().selection() != step.selection;
        EXPECT_EQ(view->findNext(step.request), found);
        EXPECT_EQ(view->editControl().selection(), step.selection);
        EXPECT_EQ(prompts.messages,
                  found ? QStringList() : QStringList{"Cannot find the string \"foo\"."});
    }

    // F3 repeats the last search.
    view->editControl().setSelection(0, 0);
    view->findNext(word);
    EXPECT_TRUE(f.execute(fw::id::EditRepeat));
    EXPECT_EQ(view->editControl().selection(), (EditSelection{4, 7}));
}

TEST(SourceView, ReplaceAndReplaceAllAndTheirDialog)
{
    EditorFixture f;
    CTarnView* view = EditorFixture::viewOf(f.openBytes("replace.c", "int i; int j; print(i);\n"));
    FindRequest r{"i", "count", true, true, true};
    view->editControl().setSelection(0, 0);
    EXPECT_TRUE(view->replaceCurrent(r)); // nothing selected yet: finds the first
    EXPECT_EQ(view->editControl().selection(), (EditSelection{4, 5}));
    EXPECT_TRUE(view->replaceCurrent(r)); // replaces it and finds the next
    EXPECT_EQ(view->text(), "int count; int j; print(i);\n");
    EXPECT_EQ(view->selectedText(), "i");

    view->undo();
    ScriptedPrompts prompts;
    EXPECT_EQ(view->replaceAll(r), 2);
    EXPECT_EQ(view->text(), "int count; int j; print(count);\n");
    view->undo(); // one step undoes all of them
    EXPECT_EQ(view->text(), "int i; int j; print(i);\n");
    r.text = "absent";
    EXPECT_EQ(view->replaceAll(r), 0);
    EXPECT_EQ(prompts.messages, QStringList{"Cannot find the string \"absent\"."});

    // The same through the dialog, opened by the context menu's command.
    view->setText("a = b + b;\n");
    view->editControl().setSelection(4, 5); // "b" is offered as the search text
    ASSERT_TRUE(f.execute(cmd::FindReplaceInSource));
    auto* dialog = view->findChild<FindReplaceDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->replaceMode());
    EXPECT_EQ(dialog->findEdit()->text(), "b");
    dialog->replaceEdit()->setText("c");
    dialog->replaceAllButton()->click();
    EXPECT_EQ(view->text(), "a = c + c;\n");

    // The Find form hides the replace fields; an empty search cannot run.
    ASSERT_TRUE(f.execute(cmd::FindInSource));
    EXPECT_FALSE(dialog->replaceButton()->isVisible());
    dialog->findEdit()->clear();
    EXPECT_FALSE(dialog->findNextButton()->isEnabled());
    dialog->findEdit()->setText("A");
    dialog->matchCaseBox()->setChecked(true);
    prompts.messages.clear();
    view->editControl().setSelection(0, 0);
    dialog->findNextButton()->click();
    EXPECT_EQ(prompts.messages, QStringList{"Cannot find the string \"A\"."});
}

TEST(SourceView, PrintsOnHalfInchMargins)
{
    EditorFixture f;
    CTarnView* view =
        EditorFixture::viewOf(f.openBytes("print.c", "int main(void)\n{\n\treturn 0;\n}\n"));
    EXPECT_EQ(sourcePrinter().pageLayout().margins(QPageLayout::Inch),
              QMarginsF(0.5, 0.5, 0.5, 0.5));
    QsciPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(f.path("out.pdf"));
    printSourceTo(view, printer);
    EXPECT_TRUE(testsupport::readFile(f.path("out.pdf")).startsWith("%PDF"));
    EXPECT_FALSE(view->sourceDocument()->isModified());
}

TEST(SourceView, SearchInALatin1FileNeverMatchesCharactersItCannotHold)
{
    EditorFixture f;
    const QByteArray bytes("a ? b \xff\n", 8);
    CTarnView* view = EditorFixture::viewOf(f.openBytes("latin1.c", bytes));
    ScriptedPrompts prompts;
    const FindRequest euro{"\u20ac", "X", false, false, true};
    EXPECT_FALSE(view->findNext(euro));
    EXPECT_EQ(view->replaceAll(euro), 0);
    // Nor can such a character be put into the file by a replacement.
    EXPECT_EQ(view->replaceAll({"?", "\u20ac", false, false, true}), 0);
    EXPECT_EQ(view->textCopy(), QByteArrayView(bytes));
    ASSERT_EQ(prompts.messages.size(), 3);
    EXPECT_TRUE(prompts.messages[2].contains("cannot be written"));
    // The Latin-1 character the file does hold is found.
    EXPECT_TRUE(view->findNext({"\u00ff", {}, false, false, true}));
}
