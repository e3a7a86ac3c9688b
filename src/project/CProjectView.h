#pragma once

#include "editor/WordCompletion.h"
#include "framework/View.h"

#include <QTreeWidget>

class CProjectDoc;
class ToolSession;
struct ProjectTreeLayout;

// The tree of a project window: its sources with the functions defined in
// them, and under "Dependancies" the files they include in double quotes.
// The tree holds texts only; every command finds its file again by text.
// It also carries the project's commands, which run in the tool session.
class CProjectView : public QTreeWidget, public fw::View, public CompletionNameSource {
    Q_OBJECT
public:
    explicit CProjectView(ToolSession& tools, QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    CProjectDoc* projectDocument() const;

    // Attaches the pictures, follows the document's loads and saves, and
    // fills the tree.
    void onInitialUpdate() override;

    // Empties and refills the tree from the project and its sources on disk.
    void RebuildTree();
    // Fills the tree from a layout worked out beforehand; tells the user of
    // a source that could not be opened.
    void showLayout(const ProjectTreeLayout& layout);
    // The function names the tree shows, for word completion.
    QStringList completionNames() const override { return m_functionNames; }

    void OnDoubleClick();
    void OnInsertFile();
    void OnRemoveFile();
    void OnTouchFile();
    void OnTouchAll();
    void OnSetCompileOptions();
    void OnSetLinkingOptions();
    void OnContextMenu(const QPoint& globalPos);
    // Build and export commands (ProjectBuildCommands.h does the work).
    void OnBuildProject();
    void OnRebuildAll();
    void OnExportMakefile();
    void OnExportAndMake();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void registerCommands();
    // The selected node, or nullptr.
    QTreeWidgetItem* selectedNode() const;

    ToolSession& m_tools;
    bool m_followsDocument = false;
    QStringList m_functionNames;
};
