// Touch, Set Compile Options and Linking Options of a project window.
#include "ProjectFixture.h"

#include "project/CProjectLinkDialog.h"
#include "project/InsertFolderDialog.h"
#include "tools/AdvancedSheet.h"
#include "tools/ModalDriver.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>

#include <functional>

namespace {

using ProjectCommands = ProjectFixture;
using Row = RecordingSink::Row;

// Runs the command and drives the modal dialog of type T once it is up.
template <typename T>
void runDialog(ProjectFixture* f, int command, const std::function<void(T*)>& drive)
{
    EXPECT_TRUE(DriveModal<T>([&] { f->execute(command); }, drive));
}

void setOld(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QDateTime old = QDateTime::currentDateTime().addDays(-10);
    EXPECT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    EXPECT_TRUE(file.setFileTime(old, QFileDevice::FileAccessTime));
}

TEST_F(ProjectCommands, TouchRowsFollowTheSelectedNode)
{
    ASSERT_TRUE(execute(cmd::TouchAll));
    const QString main = source("main.c", "#include \"defs.h\"\nint main(void) {}\n");
    const QString header = source("defs.h", "");
    insert(main);
    doc->setModified(false);
    setOld(main);
    setOld(header);

    select(node("main", main));
    ASSERT_TRUE(execute(cmd::TouchFile));
    EXPECT_GT(QFileInfo(main).lastModified(), QDateTime::currentDateTime().addSecs(-60));
    EXPECT_GT(QFileInfo(main).lastRead(), QDateTime::currentDateTime().addSecs(-60));
    EXPECT_EQ(testsupport::readFile(main), "#include \"defs.h\"\nint main(void) {}\n");
    select(node(header, "Dependancies"));
    ASSERT_TRUE(execute(cmd::TouchFile));
    EXPECT_EQ(prompts.messages, QStringList{"Note that touching a header file will not affect "
                                            "the building of your project"});
    EXPECT_GT(QFileInfo(header).lastModified(), QDateTime::currentDateTime().addSecs(-60));
    select(node("Dependancies"));
    ASSERT_TRUE(execute(cmd::TouchFile));
    select(nullptr);
    ASSERT_TRUE(execute(cmd::TouchFile));
    ASSERT_TRUE(execute(cmd::TouchAll));
    // A missing source is not created, and one success is enough.
    doc->project().sources.append(path("gone.c"));
    ASSERT_TRUE(execute(cmd::TouchAll));
    EXPECT_FALSE(QFile::exists(path("gone.c")));
    doc->project().sources = {path("gone.c")};
    ASSERT_TRUE(execute(cmd::TouchAll));

    const std::vector<Row> expected = {
        {"Error while touching files", 1},
        {"Touched file " + main + " successfully", 1},
        {"Touched file " + header + " successfully", 1},
        {"Error: Could not touch file Dependancies", 1},
        {"Error: Could not touch file ", 1},
        {"Touched all files successfully", 1},
        {"Touched all files successfully", 1},
        {"Error while touching files", 1},
    };
    EXPECT_EQ(sink->rows, expected);
    EXPECT_FALSE(doc->isModified()); // touching changes no project data
}

TEST_F(ProjectCommands, CompileOptionsOkShowsTheNoteAndMarksModified)
{
    runDialog<CAdvancedSheet>(this, cmd::SetCompileOptions,
                              [](CAdvancedSheet* sheet) { sheet->reject(); });
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_FALSE(doc->isModified());

    runDialog<CAdvancedSheet>(this, cmd::SetCompileOptions, [](CAdvancedSheet* sheet) {
        ClickButton(sheet, "noAssemble");
        sheet->accept();
    });
    EXPECT_EQ(doc->project().options.noAssemble, 1);
    EXPECT_EQ(doc->project().options.debugInfo, 1); // from "Debug Default"
    EXPECT_EQ(prompts.messages,
              QStringList{"Note: If you have changed the overall build options for this project, "
                          "remember to rebuild all the sources to register the effect\n"});
    EXPECT_TRUE(doc->isModified());

    // Nothing changed: the note and the flag all the same.
    doc->setModified(false);
    runDialog<CAdvancedSheet>(this, cmd::SetCompileOptions, [](CAdvancedSheet* sheet) { sheet->accept(); });
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(doc->isModified());
}

TEST_F(ProjectCommands, LinkingOptionsSortLibrariesAndDeriveTheOutputName)
{
    prompts.saveFiles.push_back(path("DEMO.tarn"));
    ASSERT_TRUE(doc->doFileSave());
    QString shown;
    prompts.openFiles = {"/usr/lib/libz.a", "/usr/lib/libm.a", "/usr/lib/libGL.so"};
    runDialog<CProjectLinkDialog>(this, cmd::SetLinkingOptions, [&](CProjectLinkDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Linking Options");
        shown = dialog->outputEdit()->text();
        for (int i = 0; i < 3; ++i)
            ClickButton(dialog, "addButton");
        ClickButton(dialog, "okButton");
    });
    EXPECT_EQ(shown, path("DEMO.exe"));
    EXPECT_EQ(prompts.openDialogs.first().filters, QStringList{"Library Files (*.a *.so)"});
    EXPECT_EQ(doc->project().libraries, QStringList({"GL", "m", "z"}));
    EXPECT_EQ(doc->project().outputName, path("DEMO.exe"));
    EXPECT_TRUE(doc->isModified());

    // Cancel changes nothing; a stored "a.out" is shown as "a.exe".
    doc->project().outputName = "a.out";
    doc->setModified(false);
    runDialog<CProjectLinkDialog>(this, cmd::SetLinkingOptions, [&](CProjectLinkDialog* dialog) {
        shown = dialog->outputEdit()->text();
        dialog->libraryList()->setCurrentRow(0);
        ClickButton(dialog, "removeButton");
        ClickButton(dialog, "cancelButton");
    });
    EXPECT_EQ(shown, "a.exe");
    EXPECT_EQ(doc->project().outputName, "a.out");
    EXPECT_EQ(doc->project().libraries.size(), 3);
    EXPECT_FALSE(doc->isModified());
}

TEST_F(ProjectCommands, FullListsRefuseTheNextEntry)
{
    for (int i = 0; i < kProjectListCapacity; ++i) {
        doc->project().sources << path(QString("s%1.c").arg(i));
        doc->project().libraries << QString("l%1").arg(i);
    }
    ASSERT_TRUE(execute(cmd::InsertFile));
    EXPECT_TRUE(prompts.openDialogs.isEmpty());
    EXPECT_EQ(doc->project().sources.size(), kProjectListCapacity);
    EXPECT_TRUE(prompts.messages.last().startsWith("The project already holds 500 source files"));

    runDialog<CProjectLinkDialog>(this, cmd::SetLinkingOptions, [](CProjectLinkDialog* dialog) {
        ClickButton(dialog, "addButton");
        ClickButton(dialog, "okButton");
    });
    EXPECT_TRUE(prompts.openDialogs.isEmpty());
    EXPECT_TRUE(prompts.messages.last().startsWith("The project already links 500 libraries"));
    EXPECT_EQ(doc->project().libraries.size(), kProjectListCapacity);

    ASSERT_TRUE(execute(cmd::InsertFolder));
    EXPECT_TRUE(prompts.messages.last().startsWith("The project already holds 500 source files"));
}

// A project filled in one go: several files from one Insert File dialog,
// a folder tree by its patterns, and a new project offered its folder at
// its first save.
TEST_F(ProjectCommands, AProjectFilledInOneGo)
{
    const QString a = source("lua/lapi.c", "int lua_api(void) {}\n");
    const QString b = source("lua/lcode.c", "int lua_code(void) {}\n");
    const QString c = source("lua/sub/lx.cpp", "int lx(void) {}\n");
    source("lua/README", "not a source\n");
    source("lua/lua.h", "/* a header */\n");

    // Two files in one dialog; one of them again with a third: only the
    // third is added, and nothing is said.
    prompts.openFiles.push_back(a + "\n" + b);
    ASSERT_TRUE(execute(cmd::InsertFile));
    waitForTree();
    EXPECT_EQ(doc->project().sources, QStringList({a, b}));
    EXPECT_TRUE(doc->isModified());
    prompts.openFiles.push_back(b + "\n" + c);
    ASSERT_TRUE(execute(cmd::InsertFile));
    waitForTree();
    EXPECT_EQ(doc->project().sources, QStringList({a, b, c}));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();

    // Insert Folder: a folder that is not there is said in the dialog,
    // which stays open; then the tree with a pattern for headers too.
    doc->project().sources.clear();
    QString offered;
    QString error;
    runDialog<InsertFolderDialog>(this, cmd::InsertFolder, [&](InsertFolderDialog* dialog) {
        offered = dialog->patternsEdit()->text();
        dialog->folderEdit()->setText(path("nowhere"));
        dialog->insertButton()->click();
        error = dialog->findChild<QLabel*>(QStringLiteral("insertFolderError"))->text();
        EXPECT_TRUE(dialog->isVisible());
        dialog->folderEdit()->setText(path("lua"));
        dialog->patternsEdit()->setText(QStringLiteral("*.c *.cpp *.h"));
        dialog->insertButton()->click();
    });
    EXPECT_EQ(offered, QStringLiteral("*.c *.cpp *.cc *.cxx"));
    EXPECT_EQ(error, QStringLiteral("There is no folder \"%1\".").arg(path("nowhere")));
    waitForTree();
    EXPECT_EQ(doc->project().sources, QStringList({a, b, path("lua/lua.h"), c}));
    int remaining = 0;
    EXPECT_EQ(app->mainWindow()->lastingStatus(&remaining), "4 files inserted from " + path("lua"));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();

    // Again: what is listed is skipped, the patterns were kept.
    runDialog<InsertFolderDialog>(this, cmd::InsertFolder, [&](InsertFolderDialog* dialog) {
        offered = dialog->patternsEdit()->text();
        dialog->folderEdit()->setText(path("lua"));
        dialog->insertButton()->click();
    });
    EXPECT_EQ(offered, QStringLiteral("*.c *.cpp *.h"));
    EXPECT_EQ(doc->project().sources.size(), 4);

    // Near the capacity: what does not fit is said.
    doc->project().sources.clear();
    for (int i = 0; i < kProjectListCapacity - 1; ++i)
        doc->project().sources << path(QString("s%1.c").arg(i));
    runDialog<InsertFolderDialog>(this, cmd::InsertFolder, [&](InsertFolderDialog* dialog) {
        dialog->folderEdit()->setText(path("lua"));
        dialog->insertButton()->click();
    });
    EXPECT_EQ(doc->project().sources.size(), kProjectListCapacity);
    EXPECT_EQ(doc->project().sources.last(), a);
    EXPECT_EQ(prompts.messages,
              QStringList{"3 files were not inserted: the project holds at most 500 source files."});
    prompts.messages.clear();

    // A new project: its first save offers its folder.
    ASSERT_TRUE(execute(cmd::FileNewProject));
    auto* fresh = dynamic_cast<CProjectDoc*>(app->mainWindow()->activeDocument());
    ASSERT_NE(fresh, nullptr);
    ASSERT_NE(fresh, doc);
    prompts.saveFiles.push_back(path("lua/lua.tarn"));
    prompts.answers.push_back(fw::Prompts::Answer::Yes);
    EXPECT_TRUE(DriveModal<InsertFolderDialog>(
        [&] {
            ASSERT_TRUE(fresh->doFileSave());
            // The offer comes once the save is over.
            QCoreApplication::processEvents();
        },
        [&](InsertFolderDialog* dialog) {
            offered = dialog->folderEdit()->text();
            dialog->insertButton()->click();
        }));
    EXPECT_EQ(offered, path("lua"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages.first(),
              "Insert the source files of " + path("lua") + " and its subfolders into the new project?");
    // (The new window's dialog offers the default patterns: no header.)
    EXPECT_EQ(fresh->project().sources, QStringList({a, b, c}));
    EXPECT_TRUE(fresh->isModified());
    // A later save asks nothing.
    prompts.messages.clear();
    ASSERT_TRUE(fresh->doFileSave());
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
