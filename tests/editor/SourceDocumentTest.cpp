#include "EditorFixture.h"
#include "editor/ScintillaEditControl.h"
#include "support/ScriptedPrompts.h"

#include "framework/OpenFileDialog.h"
#include "framework/RecentFileList.h"
#include "framework/StandardIds.h"
#include "tools/PathBytes.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

QByteArray binaryBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(char((i * 37) & 0xFF));
    return bytes;
}

// The names in a folder by their bytes (Qt leaves out those that are not
// UTF-8).
QList<QByteArray> namesIn(const QByteArray& folder)
{
    QList<QByteArray> names;
    if (DIR* listing = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(listing)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names << name;
        }
        ::closedir(listing);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Removes what a folder holds by the names' bytes, which QTemporaryDir
// cannot do for a name that is not UTF-8.
void emptyFolder(const QByteArray& folder)
{
    for (const QByteArray& name : namesIn(folder)) {
        const QByteArray path = folder + '/' + name;
        struct stat status {};
        if (::lstat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode)) {
            emptyFolder(path);
            ::rmdir(path.constData());
        } else {
            ::unlink(path.constData());
        }
    }
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
        EXPECT_EQ(view->textCopy(), row.bytes);
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
    EXPECT_EQ(view->textCopy(), QByteArray("/* changed */int keep;\n"));
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

// A file whose name is not UTF-8 ("caf\xE9.c" in Latin-1) is opened,
// saved, saved under another such name, titled and remembered by its bytes.
TEST(SourceDocument, FileNamesThatAreNotUtf8AreKeptByteForByte)
{
    EditorFixture f;
    const QByteArray folder = QFile::encodeName(f.dir.path());
    const QByteArray name = folder + "/caf\xE9.c";
    const QByteArray contents = "int caf\xE9 = 1;\n";
    auto writeBytes = [](const QByteArray& file, const QByteArray& bytes) {
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool ok = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
        return fd >= 0 && ::close(fd) == 0 && ok;
    };
    auto readBytes = [](const QByteArray& file) {
        QFile in;
        const int fd = ::open(file.constData(), O_RDONLY);
        if (fd < 0 || !in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
            return QByteArray("<missing>");
        return in.readAll();
    };
    ASSERT_TRUE(writeBytes(name, contents));
    const QString path = PathFromBytes(name);
    ASSERT_FALSE(IsTextPath(path));

    // Open: the document holds the name's very bytes.
    ScriptedPrompts prompts;
    CTarnDoc* doc = f.open(path);
    ASSERT_NE(doc, nullptr) << prompts.messages.join(u'\n').toStdString();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(u'\n').toStdString();
    CTarnView* view = EditorFixture::viewOf(doc);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->textCopy(), contents);
    EXPECT_EQ(PathToBytes(doc->pathName()), name);
    EXPECT_EQ(doc->title(), QStringLiteral("caf\uFFFD.c"));
    EXPECT_EQ(view->sourceKind(), SourceKind::C);
    // Opening it again shows the same window.
    EXPECT_EQ(f.open(path), doc);

    // Save writes to that name, not to one with U+FFFD in it.
    view->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, 6UL, "int x;");
    ASSERT_TRUE(doc->doFileSave()) << prompts.messages.join(u'\n').toStdString();
    EXPECT_EQ(readBytes(name), contents + "int x;");
    EXPECT_EQ(namesIn(folder), QList<QByteArray>{"caf\xE9.c"});

    // Save As another such name.
    const QByteArray other = folder + "/\xFF\xFEn.c";
    prompts.saveFiles = {PathFromBytes(other)};
    ASSERT_TRUE(doc->doSave(QString())) << prompts.messages.join(u'\n').toStdString();
    EXPECT_EQ(readBytes(other), contents + "int x;");
    EXPECT_EQ(PathToBytes(doc->pathName()), other);
    EXPECT_EQ(doc->title(), QStringLiteral("\uFFFD\uFFFDn.c"));

    // The recent files keep both names' bytes, also when read back.
    const QStringList recent = f.app.recentFiles().files();
    ASSERT_GE(recent.size(), 2);
    EXPECT_EQ(PathToBytes(recent.at(0)), other);
    EXPECT_EQ(PathToBytes(recent.at(1)), name);
    f.app.recentFiles().save();
    fw::RecentFileList reread(QStringLiteral("Tarn Tests"), QStringLiteral("EditorTest"), 4);
    reread.load();
    ASSERT_GE(reread.files().size(), 2);
    EXPECT_EQ(PathToBytes(reread.files().at(0)), other);
    EXPECT_EQ(PathToBytes(reread.files().at(1)), name);

    // A missing such file is reported with the name as a person reads it.
    prompts.messages.clear();
    EXPECT_EQ(f.open(PathFromBytes(folder + "/gone\xE9.c")), nullptr);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("gone\uFFFD.c\"."))) << prompts.messages[0].toStdString();
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("No such file or directory")));
    f.app.closeAllDocuments();
    emptyFolder(folder);
}

