#include "ProjectFixture.h"

#include "framework/MdiChildFrame.h"
#include "project/ProjectFileCodec.h"

#include <QMdiArea>

namespace {

using ProjectDocument = ProjectFixture;

TEST_F(ProjectDocument, ANewProjectSavesAsAnEmptyProjectFile)
{
    saveAs("hello.tarn");
    EXPECT_EQ(prompts.saveDialogs.first().defaultSuffix, "tarn");
    // Counts, the options with debug info from the setting, two empty strings.
    EXPECT_EQ(testsupport::readFile(path("hello.tarn")), EncodeProjectFile(NewProjectFile(1)));
    EXPECT_EQ(doc->title(), "hello.tarn");
}

TEST_F(ProjectDocument, AnOpenedProjectLoadsItsRecordAndSavesItBack)
{
    ProjectFile project = NewProjectFile(0);
    project.options.language = 8;
    project.options.optimizeLevel = 7;
    project.sources << path("a.c") << path("B.c");
    project.libraries << "m";
    const QByteArray bytes = EncodeProjectFile(project);
    // Bytes after the last string are not part of the project.
    ASSERT_TRUE(testsupport::writeFile(path("kept.tarn"), bytes + "trailing"));
    auto* opened = dynamic_cast<CProjectDoc*>(app->openDocumentFile(path("kept.tarn")));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->project(), project);
    EXPECT_FALSE(opened->isModified());
    ASSERT_TRUE(opened->doFileSave());
    EXPECT_EQ(testsupport::readFile(path("kept.tarn")), bytes);
}

TEST_F(ProjectDocument, ADamagedProjectOpensNoWindow)
{
    const QString file = path("short.tarn");
    ASSERT_TRUE(testsupport::writeFile(file, QByteArray("\x01\0\0\0", 4)));
    const int windows = app->mainWindow()->mdiArea()->subWindowList().size();
    EXPECT_EQ(app->openDocumentFile(file), nullptr);
    EXPECT_EQ(app->mainWindow()->mdiArea()->subWindowList().size(), windows);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(file));
    EXPECT_TRUE(prompts.messages[0].contains("It is not a valid project file"));
}

} // namespace
