#include "framework/FrameworkFixture.h"
#include "framework/RecentFileList.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::writeFile;

// The fields of a document string are pinned where Tarn starts
// (StartupTest) and in the Save As dialog's filter (SaveAsAsksForNameAndAdoptsIt).
TEST(DocTemplate, ATypeWithoutAFilterMatchesNoFile)
{
    fw::DocTemplate message(155, "Message Window\nMessage Window\n\n\n\n\n", {});
    EXPECT_EQ(message.filterString(), "");
    EXPECT_EQ(message.matchDocType("/x/a.c", nullptr), fw::DocTemplate::Match::No);
}

TEST(Framework, OpenChoosesTypeByExtensionActivatesOpenDocumentsAndReopensClosedOnes)
{
    QTemporaryDir dir;
    FrameworkFixture f;
    ScriptedPrompts prompts;
    const QString a = dir.filePath("a.oth");
    const QString b = dir.filePath("b.c");
    ASSERT_TRUE(writeFile(a, "alpha"));
    ASSERT_TRUE(writeFile(b, "beta"));

    fw::Document* docA = f.app.openDocumentFile(a);
    EXPECT_EQ(docA->docTemplate(), f.otherTemplate());
    // Any other extension goes to the first type that has a filter.
    fw::Document* docB = f.app.openDocumentFile(b);
    EXPECT_EQ(docB->docTemplate(), f.textTemplate());
    EXPECT_EQ(f.main->activeDocument(), docB);

    // Opening A again brings its minimised window back instead of opening a
    // second one.
    fw::MdiChildFrame* frameA = docA->firstView()->parentFrame();
    frameA->showMinimized();
    EXPECT_EQ(f.app.openDocumentFile(a), docA);
    EXPECT_FALSE(frameA->isMinimized());
    EXPECT_EQ(f.main->activeChild(), frameA);
    EXPECT_EQ(f.main->childFrames().size(), 2);
    EXPECT_EQ(docA->title(), "a.oth");
    EXPECT_TRUE(prompts.messages.isEmpty());

    // A closed document's file opens again at once, in a new window, before
    // the old document is deleted.
    docB->firstView()->parentFrame()->close();
    ASSERT_NE(f.app.openDocumentFile(b)->firstView(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.main->childFrames().size(), 2);
    EXPECT_EQ(f.textTemplate()->documents().size(), 1);
}

// The save question when a modified document's last window closes.
TEST(Framework, SaveQuestionAnswersDecideWhatHappens)
{
    const struct {
        const char* name;
        fw::Prompts::Answer answer;
        bool failWrite;
        bool closes;
        QByteArray onDisk;
    } rows[] = {
        {"yes saves", fw::Prompts::Answer::Yes, false, true, "new"},
        {"no discards", fw::Prompts::Answer::No, false, true, "old"},
        {"cancel keeps the window", fw::Prompts::Answer::Cancel, false, false, "old"},
        {"a failed save keeps the window and the file", fw::Prompts::Answer::Yes, true, false,
         "old"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("doc.txt");
        ASSERT_TRUE(writeFile(path, "old"));
        FrameworkFixture f;
        ScriptedPrompts prompts;
        auto* doc = static_cast<TextDoc*>(f.app.openDocumentFile(path));
        doc->bytes = "new";
        doc->failWrites = row.failWrite;
        doc->setModified(true);
        prompts.answers.push_back(row.answer);
        QPointer<fw::MdiChildFrame> frame(doc->firstView()->parentFrame());
        frame->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(frame.isNull(), row.closes);
        EXPECT_EQ(readFile(path), row.onDisk);
        ASSERT_EQ(prompts.messages.size(), row.failWrite ? 2 : 1);
        EXPECT_EQ(prompts.messages.first(),
                  QStringLiteral("Save changes to %1?").arg(QDir::toNativeSeparators(path)));
        if (row.failWrite) {
            EXPECT_TRUE(prompts.messages.at(1).contains("disk full"));
        }
    }
}

TEST(Framework, SaveAsAsksForNameAndAdoptsIt)
{
    QTemporaryDir dir;
    FrameworkFixture f;
    ScriptedPrompts prompts;
    auto* doc = static_cast<TextDoc*>(f.textTemplate()->openDocumentFile(QString()));
    doc->bytes = "text";
    doc->setModified(true);
    const QString target = dir.filePath("saved.txt");
    prompts.saveFiles.push_back(target);
    EXPECT_TRUE(doc->doFileSave());
    EXPECT_EQ(prompts.saveDialogs.first().defaultSuffix, "txt");
    EXPECT_EQ(prompts.saveDialogs.first().filters.first(), "Text Files (*.txt)");
    EXPECT_EQ(readFile(target), "text");
    EXPECT_EQ(doc->pathName(), target);
    EXPECT_EQ(doc->title(), "saved.txt");
    EXPECT_FALSE(doc->isModified());
}

TEST(RecentFileList, KeepsTheNewestTwoAcrossRuns)
{
    {
        fw::RecentFileList list("Tarn Tests", "Recent", 2);
        list.add("/a");
        list.add("/b");
        list.add("/a");
        list.add("/c");
        EXPECT_EQ(list.files(), QStringList({"/c", "/a"}));
    } // what is not written yet is written as the list goes
    fw::RecentFileList again("Tarn Tests", "Recent", 2);
    again.load();
    EXPECT_EQ(again.files(), QStringList({"/c", "/a"}));

    // A change is written a moment later, after the window is painted.
    fw::RecentFileList stored("Tarn Tests", "Recent", 2);
    again.add("/b");
    stored.load();
    EXPECT_EQ(stored.files(), QStringList({"/c", "/a"}));
    EXPECT_TRUE(testsupport::waitUntil([&] {
        stored.load();
        return stored.files() == QStringList({"/b", "/c"});
    }));

    // Another instance writes its newer list; opening the newest file here
    // again leaves that list alone, opening another writes this one.
    fw::RecentFileList other("Tarn Tests", "Recent", 2);
    other.load();
    other.add("/d");
    other.save();
    again.add("/b");
    QTest::qWait(2 * fw::RecentFileList::kWriteDelayMs);
    stored.load();
    EXPECT_EQ(stored.files(), QStringList({"/d", "/b"}));
    again.add("/a");
    again.save();
    stored.load();
    EXPECT_EQ(stored.files(), QStringList({"/a", "/b"}));
}
