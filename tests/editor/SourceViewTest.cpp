#include "EditorFixture.h"
#include "editor/FindReplaceDialog.h"
#include "editor/ScintillaEditControl.h"
#include "editor/SourcePrinting.h"
#include "support/ScriptedPrompts.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qsciprinter.h>

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void setDebugDefault(int value)
{
    IdeSettings settings = ideSettings();
    settings.debugDefault = value;
    setIdeSettings(settings);
}

QString selection(CTarnView* view)
{
    return view->selectedText();
}

} // namespace

TEST(SourceView, BuildSettingsBelongToTheWindow)
{
    EditorFixture f;
    setDebugDefault(1);
    CTarnDoc* first = f.openBytes("one.c", "int a;\n");
    ASSERT_NE(first, nullptr);
    CTarnView* view1 = EditorFixture::viewOf(first);
    EXPECT_EQ(view1->outputChoice, 1);
    EXPECT_EQ(view1->linkCount, 0);
    EXPECT_TRUE(view1->linkEntries[0].isEmpty());
    CompileOptions expected;
    expected.debugInfo = 1;
    EXPECT_EQ(view1->compileOptions, expected);

    // The setting is read when a window is made; later changes leave it alone.
    view1->compileOptions.optimizeLevel = 2;
    setDebugDefault(0);
    CTarnDoc* second = f.openBytes("two.c", "int b;\n");
    CTarnView* view2 = EditorFixture::viewOf(second);
    EXPECT_EQ(view2->compileOptions, CompileOptions());
    EXPECT_EQ(view1->compileOptions.debugInfo, 1);
    EXPECT_EQ(view1->compileOptions.optimizeLevel, 2);

    // Closing and reopening a file starts afresh.
    view1->parentFrame()->close();
    // The frame goes first, then its document.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(f.main->childFrames().size(), 1);
    setDebugDefault(1);
    CTarnView* again = EditorFixture::viewOf(f.open(f.path("one.c")));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->compileOptions, expected);
}

TEST(SourceView, InitialUpdateAppliesTheSourceFontAndKeepsTheModifiedFlag)
{
    EditorFixture f;
    IdeSettings settings = ideSettings();
    settings.sourceFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    settings.sourceFont.setPointSize(15);
    setIdeSettings(settings);
    CTarnDoc* doc = f.openBytes("font.c", "int main(void) { return 0; } // a comment\n");
    CTarnView* view = EditorFixture::viewOf(doc);
    EXPECT_FALSE(doc->isModified());
    for (int style : {0, 5, 1, 2}) // default, keyword, comment, line comment
        EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, style), 15) << style;
    EXPECT_EQ(view->wrapMode(), QsciScintilla::WrapNone);
    EXPECT_EQ(view->tabWidth(), 4);
    EXPECT_FALSE(view->autoIndent());

    // A new font later (the Options dialog re-runs the initial update).
    view->editControl().replaceSelection("x");
    settings.sourceFont.setPointSize(11);
    setIdeSettings(settings);
    view->onInitialUpdate();
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, 5), 11);
    EXPECT_EQ(view->text().left(4), QStringLiteral("xint"));
}

TEST(SourceView, RequireSavedFile)
{
    EditorFixture f;
    {
        SCOPED_TRACE("untitled");
        CTarnDoc* doc = f.newDocument();
        ScriptedPrompts prompts;
        EXPECT_FALSE(EditorFixture::viewOf(doc)->RequireSavedFile());
        EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("Please save the file before Continuing")});
    }
    CTarnDoc* doc = f.openBytes("req.c", "old\n");
    CTarnView* view = EditorFixture::viewOf(doc);
    {
        SCOPED_TRACE("saved and unchanged");
        ScriptedPrompts prompts;
        EXPECT_TRUE(view->RequireSavedFile());
        EXPECT_TRUE(prompts.messages.isEmpty());
    }
    view->editControl().replaceSelection("new ");
    for (auto answer : {fw::Prompts::Answer::No, fw::Prompts::Answer::Cancel}) {
        SCOPED_TRACE("modified, not saved");
        ScriptedPrompts prompts;
        prompts.answers.push_back(answer);
        EXPECT_TRUE(view->RequireSavedFile());
        EXPECT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(doc->isModified());
        EXPECT_EQ(testsupport::readFile(f.path("req.c")), QByteArray("old\n"));
        EXPECT_EQ(f.main->childFrames().size(), 2); // the window stays open
    }
    {
        SCOPED_TRACE("modified, saved");
        ScriptedPrompts prompts;
        prompts.answers.push_back(fw::Prompts::Answer::Yes);
        EXPECT_TRUE(view->RequireSavedFile());
        EXPECT_FALSE(doc->isModified());
        EXPECT_EQ(testsupport::readFile(f.path("req.c")), QByteArray("new old\n"));
    }
}

