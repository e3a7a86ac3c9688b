#include "EditorFixture.h"
#include "editor/ScintillaEditControl.h"
#include "support/ScriptedPrompts.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

QByteArray binaryBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(char((i * 37) & 0xFF));
    return bytes;
}

} // namespace

TEST(SourceDocument, LoadsAndSavesByteForByte)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        bool utf8;
        QsciScintilla::EolMode eol;
    };
    const Row rows[] = {
        {"crlf", "int main()\r\n{\r\n\treturn 0;\r\n}\r\n", true, QsciScintilla::EolWindows},
        {"lf", "int main()\n{\n\treturn 0;\n}\n", true, QsciScintilla::EolUnix},
        {"no final break", "int x;\nint y;", true, QsciScintilla::EolUnix},
        {"mixed, first is crlf", "a\r\nb\nc\rd", true, QsciScintilla::EolWindows},
        {"cr only", "a\rb\r", true, QsciScintilla::EolMac},
        {"zero bytes", QByteArray("a\0b\0\0c\n", 7), true, QsciScintilla::EolUnix},
        {"invalid utf-8", "caf\xE9\n/* \xFF\xFE */\n", false, QsciScintilla::EolUnix},
        {"valid utf-8", "// caf\xC3\xA9\n", true, QsciScintilla::EolUnix},
        {"empty", "", true, QsciScintilla::EolUnix},
        {"binary", binaryBytes(), false, QsciScintilla::EolUnix},
    };
    EditorFixture f;
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString name = QStringLiteral("file%1.c").arg(++n);
        CTarnDoc* doc = f.openBytes(name, row.bytes);
        CTarnView* view = EditorFixture::viewOf(doc);
        EXPECT_EQ(view->textBytes().toByteArray(), row.bytes);
        EXPECT_EQ(view->isUtf8(), row.utf8);
        EXPECT_EQ(view->eolMode(), row.eol);
        EXPECT_FALSE(doc->isModified());
        EXPECT_FALSE(doc->hasPendingText());

        // Saving unchanged text writes the very same bytes.
        QFile::remove(f.path(name));
        ASSERT_TRUE(doc->doFileSave());
        EXPECT_EQ(testsupport::readFile(f.path(name)), row.bytes);
    }
}

TEST(SourceDocument, EditsAreSavedWithTheFilesOrTheHostsLineBreaks)
{
    EditorFixture f;
    CTarnDoc* doc = f.openBytes("edit.c", "int a;\nint b;\n");
    CTarnView* view = EditorFixture::viewOf(doc);
    view->editControl().setSelection(6, 6);
    view->editControl().replaceSelection("\r\nint c;");
    EXPECT_TRUE(f.main->activeChild()->isWindowModified());
    ASSERT_TRUE(doc->doFileSave());
    EXPECT_EQ(testsupport::readFile(f.path("edit.c")), QByteArray("int a;\nint c;\nint b;\n"));
    EXPECT_FALSE(doc->isModified());

    // Undoing back to the saved text clears the flag again.
    view->editControl().replaceSelection("x");
    EXPECT_TRUE(doc->isModified());
    view->undo();
    EXPECT_FALSE(doc->isModified());

    // A new document uses the host's line break.
    CTarnDoc* fresh = f.newDocument();
    EditorFixture::viewOf(fresh)->editControl().replaceSelection("a\r\nb");
    ScriptedPrompts prompts;
    prompts.saveFiles.push_back(f.path("new.c"));
    ASSERT_TRUE(fresh->doFileSave());
    EXPECT_EQ(testsupport::readFile(f.path("new.c")), QByteArray("a\nb"));
}

TEST(SourceDocument, UnreadablePathsAreReportedAndOpenNothing)
{
    EditorFixture f;
    QDir(f.dir.path()).mkdir("folder.c");
    struct Row {
        const char* name;
        QString path;
        QString reason;
    };
    const Row rows[] = {
        {"folder", f.path("folder.c"), "It is a folder, not a file."},
        {"missing file", f.path("missing.c"), "The file could not be opened: "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedPrompts prompts;
        EXPECT_EQ(f.open(row.path), nullptr);
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages[0].startsWith(
            QStringLiteral("Cannot open the file \"%1\".").arg(QDir::toNativeSeparators(row.path))))
            << prompts.messages[0].toStdString();
        EXPECT_TRUE(prompts.messages[0].contains(row.reason)) << prompts.messages[0].toStdString();
        EXPECT_TRUE(f.main->childFrames().isEmpty());
    }
}

TEST(SourceDocument, FailedSaveLeavesTheFileAndTheDocumentAsTheyWere)
{
    EditorFixture f;
    const QByteArray original("int keep;\n");
    CTarnDoc* doc = f.openBytes("keep.c", original);
    CTarnView* view = EditorFixture::viewOf(doc);
    view->editControl().replaceSelection("/* changed */");

    // A path whose parent folder is a regular file can never be written.
    ASSERT_TRUE(testsupport::writeFile(f.path("plain"), "x"));
    const QString target = f.path("plain/out.c");
    ScriptedPrompts prompts;
    prompts.saveFiles.push_back(target); // Save As to the unwritable path
    EXPECT_FALSE(doc->doSave(QString(), true));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Cannot save the file"));
    EXPECT_TRUE(prompts.messages[0].contains("The file could not be created: "));
    EXPECT_TRUE(prompts.messages[0].endsWith("The file on disk was not changed."));
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(doc->pathName(), QDir::cleanPath(f.path("keep.c")));
    EXPECT_EQ(testsupport::readFile(f.path("keep.c")), original);
    EXPECT_EQ(testsupport::readFile(f.path("plain")), QByteArray("x"));
    EXPECT_EQ(view->textBytes().toByteArray(), QByteArray("/* changed */int keep;\n"));
}

// What each answer does is the framework's (SaveQuestion); here: every
// modified source is asked for by its path, and Yes saves its edit.
TEST(SourceDocument, ExitAsksForEveryModifiedSource)
{
    EditorFixture f;
    CTarnDoc* a = f.openBytes("a.c", "a\n");
    f.openBytes("b.c", "b\n");
    CTarnDoc* c = f.openBytes("c.c", "c\n");
    EditorFixture::viewOf(a)->editControl().replaceSelection("1");
    EditorFixture::viewOf(c)->editControl().replaceSelection("3");
    ScriptedPrompts prompts;
    prompts.answers = {fw::Prompts::Answer::Yes, fw::Prompts::Answer::Yes};
    EXPECT_TRUE(f.app.saveAllModified());
    const QString question = "Save changes to %1?";
    EXPECT_EQ(prompts.messages,
              (QStringList{question.arg(QDir::toNativeSeparators(a->pathName())),
                           question.arg(QDir::toNativeSeparators(c->pathName()))}));
    EXPECT_EQ(testsupport::readFile(f.path("a.c")), QByteArray("1a\n"));
    EXPECT_EQ(testsupport::readFile(f.path("b.c")), QByteArray("b\n"));
    EXPECT_EQ(testsupport::readFile(f.path("c.c")), QByteArray("3c\n"));
}