// File > Open lists a file whose name is not UTF-8 and opens it by its
// bytes: the real dialog, driven as a person would (Enter on the entry).
TEST(SourceDocument, FileOpenListsAndOpensANameThatIsNotUtf8)
{
    EditorFixture f;
    const QByteArray folder = QFile::encodeName(f.dir.path());
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("sub")));
    for (const QByteArray& name : {folder + "/caf\xE9.c", folder + "/plain.c", folder + "/sub/inner\xFF.c"}) {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "int x;\n", 7), 7);
        ::close(fd);
    }
    struct CurrentFolder {
        QString saved = QDir::currentPath();
        ~CurrentFolder() { QDir::setCurrent(saved); }
    } current;
    QDir::setCurrent(f.dir.path());

    // Messages are recorded (none is expected); the Open dialog is Tarn's.
    struct RealOpenDialog : ScriptedPrompts {
        QString openFileName(QWidget* parent, const FileDialog& dialog) override
        {
            return fw::QtPrompts().openFileName(parent, dialog);
        }
    } prompts;
    QStringList listed;
    QStringList listedInSub;
    bool picked = false;
    // Once the dialog is up: enter "sub", go up again, then open caf\xE9.c.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<fw::OpenFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* entries = dialog->findChild<QListWidget*>(QStringLiteral("entries"));
        auto shownEntries = [entries] {
            QStringList shown;
            for (int i = 0; i < entries->count(); ++i)
                shown << entries->item(i)->text();
            return shown;
        };
        auto enter = [&](const QString& shown) {
            const QList<QListWidgetItem*> items = entries->findItems(shown, Qt::MatchExactly);
            if (items.size() != 1)
                return false;
            entries->setCurrentItem(items.first());
            QTest::keyClick(entries, Qt::Key_Return);
            return true;
        };
        listed = shownEntries();
        if (!enter(QStringLiteral("sub/")))
            return dialog->reject();
        listedInSub = shownEntries();
        dialog->findChild<QPushButton*>(QStringLiteral("up"))->click();
        picked = enter(QStringLiteral("caf\uFFFD.c"));
        if (dialog->isVisible())
            dialog->reject();
    });
    ASSERT_TRUE(f.execute(fw::id::FileOpen));
    EXPECT_TRUE(picked);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(u'\n').toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("caf\uFFFD.c"))) << listed.join(u' ').toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("plain.c")));
    EXPECT_EQ(listed.first(), QStringLiteral("sub/"));
    EXPECT_EQ(listedInSub, QStringList{QStringLiteral("inner\uFFFD.c")});
    fw::MdiChildFrame* active = f.main->activeChild();
    ASSERT_NE(active, nullptr);
    ASSERT_NE(active->document(), nullptr);
    EXPECT_EQ(PathToBytes(active->document()->pathName()), folder + "/caf\xE9.c");
    EXPECT_EQ(EditorFixture::viewOf(qobject_cast<CTarnDoc*>(active->document()))->textCopy(),
              "int x;\n");
    f.app.closeAllDocuments();
    emptyFolder(folder);
}
