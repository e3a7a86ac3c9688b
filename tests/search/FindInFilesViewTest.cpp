// Find in Files from the menu to the message window: the dialog reports
// what cannot be searched and stays open, the folder it offers, and F4 and
// Shift+F4 walk the rows of a search, opening each file at its line.
#include "singlefile/ToolWindow.h"

#include "editor/CTarnView.h"
#include "framework/Document.h"
#include "messages/MessageClassifier.h"
#include "project/ProjectFileCodec.h"
#include "search/FindInFilesDialog.h"

#include <QCheckBox>
#include <QLabel>

#include <map>

namespace {

TEST(FindInFilesDialogTest, ReportsWhatCannotBeSearchedAndStaysOpen)
{
    QTemporaryDir dir;
    FindInFilesRequest initial;
    initial.folder = dir.path();
    initial.patterns = kDefaultFindPatterns;
    FindInFilesDialog dialog(initial);
    dialog.show();
    EXPECT_EQ(dialog.patternsEdit()->text(), QStringLiteral("*.c *.cpp *.cc *.cxx *.h *.hpp"));
    // Each field's label carries its access key.
    const std::map<QString, QWidget*> buddies = {
        {QStringLiteral("Fi&nd what:"), dialog.textEdit()},
        {QStringLiteral("In &folder:"), dialog.folderEdit()},
        {QStringLiteral("File &patterns:"), dialog.patternsEdit()}};
    for (const auto& [text, field] : buddies) {
        QLabel* label = nullptr;
        for (QLabel* candidate : dialog.findChildren<QLabel*>()) {
            if (candidate->text() == text)
                label = candidate;
        }
        ASSERT_NE(label, nullptr) << text.toStdString();
        EXPECT_EQ(label->buddy(), field) << text.toStdString();
    }
    struct Case {
        const char* name;
        const char* text;
        bool regex;
        QString folder;
        QString error; // empty: the dialog closes with Find
    };
    const Case cases[] = {
        {"empty text", "", false, dir.path(), QStringLiteral("Type the text to find.")},
        {"invalid regular expression", "count(", true, dir.path(),
         QStringLiteral("Invalid regular expression at offset 6: missing closing parenthesis")},
        {"no such folder", "count", false, dir.path() + "/gone",
         QStringLiteral("There is no folder \"%1/gone\".").arg(dir.path())},
        {"the same text is plain text without Regular expression", "count(", false, dir.path(), QString()},
    };
    for (const Case& c : cases) {
        dialog.show();
        dialog.setResult(QDialog::Rejected);
        dialog.textEdit()->setText(QString::fromUtf8(c.text));
        dialog.regexBox()->setChecked(c.regex);
        dialog.folderEdit()->setText(c.folder);
        dialog.findButton()->click();
        const auto* error = dialog.findChild<QLabel*>(QStringLiteral("findInFilesError"));
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->isHidden() ? QString() : error->text(), c.error) << c.name;
        EXPECT_EQ(dialog.isVisible(), !c.error.isEmpty()) << c.name;
        EXPECT_EQ(dialog.result(), c.error.isEmpty() ? QDialog::Accepted : QDialog::Rejected)
            << c.name;
    }
    dialog.wholeWordBox()->setChecked(true);
    dialog.matchCaseBox()->setChecked(true);
    const FindInFilesRequest request = dialog.request();
    EXPECT_EQ(request.options.text, QStringLiteral("count("));
    EXPECT_TRUE(request.options.matchCase);
    EXPECT_TRUE(request.options.wholeWord);
    EXPECT_FALSE(request.options.regularExpression);
    EXPECT_EQ(request.folder, dir.path());
}

class FindInFilesWindow : public ToolWindow {
protected:
    void SetUp() override
    {
        root = QDir(dir.path()).canonicalPath() + "/";
        ASSERT_TRUE(testsupport::writeFile(root + "tree/a.c",
                                           "int total;\nvoid add(int n)\n{\n    total += n;\n}\n"));
        ASSERT_TRUE(testsupport::writeFile(root + "tree/sub/b.h",
                                           "extern int total;\r\nint subtotal;\r\n"));
        ASSERT_TRUE(testsupport::writeFile(root + "elsewhere/c.c", "int total;\n"));
        previous = QDir::currentPath();
        start(root + "elsewhere");
    }
    void TearDown() override
    {
        ToolWindow::TearDown();
        QDir::setCurrent(previous);
    }

    QString shown()
    {
        auto* view = dynamic_cast<CTarnView*>(frame()->activeView());
        if (!view)
            return QStringLiteral("no source window");
        int line = 0;
        int index = 0;
        view->getCursorPosition(&line, &index);
        return view->fw::View::document()->pathName().mid(root.size()) + " line " +
               QString::number(line + 1) + " [" + view->selectedText() + "]";
    }
    QString step(int id)
    {
        EXPECT_TRUE(execute(id));
        if (frame()->statusBar()->currentMessage() == QStringLiteral("No more diagnostics"))
            return QStringLiteral("no more");
        return messages()->rowText(messages()->selectedRow()) + " -> " + shown();
    }

    QString root;
    QString previous;
};