TEST(SourceView, EditCommandsFollowTheSelection)
{
    EditorFixture f;
    CTarnDoc* doc = f.openBytes("cmd.c", "alpha beta\n");
    CTarnView* view = EditorFixture::viewOf(doc);
    view->setFocus();
    EXPECT_FALSE(f.main->router()->isEnabled(fw::id::EditCut));
    EXPECT_FALSE(f.main->router()->isEnabled(fw::id::EditCopy));
    EXPECT_FALSE(f.main->router()->isEnabled(cmd::EditDelete));
    EXPECT_FALSE(f.main->router()->isEnabled(fw::id::EditUndo));

    view->editControl().setSelection(0, 6);
    EXPECT_TRUE(f.main->router()->isEnabled(fw::id::EditCut));
    EXPECT_TRUE(f.execute(cmd::EditDelete));
    EXPECT_EQ(view->text(), QStringLiteral("beta\n"));
    EXPECT_TRUE(f.main->router()->isEnabled(fw::id::EditUndo));
    EXPECT_TRUE(f.execute(fw::id::EditUndo));
    EXPECT_EQ(view->text(), QStringLiteral("alpha beta\n"));

    EXPECT_TRUE(f.execute(cmd::EditSelectAllText));
    EXPECT_EQ(selection(view), QStringLiteral("alpha beta\n"));
    view->editControl().setSelection(0, 0);
    EXPECT_TRUE(f.execute(fw::id::EditSelectAll));
    EXPECT_EQ(selection(view), QStringLiteral("alpha beta\n"));

    view->editControl().setSelection(6, 10);
    EXPECT_TRUE(f.execute(fw::id::EditCut));
    EXPECT_EQ(view->text(), QStringLiteral("alpha \n"));
    view->editControl().setSelection(0, 0);
    ASSERT_TRUE(f.main->router()->isEnabled(fw::id::EditPaste));
    EXPECT_TRUE(f.execute(fw::id::EditPaste));
    EXPECT_EQ(view->text(), QStringLiteral("betaalpha \n"));
}

TEST(SourceView, RightClickShowsTheSourceContextMenu)
{
    EditorFixture f;
    CTarnView* view = EditorFixture::viewOf(f.openBytes("menu.c", "int a;\n"));
    const QPoint global = view->viewport()->mapToGlobal(QPoint(5, 5));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), global);
    QApplication::sendEvent(view->viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), global);
    QStringList shown;
    for (QAction* action : menu->actions())
        shown << action->text();
    menu->close();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.first().startsWith(QStringLiteral("&Undo"))) << shown.first().toStdString();
    EXPECT_TRUE(shown.last().startsWith(QStringLiteral("C&lose"))) << shown.last().toStdString();
}

TEST(SourceView, FindNext)
{
    EditorFixture f;
    CTarnView* view = EditorFixture::viewOf(f.openBytes("find.c", "Foo foo food\r\nfoo\r\n"));
    struct Step {
        const char* name;
        FindRequest request;
        bool found;
        EditSelection selection; // in CR LF positions
    };
    auto req = [](bool matchCase, bool whole, bool down) {
        FindRequest r;
        r.text = QStringLiteral("foo");
        r.matchCase = matchCase;
        r.wholeWord = whole;
        r.down = down;
        return r;
    };
    const Step steps[] = {
        {"first, any case", req(false, false, true), true, {0, 3}},
        {"next, any case", req(false, false, true), true, {4, 7}},
        {"next is inside food", req(false, false, true), true, {8, 11}},
        {"whole word skips food", req(false, true, true), true, {14, 17}},
        {"nothing after the last", req(false, false, true), false, {14, 17}},
        {"upwards, whole word, case", req(true, true, false), true, {4, 7}},
        {"upwards past Foo with case", req(true, false, false), false, {4, 7}},
    };
    view->editControl().setSelection(0, 0);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        ScriptedPrompts prompts;
        EXPECT_EQ(view->findNext(step.request), step.found);
        EXPECT_EQ(view->editControl().selection(), step.selection);
        EXPECT_EQ(prompts.messages.size(), step.found ? 0 : 1);
        if (!step.found) {
            EXPECT_EQ(prompts.messages[0], QStringLiteral("Cannot find the string \"foo\"."));
        }
    }

    // F3 repeats the last search.
    view->editControl().setSelection(0, 0);
    FindRequest any = req(false, true, true);
    view->findNext(any);
    EXPECT_TRUE(f.execute(fw::id::EditRepeat));
    EXPECT_EQ(view->editControl().selection(), (EditSelection{4, 7}));
}

