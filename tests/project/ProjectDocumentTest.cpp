#include "ProjectFixture.h"

#include "framework/MdiChildFrame.h"
#include "project/ProjectFileCodec.h"
#include "tools/PathBytes.h"

#include <QFile>

#include <QMdiArea>

namespace {

using ProjectDocument = ProjectFixture;

// A new project saves as the empty project file (debug info from the
// setting); an opened one loads its record and saves it back without the
// bytes after its last string; a damaged one opens no window.
TEST_F(ProjectDocument, SavesOpensAndRefusesProjectFiles)
{
    saveAs("hello.tarn");
    EXPECT_EQ(prompts.saveDialogs.first().defaultSuffix, "tarn");
    EXPECT_EQ(testsupport::readFile(path("hello.tarn")), EncodeProjectFile(NewProjectFile(1)));
    EXPECT_EQ(doc->title(), "hello.tarn");

    ProjectFile project = NewProjectFile(0);
    project.options.language = 8;
    project.sources << path("a.c") << path("B.c");
    project.libraries << "m";
    const QByteArray bytes = EncodeProjectFile(project);
    ASSERT_TRUE(testsupport::writeFile(path("kept.tarn"), bytes + "trailing"));
    auto* opened = dynamic_cast<CProjectDoc*>(app->openDocumentFile(path("kept.tarn")));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->project(), project);
    EXPECT_FALSE(opened->isModified());
    ASSERT_TRUE(opened->doFileSave());
    EXPECT_EQ(testsupport::readFile(path("kept.tarn")), bytes);

    // Names are bytes: strings that are not UTF-8 come back byte for byte.
    project.sources << PathFromBytes(QFile::encodeName(path("latin")) + "\xE9.c");
    project.libraries << PathFromBytes("\xFF\xFE");
    project.options.otherOptions = PathFromBytes("-DNAME=\"caf\xE9\"");
    project.outputName = PathFromBytes("/tmp/\xC0\xAF.exe");
    const QByteArray latin = EncodeProjectFile(project);
    for (const QByteArray& raw : {QByteArray("latin\xE9.c"), QByteArray("\x02\xFF\xFE"),
                                  QByteArray("caf\xE9\""), QByteArray("/tmp/\xC0\xAF.exe")})
        EXPECT_TRUE(latin.contains(raw)) << raw.toHex().toStdString();
    ASSERT_TRUE(testsupport::writeFile(path("latin.tarn"), latin));
    auto* bytewise = dynamic_cast<CProjectDoc*>(app->openDocumentFile(path("latin.tarn")));
    ASSERT_NE(bytewise, nullptr);
    EXPECT_EQ(bytewise->project(), project);
    ASSERT_TRUE(bytewise->doFileSave());
    EXPECT_EQ(testsupport::readFile(path("latin.tarn")), latin);

    const QString damaged = path("short.tarn");
    ASSERT_TRUE(testsupport::writeFile(damaged, QByteArray("\x01\0\0\0", 4)));
    const int windows = app->mainWindow()->mdiArea()->subWindowList().size();
    EXPECT_EQ(app->openDocumentFile(damaged), nullptr);
    EXPECT_EQ(app->mainWindow()->mdiArea()->subWindowList().size(), windows);
    const QString said = prompts.messages.value(prompts.messages.size() - 1);
    EXPECT_TRUE(said.contains(damaged) && said.contains("It is not a valid project file"))
        << said.toStdString();
}

} // namespace
