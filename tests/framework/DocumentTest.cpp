#include "framework/FrameworkFixture.h"
#include "framework/RecentFileList.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::writeFile;

TEST(DocTemplate, SplitsTheSevenDocumentStringFields)
{
    fw::DocTemplate t(157, QStringLiteral("Project\nProject\nProject\nProject Files (*.tarn)\n.tarn\nTarn.Project\nTarn Project"), {});
    EXPECT_EQ(t.docString(fw::DocTemplate::WindowTitle), "Project");
    EXPECT_EQ(t.docString(fw::DocTemplate::FilterName), "Project Files (*.tarn)");
    EXPECT_EQ(t.docString(fw::DocTemplate::FilterExt), ".tarn");
    EXPECT_EQ(t.docString(fw::DocTemplate::RegFileTypeName), "Tarn Project");
    EXPECT_EQ(t.filterString(), "Project Files (*.tarn)");

    fw::DocTemplate message(155, QStringLiteral("Message Window\nMessage Window\n\n\n\n\n"), {});
    EXPECT_EQ(message.docString(fw::DocTemplate::FileNewName), "");
    EXPECT_EQ(message.filterString(), "");
    EXPECT_EQ(message.matchDocType(QStringLiteral("/x/a.c"), nullptr), fw::DocTemplate::Match::No);
}

TEST(Framework, OpenChoosesTypeByExtensionAndActivatesOpenDocument)
{
    QTemporaryDir dir;
    FrameworkFixture f;
    ScriptedPrompts prompts;
    const QString a = dir.filePath(QStringLiteral("a.oth"));
    const QString b = dir.filePath(QStringLiteral("b.c"));
    ASSERT_TRUE(writeFile(a, "alpha"));
    ASSERT_TRUE(writeFile(b, "beta"));

    fw::Document* docA = f.app.openDocumentFile(a);
    ASSERT_NE(docA, nullptr);
    EXPECT_EQ(docA->docTemplate(), f.otherTemplate());
    // Any other extension goes to the first type that has a filter.
    fw::Document* docB = f.app.openDocumentFile(b);
    ASSERT_NE(docB, nullptr);
    EXPECT_EQ(docB->docTemplate(), f.textTemplate());
    EXPECT_EQ(f.main->activeDocument(), docB);

    // Opening A again brings its minimised window back instead of opening a
    // second one.
    fw::MdiChildFrame* frameA = docA->firstView()->parentFrame();
    frameA->showMinimized();
    ASSERT_TRUE(frameA->isMinimized());
    EXPECT_EQ(f.app.openDocumentFile(a), docA);
    EXPECT_FALSE(frameA->isMinimized());
    EXPECT_EQ(f.main->activeChild(), frameA);
    EXPECT_EQ(f.main->childFrames().size(), 2);
    EXPECT_EQ(docA->title(), "a.oth");
    EXPECT_TRUE(prompts.messages.isEmpty());

    // A file that cannot be read is reported and leaves no window.
    EXPECT_EQ(f.app.openDocumentFile(dir.filePath(QStringLiteral("missing.txt"))), nullptr);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages.first().contains(QStringLiteral("missing.txt")));
    EXPECT_EQ(f.main->childFrames().size(), 2);
    EXPECT_EQ(f.textTemplate()->documents().size(), 1);
}

TEST(Framework, UntitledDocumentsAreNumbered)
{
    FrameworkFixture f;
    fw::Document* one = f.textTemplate()->openDocumentFile(QString());
    fw::Document* two = f.textTemplate()->openDocumentFile(QString());
    ASSERT_TRUE(one && two);
    EXPECT_EQ(one->title(), "Text1");
    EXPECT_EQ(two->title(), "Text2");
    EXPECT_TRUE(one->pathName().isEmpty());
    EXPECT_EQ(static_cast<TextView*>(one->firstView())->initialUpdates, 1);
}

// The save question when a modified document's last window closes.
struct SaveCase {
    const char* name;
    fw::Prompts::Answer answer;
    bool failWrite;
    bool closes;
    QByteArray onDisk;
    friend void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }
};

