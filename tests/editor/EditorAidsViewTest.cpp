// The editing aids driven through the real source view: keys, menu
// commands and the two dialogs.
#include "EditorFixture.h"
#include "editor/SourceInsertions.h"
#include "editor/SourceNavigation.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

void setRules(EditorFixture& f, int keepLevel, int moveBraces)
{
    IdeSettings settings = f.tools.settings();
    settings.keepLevelAfterSemicolon = keepLevel;
    settings.moveBraces = moveBraces;
    f.tools.setSettings(settings);
}

CTarnView* focusedView(EditorFixture& f, CTarnDoc* doc)
{
    CTarnView* view = EditorFixture::viewOf(doc);
    QApplication::setActiveWindow(f.main.get());
    view->setFocus();
    return view;
}

// '\n' presses Enter; everything else is typed as it stands.
void type(CTarnView* view, const QString& keys)
{
    for (QChar c : keys) {
        if (c == u'\n')
            QTest::keyClick(view, Qt::Key_Return);
        else
            QTest::keyClicks(view, QString(c));
    }
    QApplication::processEvents();
}

// Runs `answer` on the modal dialog that the next command opens.
void whenDialogOpens(std::function<void(QDialog*)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

void press(QDialog* dialog, const char* button)
{
    dialog->findChild<QPushButton*>(QLatin1String(button))->click();
}

} // namespace

TEST(EditorAidsView, TypingABlockInLfAndCrLfFiles)
{
    EditorFixture f;
    setRules(f, 1, 1);
    for (const QByteArray lineBreak : {"\n", "\r\n"}) {
        CTarnView* view =
            focusedView(f, f.openBytes(QString("block%1.c").arg(lineBreak.size()), lineBreak));
        type(view, "int main()\n{\nif (x)\n{\nf();\n}\n}\n");
        const QByteArray expected =
            QByteArray("int main()\n{\n\tif (x)\n\t{\n\t\tf();\n\t}\n}\n\n");
        EXPECT_EQ(view->textCopy(), QByteArray(expected).replace("\n", lineBreak));
    }
}

TEST(EditorAidsView, UndoTakesEnterAndItsTabsTogetherAndSwitchesApplyAtOnce)
{
    EditorFixture f;
    setRules(f, 1, 1);
    CTarnView* view = focusedView(f, f.openBytes("undo.c", ""));
    type(view, "\tif (x)\n");
    ASSERT_EQ(view->textCopy(), "\tif (x)\n\t\t");
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view->textCopy(), "\tif (x)");
    type(view, "\n{");
    ASSERT_EQ(view->textCopy(), "\tif (x)\n\t{");
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view->textCopy(), "\tif (x)\n\t\t");
    // Switching the rules off applies at once.
    setRules(f, 0, 0);
    type(view, "{\n");
    EXPECT_EQ(view->textCopy(), "\tif (x)\n\t\t{\n");
}

TEST(EditorAidsView, SkeletonCommentAndDatesThroughTheirCommands)
{
    EditorFixture f;
    CTarnView* view = focusedView(f, f.openBytes("skel.c", "\tX\n"));
    view->editControl().setSelection(1, 1);
    EXPECT_TRUE(f.execute(cmd::InsertIf));
    EXPECT_EQ(view->textCopy(),
              "\tif ()\n\t{\n\t\t\n\t}\n\tX\n");                       // the file's line breaks
    EXPECT_EQ(view->editControl().selection(), (EditSelection{5, 5})); // between the parentheses
    // The whole skeleton is one undo step.
    EXPECT_TRUE(f.execute(fw::id::EditUndo));
    EXPECT_EQ(view->textCopy(), "\tX\n");

    view->setText("a x = 1; b\n");
    view->editControl().setSelection(2, 8);
    EXPECT_TRUE(f.execute(cmd::Comment));
    EXPECT_EQ(view->text(), "a /*x = 1;*/ b\n");
    const QDateTime fixed(QDate(2026, 12, 7), QTime(21, 5));
    view->dateClock = [fixed] { return fixed; };
    view->editControl().setSelection(0, 1); // the date replaces the selection
    EXPECT_TRUE(f.execute(cmd::InsertDateTime));
    EXPECT_TRUE(f.execute(cmd::InsertDate));
    const QString expected = FormatInsertDateTime(fixed, QLocale::system()) +
                             FormatInsertDate(fixed, QLocale::system()) + " /*x = 1;*/ b\n";
    EXPECT_EQ(view->text(), expected);
}