TEST_F(FindInFilesWindow, TheCommandSearchesAndF4WalksTheRows)
{
    QString offered;
    const bool driven = DriveModal<FindInFilesDialog>(
        [&] { EXPECT_TRUE(execute(cmd::FindInFiles)); },
        [&](FindInFilesDialog* dialog) {
            // No project or source window: Tarn's current directory.
            offered = dialog->folderEdit()->text();
            // Not the case of the text found: the match is selected as
            // the file spells it.
            dialog->textEdit()->setText(QStringLiteral("TOTAL"));
            dialog->wholeWordBox()->setChecked(true);
            dialog->folderEdit()->setText(root + "tree");
            dialog->findButton()->click();
        });
    ASSERT_TRUE(driven);
    EXPECT_EQ(offered, root + "elsewhere");
    ASSERT_TRUE(frame()->context().jobs().waitForAll(60000));
    frame()->context().messages().flush();
    QStringList rows;
    for (int row = 0; row < messages()->rowCount(); ++row)
        rows << messages()->rowText(row);
    const QStringList expected = {
        QStringLiteral(
            "Find in Files: \"TOTAL\" in %1tree (*.c *.cpp *.cc *.cxx *.h *.hpp, whole word)")
            .arg(root),
        QStringLiteral("a.c:1: int total;"),
        QStringLiteral("a.c:4:     total += n;"),
        QStringLiteral("sub/b.h:1: extern int total;"),
        QStringLiteral("3 matches in 2 files"),
        QString(),
    };
    EXPECT_EQ(rows, expected);
    // Matches have an icon of their own, not the compiler's error icon.
    const QList<int> icons = {IconInfo, IconMatch, IconMatch, IconMatch, IconInfo, IconSeparator};
    for (int row = 0; row < icons.size(); ++row)
        EXPECT_EQ(messages()->rowIcon(row), icons[row]) << row;

    // Tarn's current directory moves on; the rows keep their folder.
    frame()->context().setDirectory(root + "elsewhere");
    EXPECT_EQ(step(cmd::NextDiagnostic), QStringLiteral("a.c:1: int total; -> tree/a.c line 1 [total]"));
    EXPECT_EQ(step(cmd::NextDiagnostic),
              QStringLiteral("a.c:4:     total += n; -> tree/a.c line 4 [total]"));
    EXPECT_EQ(step(cmd::NextDiagnostic),
              QStringLiteral("sub/b.h:1: extern int total; -> tree/sub/b.h line 1 [total]"));
    EXPECT_EQ(step(cmd::NextDiagnostic), QStringLiteral("no more"));
    EXPECT_EQ(step(cmd::PreviousDiagnostic),
              QStringLiteral("a.c:4:     total += n; -> tree/a.c line 4 [total]"));
    EXPECT_EQ(prompts.messages, QStringList());
    // A double click on a match does the same.
    messages()->setSelectedRow(3);
    messages()->OnDoubleClick();
    EXPECT_EQ(shown(), QStringLiteral("tree/sub/b.h line 1 [total]"));
    messages()->setSelectedRow(1);
    messages()->OnDoubleClick();
    EXPECT_EQ(shown(), QStringLiteral("tree/a.c line 1 [total]"));

    // With a source window active, the dialog offers its folder and the
    // last search's switches; a selection of one line is the text, else
    // the last search's text stays.
    auto* view = dynamic_cast<CTarnView*>(frame()->activeView());
    ASSERT_NE(view, nullptr);
    struct Case {
        int fromLine, fromIndex, toLine, toIndex;
        QString text;
    };
    const Case cases[] = {
        {0, 0, 0, 3, QStringLiteral("int")},
        {0, 0, 1, 4, QStringLiteral("TOTAL")}, // two lines: the last text
        {3, 4, 3, 9, QStringLiteral("total")},
        {3, 4, 3, 11, QStringLiteral("total +")},
    };
    for (const Case& c : cases) {
        view->setSelection(c.fromLine, c.fromIndex, c.toLine, c.toIndex);
        QString text;
        DriveModal<FindInFilesDialog>([&] { execute(cmd::FindInFiles); },
                                      [&](FindInFilesDialog* dialog) {
                                          offered = dialog->folderEdit()->text();
                                          text = dialog->textEdit()->text();
                                          EXPECT_TRUE(dialog->wholeWordBox()->isChecked());
                                          dialog->reject();
                                      });
        EXPECT_EQ(offered, root + "tree");
        EXPECT_EQ(text, c.text);
    }
}

// The folder offered: the project window used last, even while a source
// window of another folder is active; else the active source's folder.
TEST_F(FindInFilesWindow, OffersTheProjectsFolderFirst)
{
    auto offered = [&] {
        QString folder;
        DriveModal<FindInFilesDialog>([&] { execute(cmd::FindInFiles); },
                                      [&](FindInFilesDialog* dialog) {
                                          folder = dialog->folderEdit()->text();
                                          dialog->reject();
                                      });
        return folder;
    };
    ASSERT_NE(app->openDocumentFile(root + "tree/sub/b.h"), nullptr);
    EXPECT_EQ(offered(), root + "tree/sub");
    ASSERT_TRUE(
        testsupport::writeFile(root + "proj/demo.tarn", EncodeProjectFile(NewProjectFile(0))));
    ASSERT_NE(app->openDocumentFile(root + "proj/demo.tarn"), nullptr);
    EXPECT_EQ(offered(), root + "proj");
    ASSERT_NE(app->openDocumentFile(root + "elsewhere/c.c"), nullptr);
    EXPECT_EQ(frame()->activeDocument()->pathName(), root + "elsewhere/c.c");
    EXPECT_EQ(offered(), root + "proj");
}

} // namespace