TEST(SourceView, ReplaceAndReplaceAllAndTheirDialog)
{
    EditorFixture f;
    CTarnDoc* doc = f.openBytes("replace.c", "int i; int j; print(i);\n");
    CTarnView* view = EditorFixture::viewOf(doc);
    FindRequest r;
    r.text = QStringLiteral("i");
    r.replacement = QStringLiteral("count");
    r.wholeWord = true;
    r.matchCase = true;

    view->editControl().setSelection(0, 0);
    EXPECT_TRUE(view->replaceCurrent(r)); // nothing selected yet: finds the first
    EXPECT_EQ(view->text(), QStringLiteral("int i; int j; print(i);\n"));
    EXPECT_EQ(view->editControl().selection(), (EditSelection{4, 5}));
    EXPECT_TRUE(view->replaceCurrent(r)); // replaces it and finds the next
    EXPECT_EQ(view->text(), QStringLiteral("int count; int j; print(i);\n"));
    EXPECT_EQ(view->selectedText(), QStringLiteral("i"));

    view->undo();
    EXPECT_EQ(view->text(), QStringLiteral("int i; int j; print(i);\n"));
    ScriptedPrompts prompts;
    EXPECT_EQ(view->replaceAll(r), 2);
    EXPECT_EQ(view->text(), QStringLiteral("int count; int j; print(count);\n"));
    EXPECT_TRUE(prompts.messages.isEmpty());
    view->undo(); // one step undoes all of them
    EXPECT_EQ(view->text(), QStringLiteral("int i; int j; print(i);\n"));

    r.text = QStringLiteral("absent");
    EXPECT_EQ(view->replaceAll(r), 0);
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("Cannot find the string \"absent\".")});

    // The same through the dialog, opened by the context menu's command.
    view->setText(QStringLiteral("a = b + b;\n"));
    view->editControl().setSelection(4, 5); // "b" is offered as the search text
    ASSERT_TRUE(f.execute(cmd::FindReplaceInSource));
    FindReplaceDialog* dialog = view->findDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->replaceMode());
    EXPECT_EQ(dialog->findEdit()->text(), QStringLiteral("b"));
    dialog->replaceEdit()->setText(QStringLiteral("c"));
    dialog->replaceAllButton()->click();
    EXPECT_EQ(view->text(), QStringLiteral("a = c + c;\n"));

    // The Find form hides the replace fields; an empty search cannot run.
    ASSERT_TRUE(f.execute(cmd::FindInSource));
    EXPECT_FALSE(dialog->replaceMode());
    EXPECT_FALSE(dialog->replaceButton()->isVisible());
    dialog->findEdit()->clear();
    EXPECT_FALSE(dialog->findNextButton()->isEnabled());
    dialog->findEdit()->setText(QStringLiteral("A"));
    dialog->matchCaseBox()->setChecked(true);
    prompts.messages.clear();
    view->editControl().setSelection(0, 0);
    dialog->findNextButton()->click();
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("Cannot find the string \"A\".")});
}

TEST(SourceView, PrintsOnHalfInchMargins)
{
    EditorFixture f;
    CTarnView* view = EditorFixture::viewOf(f.openBytes("print.c", "int main(void)\n{\n\treturn 0;\n}\n"));
    const QMarginsF margins = sourcePrinter().pageLayout().margins(QPageLayout::Inch);
    EXPECT_NEAR(margins.left(), 0.5, 0.01);
    EXPECT_NEAR(margins.top(), 0.5, 0.01);
    EXPECT_NEAR(margins.right(), 0.5, 0.01);
    EXPECT_NEAR(margins.bottom(), 0.5, 0.01);

    QsciPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(f.path("out.pdf"));
    printSourceTo(view, printer);
    const QByteArray pdf = testsupport::readFile(f.path("out.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_FALSE(view->sourceDocument()->isModified());
}

TEST(SourceView, SearchInALatin1FileNeverMatchesCharactersItCannotHold)
{
    EditorFixture f;
    const QByteArray bytes("a ? b \xff\n", 8);
    CTarnDoc* doc = f.openBytes("latin1.c", bytes);
    CTarnView* view = EditorFixture::viewOf(doc);
    ASSERT_NE(view, nullptr);
    ScriptedPrompts prompts;
    FindRequest euro;
    euro.text = QStringLiteral("\u20ac");
    euro.replacement = QStringLiteral("X");
    EXPECT_FALSE(view->findNext(euro));
    EXPECT_EQ(view->replaceAll(euro), 0);
    // Nor can such a character be put into the file by a replacement.
    FindRequest question;
    question.text = QStringLiteral("?");
    question.replacement = QStringLiteral("\u20ac");
    EXPECT_EQ(view->replaceAll(question), 0);
    EXPECT_EQ(view->textBytes(), QByteArrayView(bytes));
    ASSERT_EQ(prompts.messages.size(), 3);
    EXPECT_TRUE(prompts.messages[2].contains(QStringLiteral("cannot be written")));
    // The Latin-1 character the file does hold is found.
    FindRequest y;
    y.text = QStringLiteral("\u00ff");
    EXPECT_TRUE(view->findNext(y));
}