TEST(EditorAidsView, GoToLineDialogAndGoingToASourcePosition)
{
    EditorFixture f;
    CTarnView* view = focusedView(f, f.openBytes("lines.c", QByteArray("line\n").repeated(200)));
    view->resize(400, 200);
    whenDialogOpens([](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Go To Line");
        auto* field = dialog->findChild<QLineEdit*>("lineEdit");
        EXPECT_EQ(dialog->focusWidget(), field);
        QTest::keyClicks(field, "3abc");
        press(dialog, "okButton");
    });
    EXPECT_TRUE(f.execute(cmd::GoToLine));
    EXPECT_EQ(view->editControl().selection(), (EditSelection{12, 12}));

    whenDialogOpens([](QDialog* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>("lineEdit"), "1");
        press(dialog, "cancelButton");
    });
    EXPECT_TRUE(f.execute(cmd::GoToLine));
    EXPECT_EQ(view->editControl().selection(), (EditSelection{12, 12}));

    // The line sought shows in the middle of the window, with text above
    // and below it, by Go To Line as by F4 on a diagnostic.
    auto middle = [view] {
        const long onScreen = view->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
        return view->editControl().firstVisibleLine() + onScreen / 2;
    };
    whenDialogOpens([](QDialog* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>("lineEdit"), "120");
        press(dialog, "okButton");
    });
    EXPECT_TRUE(f.execute(cmd::GoToLine));
    ASSERT_GT(view->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN), 4);
    EXPECT_EQ(view->editControl().caret(), 119 * 6);
    EXPECT_EQ(middle(), 119);
    view->selectReportedLine(40);
    EXPECT_EQ(middle(), 39);
    view->selectReportedLine(2); // near the top: nothing above to show
    EXPECT_EQ(view->editControl().firstVisibleLine(), 0);

    // The project tree's navigation puts a definition's line on top.
    view->goToSourceLine(50);
    EXPECT_EQ(view->editControl().selection(), (EditSelection{300, 300}));
    EXPECT_EQ(view->editControl().firstVisibleLine(), 50);
    GoToSourceLine(view->editControl(), 500); // fewer lines: the last line
    EXPECT_EQ(view->editControl().caret(), 6 * 200);
}

TEST(EditorAidsView, GoToFunctionEndToEndItsRefusalsAndItsLimit)
{
    EditorFixture f;
    ScriptedPrompts prompts;
    QByteArray source =
        "int b(void)\n{\n}\n\nint a(int x)\n{\n}\n/* int c() { } */\nint b(double) {}\n";
    for (int i = 0; i < 60; ++i)
        source += "\n";
    CTarnView* view = focusedView(f, f.openBytes("funcs.c", source));

    // Listed in scan order, unsorted, duplicates kept; choose the third.
    whenDialogOpens([](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Go To Function:");
        auto* list = dialog->findChild<QListWidget*>("functionList");
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        EXPECT_EQ(names, (QStringList{"b", "a", "b"}));
        EXPECT_EQ(dialog->findChild<QLabel*>("limitLabel"), nullptr);
        list->setCurrentRow(2);
        press(dialog, "okButton");
    });
    EXPECT_TRUE(f.execute(cmd::GoToFunction));
    EXPECT_EQ(view->editControl().selection().start, view->editControl().lineIndex(8));

    // A double click chooses as well.
    whenDialogOpens([](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>("functionList");
        list->setCurrentRow(1);
        emit list->itemDoubleClicked(list->item(1));
    });
    EXPECT_TRUE(f.execute(cmd::GoToFunction));
    EXPECT_EQ(view->editControl().lineFromChar(-1), 4);

    // OK with nothing chosen (the user took the selection away), and
    // Cancel, change nothing.
    whenDialogOpens([](QDialog* dialog) {
        dialog->findChild<QListWidget*>("functionList")->clearSelection();
        press(dialog, "okButton");
    });
    EXPECT_TRUE(f.execute(cmd::GoToFunction));
    whenDialogOpens([](QDialog* dialog) {
        dialog->findChild<QListWidget*>("functionList")->setCurrentRow(0);
        press(dialog, "cancelButton");
    });
    EXPECT_TRUE(f.execute(cmd::GoToFunction));
    EXPECT_EQ(view->editControl().lineFromChar(-1), 4);

    // The list opens with the first function selected: Enter goes there.
    whenDialogOpens([](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>("functionList");
        EXPECT_EQ(list->selectedItems(), QList<QListWidgetItem*>{list->item(0)});
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "Enter left the dialog open";
            dialog->reject();
        }
    });
    EXPECT_TRUE(f.execute(cmd::GoToFunction));
    EXPECT_EQ(view->editControl().lineFromChar(-1), 0);

    // The file gone from disk, and an untitled window.
    QFile::remove(f.path("funcs.c"));
    EXPECT_TRUE(f.execute(cmd::GoToFunction));
    EXPECT_EQ(view->editControl().lineFromChar(-1), 0);
    focusedView(f, f.newDocument());
    EXPECT_TRUE(f.execute(cmd::GoToFunction));
    EXPECT_EQ(prompts.messages,
              (QStringList{"could not open the file!", "Please save the file before Continuing"}));

    // At most 800 are listed.
    view = focusedView(f, f.openBytes("many.c", QByteArray("f(){}\n").repeated(900)));
    whenDialogOpens([](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>("functionList");
        EXPECT_EQ(list->count(), 800);
        EXPECT_EQ(dialog->findChild<QLabel*>("limitLabel")->text(),
                  "Only the first 800 of 900 functions are shown.");
        list->setCurrentRow(799);
        press(dialog, "okButton");
    });
    EXPECT_TRUE(f.execute(cmd::GoToFunction));
    EXPECT_EQ(view->editControl().lineFromChar(-1), 799);
}
