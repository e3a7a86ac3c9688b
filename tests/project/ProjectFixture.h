#pragma once

// A running Tarn with one new project window, sources written to a
// temporary folder, scripted dialogs and a recorder of message rows.
// Settings: gcc at /usr/bin/gcc, debug info by default, Clear on.
#include "app/CMainFrame.h"
#include "app/CTarnApp.h"
#include "settings/IdeSettings.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "project/CProjectDoc.h"
#include "project/CProjectView.h"
#include "resources/CommandIds.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"
#include "tools/JobManager.h"
#include "tools/RecordingSink.h"
#include "tools/ToolSession.h"

#include <QTemporaryDir>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <memory>

// A node's children are made when it is first opened: opens and closes
// again every closed node, as a user would, so that all are there.
inline void makeEveryNode(QTreeWidget& view)
{
    for (int i = 0; i < view.topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = view.topLevelItem(i);
        if (!node->isExpanded()) {
            node->setExpanded(true);
            node->setExpanded(false);
        }
    }
}

// Opens every top-level node.
inline void openEveryNode(QTreeWidget& view)
{
    for (int i = 0; i < view.topLevelItemCount(); ++i)
        view.topLevelItem(i)->setExpanded(true);
}

class ProjectFixture : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::writeFile(settingsFilePath(),
                                           "[Options]\nGCC Path=/usr/bin/gcc\nDebug Default=1\nClear=1\n"));
        app = std::make_unique<CTarnApp>();
        ASSERT_TRUE(app->InitInstance({}));
        sink = std::make_unique<RecordingSink>(&app->mainWindow()->context().messages());
        ASSERT_TRUE(execute(cmd::FileNewProject));
        doc = dynamic_cast<CProjectDoc*>(app->mainWindow()->activeDocument());
        ASSERT_NE(doc, nullptr);
        view = dynamic_cast<CProjectView*>(doc->firstView());
        ASSERT_NE(view, nullptr);
        waitForTree();
    }
    void TearDown() override
    {
        sink.reset();
        app.reset();
        QFile::remove(settingsFilePath());
    }

    bool execute(int id) { return app->mainWindow()->router()->execute(id); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString source(const QString& name, const QByteArray& text) const
    {
        EXPECT_TRUE(testsupport::writeFile(path(name), text));
        return path(name);
    }
    void saveAs(const QString& name)
    {
        prompts.saveFiles.push_back(path(name));
        ASSERT_TRUE(doc->doFileSave());
        waitForTree();
    }
    void setSettings(const QString& gcc, const QString& make)
    {
        IdeSettings settings = app->mainWindow()->context().settings();
        settings.gccPath = gcc;
        settings.makePath = make;
        app->mainWindow()->context().setSettings(settings);
    }
    // Waits for every job, then for the rows they posted.
    void finishJobs()
    {
        ASSERT_TRUE(app->mainWindow()->context().jobs().waitForAll(60000));
        app->mainWindow()->context().messages().flush();
    }
    // The rows as the window shows them, a separator row as an empty one.
    QStringList texts() const
    {
        QStringList out;
        for (const auto& [text, separator] : sink->rows) {
            out << text;
            if (separator == 1)
                out << QString();
        }
        return out;
    }
    // Waits (handling events) until a row holding `text` has arrived.
    bool waitForRow(const QString& text)
    {
        return testsupport::waitUntil([&] { app->mainWindow()->context().messages().flush(); return texts().contains(text); }, 30000);
    }
    // Inserts through the command, answering the file dialog, and waits
    // for the tree.
    void insert(const QString& file)
    {
        prompts.openFiles.push_back(file);
        ASSERT_TRUE(execute(cmd::InsertFile));
        waitForTree();
    }
    // Handles events until the tree, filled a slice at a time, is complete.
    void waitForTree()
    {
        ASSERT_TRUE(testsupport::waitUntil([&] { return !view->isFilling(); }, 30000));
    }
    // The tree as lines of text, children indented by two blanks.
    QStringList treeLines() const
    {
        makeEveryNode(*view);
        QStringList lines;
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            QTreeWidgetItem* node = view->topLevelItem(i);
            lines << node->text(0);
            for (int c = 0; c < node->childCount(); ++c)
                lines << "  " + node->child(c)->text(0);
        }
        return lines;
    }
    QTreeWidgetItem* node(const QString& text, const QString& parentText = {}) const
    {
        makeEveryNode(*view);
        const auto found = view->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        for (QTreeWidgetItem* item : found) {
            if (parentText.isEmpty() ? !item->parent()
                                     : item->parent() && item->parent()->text(0) == parentText)
                return item;
        }
        return nullptr;
    }
    void select(QTreeWidgetItem* item)
    {
        view->clearSelection();
        if (item) {
            view->setCurrentItem(item);
            item->setSelected(true);
        }
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<CTarnApp> app;
    std::unique_ptr<RecordingSink> sink;
    CProjectDoc* doc = nullptr;
    CProjectView* view = nullptr;
};
