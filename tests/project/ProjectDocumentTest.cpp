#include "app/CTarnApp.h"
#include "app/CMainFrame.h"
#include "app/IdeSettings.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "project/CProjectDoc.h"
#include "project/ProjectFileCodec.h"
#include "resources/CommandIds.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

#include <QMdiArea>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
class ProjectDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::writeFile(settingsFilePath(),
                                           "[Options]\nGCC Path=/usr/bin/gcc\nDebug Default=1\n"));
        ASSERT_TRUE(app.InitInstance({}));
    }
    void TearDown() override { QFile::remove(settingsFilePath()); }

    ScriptedPrompts prompts;
    CTarnApp app;
};
} // namespace

TEST_F(ProjectDocument, ANewProjectSavesAsAnEmptyProjectFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(app.mainWindow()->router()->execute(cmd::FileNewProject));
    fw::Document* doc = app.mainWindow()->activeDocument();
    ASSERT_NE(dynamic_cast<CProjectDoc*>(doc), nullptr);
    const QString path = dir.filePath(QStringLiteral("hello.tarn"));
    prompts.saveFiles.push_back(path);
    ASSERT_TRUE(doc->doFileSave());
    EXPECT_EQ(prompts.saveDialogs.first().defaultSuffix, "tarn");

    // Counts, the options with debug info from the setting, two empty strings.
    const QByteArray expected = QByteArray::fromHex("00000000" "00000000" "00000000" "00000000"
                                                    "01000000" "00000000" "00000000" "00000000"
                                                    "00"
                                                    "00000000" "00000000" "00000000"
                                                    "00");
    EXPECT_EQ(testsupport::readFile(path), expected);
    EXPECT_EQ(doc->title(), "hello.tarn");
}

TEST_F(ProjectDocument, AnOpenedProjectLoadsItsRecordAndSavesItBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.tarn"));
    ProjectFile project = NewProjectFile(0);
    project.options.language = 8;
    project.options.optimizeLevel = 7;
    project.sources << dir.filePath("a.c") << dir.filePath("B.c");
    project.libraries << "m";
    const QByteArray bytes = EncodeProjectFile(project);
    // Bytes after the last string are not part of the project.
    ASSERT_TRUE(testsupport::writeFile(path, bytes + "trailing"));
    auto* doc = dynamic_cast<CProjectDoc*>(app.openDocumentFile(path));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->project(), project);
    EXPECT_FALSE(doc->isModified());
    ASSERT_TRUE(doc->doFileSave());
    EXPECT_EQ(testsupport::readFile(path), bytes);
}

TEST_F(ProjectDocument, ADamagedProjectOpensNoWindow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.tarn"));
    ASSERT_TRUE(testsupport::writeFile(path, QByteArray("\x01\0\0\0", 4)));
    const int windows = app.mainWindow()->mdiArea()->subWindowList().size();
    EXPECT_EQ(app.openDocumentFile(path), nullptr);
    EXPECT_EQ(app.mainWindow()->mdiArea()->subWindowList().size(), windows);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(path));
    EXPECT_TRUE(prompts.messages[0].contains("It is not a valid project file"));
}
