// Touch, Set Compile Options and Linking Options of a project window.
#include "ProjectFixture.h"

#include "project/CProjectLinkDialog.h"
#include "tools/AdvancedSheet.h"
#include "tools/ModalDriver.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>

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
}

} // namespace
