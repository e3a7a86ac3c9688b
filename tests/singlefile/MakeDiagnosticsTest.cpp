// A row's file is the one the tool meant: a recursive make into two folders
// that both hold a main.c with an error, run while Tarn's current directory
// (and the process's) is a third folder that holds a main.c too. F4, Shift+F4
// and a double click open each folder's own main.c at its line, and pass
// over the rows of make and g++ that only look like places.
#include "ToolWindow.h"

#include "editor/CTarnView.h"
#include "framework/Document.h"
#include "messages/MessageClassifier.h"
#include "singlefile/MakeRun.h"

namespace {

class MakeDiagnostics : public ToolWindow {
protected:
    void SetUp() override
    {
        root = QDir(dir.path()).canonicalPath() + "/";
        // a: C++ (a member function gives g++ a context row with "::"), the
        // error on line 2. b: C, the error on line 3. elsewhere: no error.
        ASSERT_TRUE(testsupport::writeFile(root + "a/main.c",
                                           "struct A { void f(); };\n"
                                           "void A::f() { undefined_name(); }\n"));
        ASSERT_TRUE(testsupport::writeFile(root + "a/Makefile", "all:\n\tgcc -x c++ -c main.c\n"));
        ASSERT_TRUE(
            testsupport::writeFile(root + "b/main.c", "int main(void)\n{\n  return x;\n}\n"));
        ASSERT_TRUE(testsupport::writeFile(root + "b/Makefile", "all:\n\tgcc -c main.c\n"));
        ASSERT_TRUE(testsupport::writeFile(root + "elsewhere/main.c",
                                           "int main(void)\n{\n  return 0;\n}\n"));
        // Both sub-makes run, the first one's failure notwithstanding.
        ASSERT_TRUE(
            testsupport::writeFile(root + "Makefile", "all:\n\t-$(MAKE) -C a\n\t-$(MAKE) -C b\n"));
        previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(root + "elsewhere"));
        start(root + "elsewhere");
    }
    void TearDown() override
    {
        ToolWindow::TearDown();
        QDir::setCurrent(previous);
    }

    int rowStartingWith(const QString& prefix)
    {
        for (int row = 0; row < messages()->rowCount(); ++row) {
            if (messages()->rowText(row).startsWith(prefix))
                return row;
        }
        return -1;
    }
    // The opened file and its selected text after a step or a double click.
    QString shown()
    {
        auto* view = dynamic_cast<CTarnView*>(frame()->activeView());
        if (!view)
            return QStringLiteral("no source window");
        return view->fw::View::document()->pathName().mid(root.size()) + " " + view->selectedText();
    }
    QString step(int id)
    {
        EXPECT_TRUE(execute(id));
        if (frame()->statusBar()->currentMessage() == QStringLiteral("No more diagnostics"))
            return QStringLiteral("no more");
        return QString::number(messages()->selectedRow()) + " " + shown();
    }

    QString root;
    QString previous;
};

TEST_F(MakeDiagnostics, RowsOfARecursiveMakeOpenTheFilesOfTheFoldersTheyWereWrittenIn)
{
    MakeThread(frame()->context(), root + "Makefile");
    ASSERT_TRUE(frame()->context().jobs().waitForAll(60000));
    frame()->context().messages().flush();
    const int errorA = rowStartingWith("main.c:2:");
    const int errorB = rowStartingWith("main.c:3:");
    const int noteB = rowStartingWith("main.c:3:10: note:");
    const int context = rowStartingWith("main.c: In member function");
    const int makeError = rowStartingWith("make[1]: *** [Makefile:2: all] Error 1");
    ASSERT_GE(errorA, 0);
    ASSERT_GT(errorB, errorA);
    ASSERT_GT(noteB, errorB);
    // The rows F4 passes over are there, with the diagnostic icon.
    ASSERT_GE(context, 0);
    ASSERT_GE(makeError, 0);
    EXPECT_EQ(messages()->rowIcon(context), IconDiagnostic);
    EXPECT_EQ(messages()->rowIcon(makeError), IconDiagnostic);

    const QString inA = QString::number(errorA) + " a/main.c void A::f() { undefined_name(); }";
    const QString inB = QString::number(errorB) + " b/main.c   return x;";
    const QString noteInB = QString::number(noteB) + " b/main.c   return x;";
    EXPECT_EQ(step(cmd::NextDiagnostic), inA);
    EXPECT_EQ(step(cmd::NextDiagnostic), inB);
    EXPECT_EQ(step(cmd::NextDiagnostic), noteInB);
    EXPECT_EQ(step(cmd::NextDiagnostic), QStringLiteral("no more"));
    EXPECT_EQ(step(cmd::PreviousDiagnostic), inB);
    EXPECT_EQ(step(cmd::PreviousDiagnostic), inA);
    EXPECT_EQ(step(cmd::PreviousDiagnostic), QStringLiteral("no more"));

    // A double click follows the same folder, after Tarn's current
    // directory has moved on.
    frame()->context().setDirectory(root);
    messages()->setSelectedRow(errorB);
    messages()->OnDoubleClick();
    EXPECT_EQ(shown(), QStringLiteral("b/main.c   return x;"));
    EXPECT_EQ(prompts.messages, QStringList());
}

} // namespace
