// Ctrl+Space in a running Tarn: the popup offers the words of the other open
// source windows and the function names of the project's tree, narrows as
// letters are typed, widens on Backspace, closes when nothing fits, and
// Enter puts the chosen word in.
#include "SettingsTestEnvironment.h"

#include "editor/CTarnView.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "project/CProjectView.h"
#include "project/ProjectFileCodec.h"
#include "resources/TarnCommands.h"

#include <QApplication>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class WordCompletionView : public StartedTarn {
protected:
    void SetUp() override
    {
        StartedTarn::SetUp();
        ASSERT_EQ(main->childFrames().size(), 2);
        untitled = dynamic_cast<CTarnView*>(main->childFrames().at(1)->view());
        ASSERT_NE(untitled, nullptr);
    }

    QString file(const QString& name) const { return configFolder() + QLatin1Char('/') + name; }

    void ctrlSpace() { QTest::keyClick(untitled, Qt::Key_Space, Qt::ControlModifier); }

    // The words of the open popup, as its list shows them (Scintilla
    // fills a new list each time and lets the old one go later).
    QByteArrayList shown() const
    {
        if (!popupOpen())
            return {};
        for (QWidget* widget : QApplication::allWidgets()) {
            auto* list = qobject_cast<QListWidget*>(widget);
            if (!list || !list->isVisible() || list->count() == 0)
                continue;
            QByteArrayList words;
            for (int i = 0; i < list->count(); ++i)
                words << list->item(i)->text().toUtf8();
            return words;
        }
        ADD_FAILURE() << "no completion list shown";
        return {};
    }
    bool popupOpen() const
    {
        return untitled->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE) != 0;
    }

    // Opens a project and waits for its tree, which fills after the window
    // shows.
    fw::Document* openProject(const QString& path)
    {
        fw::Document* doc = app->openDocumentFile(path);
        auto* tree = doc ? dynamic_cast<CProjectView*>(doc->firstView()) : nullptr;
        EXPECT_NE(tree, nullptr);
        if (tree) {
            EXPECT_TRUE(testsupport::waitUntil([&] { return !tree->isFilling(); }));
        }
        return doc;
    }

    CTarnView* untitled = nullptr;
};