class SaveQuestion : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveQuestion, AnswersDecideWhatHappens)
{
    const SaveCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    ASSERT_TRUE(writeFile(path, "old"));
    FrameworkFixture f;
    ScriptedPrompts prompts;
    auto* doc = static_cast<TextDoc*>(f.app.openDocumentFile(path));
    ASSERT_NE(doc, nullptr);
    doc->bytes = "new";
    doc->failWrites = c.failWrite;
    doc->setModified(true);
    prompts.answers.push_back(c.answer);

    fw::MdiChildFrame* frame = doc->firstView()->parentFrame();
    QPointer<fw::MdiChildFrame> guard(frame);
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(guard.isNull(), c.closes);
    ASSERT_GE(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages.first().startsWith(QStringLiteral("Save changes to ")));
    EXPECT_EQ(readFile(path), c.onDisk);
    if (c.failWrite) {
        ASSERT_EQ(prompts.messages.size(), 2);
        EXPECT_TRUE(prompts.messages.at(1).contains(QStringLiteral("disk full")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Framework, SaveQuestion,
    ::testing::Values(SaveCase{"YesSaves", fw::Prompts::Answer::Yes, false, true, "new"},
                      SaveCase{"NoDiscards", fw::Prompts::Answer::No, false, true, "old"},
                      SaveCase{"CancelKeepsWindow", fw::Prompts::Answer::Cancel, false, false, "old"},
                      SaveCase{"FailedSaveKeepsWindowAndFile", fw::Prompts::Answer::Yes, true, false, "old"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Framework, SaveAsAsksForNameAndAdoptsIt)
{
    QTemporaryDir dir;
    FrameworkFixture f;
    ScriptedPrompts prompts;
    auto* doc = static_cast<TextDoc*>(f.textTemplate()->openDocumentFile(QString()));
    ASSERT_NE(doc, nullptr);
    doc->bytes = "text";
    doc->setModified(true);
    const QString target = dir.filePath(QStringLiteral("saved.txt"));
    prompts.saveFiles.push_back(target);
    EXPECT_TRUE(doc->doFileSave());
    ASSERT_EQ(prompts.saveDialogs.size(), 1);
    EXPECT_EQ(prompts.saveDialogs.first().defaultSuffix, "txt");
    EXPECT_EQ(prompts.saveDialogs.first().filters.first(), "Text Files (*.txt)");
    EXPECT_EQ(readFile(target), "text");
    EXPECT_EQ(doc->pathName(), target);
    EXPECT_EQ(doc->title(), "saved.txt");
    EXPECT_FALSE(doc->isModified());
    // A second save writes to the same path without asking.
    doc->bytes = "more";
    EXPECT_TRUE(doc->doFileSave());
    EXPECT_EQ(prompts.saveDialogs.size(), 1);
    EXPECT_EQ(readFile(target), "more");
}

TEST(RecentFileList, KeepsTheNewestTwoAcrossRuns)
{
    {
        fw::RecentFileList list(QStringLiteral("Tarn Tests"), QStringLiteral("Recent"), 2);
        list.add(QStringLiteral("/a"));
        list.add(QStringLiteral("/b"));
        list.add(QStringLiteral("/a"));
        list.add(QStringLiteral("/c"));
        EXPECT_EQ(list.files(), QStringList({QStringLiteral("/c"), QStringLiteral("/a")}));
    }
    fw::RecentFileList again(QStringLiteral("Tarn Tests"), QStringLiteral("Recent"), 2);
    again.load();
    EXPECT_EQ(again.files(), QStringList({QStringLiteral("/c"), QStringLiteral("/a")}));
}

TEST(Framework, AClosedDocumentCanBeOpenedAgainAtOnce)
{
    QTemporaryDir dir;
    FrameworkFixture f;
    const QString path = dir.filePath(QStringLiteral("again.txt"));
    ASSERT_TRUE(writeFile(path, "x"));
    fw::Document* first = f.app.openDocumentFile(path);
    ASSERT_NE(first, nullptr);
    first->firstView()->parentFrame()->close();
    // Before the closed document is deleted, the same file opens in a new window.
    fw::Document* second = f.app.openDocumentFile(path);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second->firstView(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.main->childFrames().size(), 1);
    EXPECT_EQ(f.textTemplate()->documents().size(), 1);
}
