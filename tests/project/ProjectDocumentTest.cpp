#include "app/CTarnApp.h"
#include "app/CMainFrame.h"
#include "app/IdeSettings.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "project/CProjectDoc.h"
#include "resources/CommandIds.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

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

TEST_F(ProjectDocument, AnOpenedProjectIsWrittenBackUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.tarn"));
    QByteArray bytes = CProjectDoc::emptyProjectFile(0);
    bytes.append("\x01\x02\xff trailing bytes stay", 22);
    ASSERT_TRUE(testsupport::writeFile(path, bytes));
    fw::Document* doc = app.openDocumentFile(path);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->doFileSave());
    EXPECT_EQ(testsupport::readFile(path), bytes);
}