TEST_F(WordCompletionView, OffersOtherWindowsAndTheProjectTreeAndNarrowsWhileTyping)
{
    // parse_file and print_report are only in the project's tree (their
    // source is not open); parse_args and parse_total only in util.c.
    ASSERT_TRUE(testsupport::writeFile(file("tree.c"),
                                       "int parse_file(void)\n{\n    return 0;\n}\n\n"
                                       "void print_report(int n)\n{\n}\n"));
    ProjectFile project = NewProjectFile(0);
    project.sources = {file("tree.c")};
    ASSERT_TRUE(SaveProjectFile(file("hello.tarn"), project));
    ASSERT_TRUE(testsupport::writeFile(file("util.c"),
                                       "int parse_args(int argc);\nstatic int parse_total;\n"
                                       "int pa;\n"));
    ASSERT_TRUE(openProject(file("hello.tarn")));
    ASSERT_TRUE(app->openDocumentFile(file("util.c")));
    untitled->parentFrame()->activate();

    QTest::keyClicks(untitled, "int partial = 1;");
    QTest::keyClick(untitled, Qt::Key_Return);
    QTest::keyClicks(untitled, "x = pa");
    ctrlSpace();
    ASSERT_TRUE(popupOpen());
    // Sorted, distinct; "pa" itself and the word being typed are no offers,
    // "partial" from this window is.
    EXPECT_EQ(shown(), (QByteArrayList{"parse_args", "parse_file", "parse_total", "partial"}));

    QTest::keyClicks(untitled, "rse_");
    EXPECT_EQ(shown(), (QByteArrayList{"parse_args", "parse_file", "parse_total"}));
    QTest::keyClick(untitled, Qt::Key_T);
    EXPECT_EQ(shown(), QByteArrayList{"parse_total"});
    QTest::keyClick(untitled, Qt::Key_Backspace);
    EXPECT_EQ(shown(), (QByteArrayList{"parse_args", "parse_file", "parse_total"}));
    QTest::keyClick(untitled, Qt::Key_F);
    ASSERT_EQ(shown(), QByteArrayList{"parse_file"});
    QTest::keyClick(untitled, Qt::Key_Return);
    EXPECT_FALSE(popupOpen());
    EXPECT_EQ(untitled->text(), QStringLiteral("int partial = 1;\nx = parse_file"));

    // Nothing fits: no popup, nothing changes, and the status bar says so.
    QTest::keyClicks(untitled, "; q");
    EXPECT_FALSE(untitled->showWordCompletion());
    ctrlSpace();
    EXPECT_FALSE(popupOpen());
    EXPECT_EQ(untitled->text(), QStringLiteral("int partial = 1;\nx = parse_file; q"));
    EXPECT_EQ(main->statusBar()->currentMessage(), QStringLiteral("No completions"));

    // The one word that fits goes in at once when asked for.
    QTest::keyClick(untitled, Qt::Key_Return);
    QTest::keyClicks(untitled, "pr");
    ctrlSpace();
    EXPECT_FALSE(popupOpen());
    EXPECT_TRUE(untitled->text().endsWith(QStringLiteral("\tprint_report")))
        << untitled->text().toStdString();
    // Narrowing to one word while typing leaves the choice to the user;
    // typing what fits no word closes the popup.
    QTest::keyClick(untitled, Qt::Key_Return);
    QTest::keyClicks(untitled, "parse_");
    ctrlSpace();
    EXPECT_EQ(shown(), (QByteArrayList{"parse_args", "parse_file", "parse_total"}));
    QTest::keyClick(untitled, Qt::Key_A);
    EXPECT_EQ(shown(), QByteArrayList{"parse_args"});
    QTest::keyClick(untitled, Qt::Key_Z);
    EXPECT_FALSE(popupOpen());
    EXPECT_TRUE(untitled->text().endsWith(QStringLiteral("\tparse_az")));
    EXPECT_TRUE(prompts->messages.isEmpty()) << prompts->messages.join('\n').toStdString();
}

// Ctrl+Space reaches the source window only while no command of the one
// key table takes it first.
TEST(WordCompletionKey, CtrlSpaceIsNoCommandKey)
{
    const QKeySequence ctrlSpace(Qt::CTRL | Qt::Key_Space);
    for (const fw::CommandInfo& info : tarnCommandTable().commands()) {
        for (const QKeySequence& key : info.keys)
            EXPECT_NE(key, ctrlSpace) << "command " << info.id;
    }
}

TEST_F(WordCompletionView, TheProjectActiveLastGivesTheNames)
{
    // Two projects, each with one function; the one activated last counts.
    const std::pair<const char*, const char*> projects[] = {{"one", "alpha_one"},
                                                            {"two", "alpha_two"}};
    QList<fw::MdiChildFrame*> frames;
    for (const auto& [name, function] : projects) {
        const QString source = file(QString::fromUtf8(name) + QStringLiteral(".c"));
        ASSERT_TRUE(
            testsupport::writeFile(source, QByteArray("int ") + function + "(void)\n{\n}\n"));
        ProjectFile project = NewProjectFile(0);
        project.sources = {source};
        const QString path = file(QString::fromUtf8(name) + QStringLiteral(".tarn"));
        ASSERT_TRUE(SaveProjectFile(path, project));
        fw::Document* doc = openProject(path);
        ASSERT_TRUE(doc);
        frames << doc->firstView()->parentFrame();
    }
    for (int active : {0, 1, 0}) {
        frames.at(active)->activate();
        untitled->parentFrame()->activate();
        untitled->setText(QStringLiteral("al"));
        untitled->setCursorPosition(0, 2);
        ctrlSpace();
        // The one name that fits goes in at once.
        EXPECT_FALSE(popupOpen());
        EXPECT_EQ(untitled->text(), QString::fromUtf8(projects[active].second)) << active;
    }
}

} // namespace
