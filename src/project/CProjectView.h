#pragma once

#include "editor/WordCompletion.h"
#include "framework/View.h"
#include "project/FolderSources.h"
#include "project/ProjectIcons.h"
#include "project/ProjectTreeLayout.h"

#include <QHash>
#include <QTimer>
#include <QTreeWidget>

#include <deque>
#include <memory>
#include <optional>

class CProjectDoc;
class DiscardedTreeNodes;
class ProjectTreeScanner;
class QElapsedTimer;
class IdeContext;

// The tree of a project window: its sources with the functions defined in
// them, and under "Dependancies" the files they include in double quotes.
// The tree holds texts only; every command finds its file again by text.
// It also carries the project's commands, which run in the tool session.
//
// A worker scans the sources; the tree fills a slice at a time on the
// interface thread as the results arrive, so the window paints and takes
// input meanwhile.
class CProjectView : public QTreeWidget, public fw::View, public CompletionNameSource {
    Q_OBJECT
public:
    explicit CProjectView(IdeContext& tools, QWidget* parent = nullptr);
    // Stops the scan, waiting at most for the source being scanned; the
    // nodes are deleted a slice at a time after the view has gone.
    ~CProjectView() override;

    QWidget* widget() override { return this; }
    CProjectDoc* projectDocument() const;

    // Attaches the pictures, follows the document's loads and saves, and
    // fills the tree.
    void onInitialUpdate() override;

    // Empties the tree at once and refills it from the project and its
    // sources on disk; a fill still running is abandoned. The user is told
    // of a source that could not be opened once the tree is complete.
    void RebuildTree();
    // True from RebuildTree until the tree is complete.
    bool isFilling() const { return m_filling; }
    // The function names the tree shows, for word completion.
    QStringList completionNames() const override { return m_functionNames; }

    void OnDoubleClick();
    void OnInsertFile();
    // Every file of a folder tree that fits the patterns (the dialog's
    // folder: `folder`, else the project's).
    void OnInsertFolder(const QString& folder = QString());
    // After the first save of a new, empty project: offers Insert Folder on
    // the project's folder.
    void offerToFill(const QString& folder);
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
    void changeEvent(QEvent* event) override;

private:
    // A top-level node still to be made, with its children.
    struct PendingNode {
        QString text;
        ProjectImage image = ProjectImage::Page;
        QStringList children;
        ProjectImage childImage = ProjectImage::Page;
        QString toolTip; // of the node itself
    };

    void registerCommands();
    // Takes the nodes and texts of the tree out at once; they are deleted
    // a slice at a time.
    void discardTree();
    // The selected node, or nullptr.
    QTreeWidgetItem* selectedNode() const;
    // One slice of the fill: takes the scan's new results, makes top-level
    // nodes for a few milliseconds, and asks for another slice while work
    // is left.
    void fillSlice();
    // Makes nodes from m_pending until `deadline` (nanoseconds of `clock`).
    void makePendingNodes(const QElapsedTimer& clock, qint64 deadline);
    // With every source made, queues the "Dependancies" node when the tree
    // shows one; false when nothing was queued.
    bool queueDependenciesNode();
    // True when the whole tree is made.
    bool treeComplete() const;
    // The column is as wide as the widest row shown: the top-level nodes
    // and the children of expanded nodes. Measured with the font alone,
    // node by node as they are made or expanded, since fitting the column
    // through the view lays out every row's text again at each change.
    int rowWidth(const QTreeWidgetItem* node) const;
    void widenForTopLevel(const QList<QTreeWidgetItem*>& nodes);
    // Makes the node's children when it is first opened, and widens the
    // column for them.
    void nodeExpanded(QTreeWidgetItem* node);
    void nodeCollapsed(QTreeWidgetItem* node);
    void fitColumn();
    // The whole column measured again (the font changed).
    void measureColumnAgain();

    IdeContext& m_tools;
    // Insert Folder's patterns, as last typed.
    QString m_folderPatterns = kDefaultFolderPatterns;
    bool m_followsDocument = false;
    QStringList m_functionNames;

    std::unique_ptr<ProjectTreeScanner> m_scanner;
    QTimer m_sliceTimer;
    bool m_filling = false;
    bool m_scanFinished = false;
    bool m_sawSource = false;
    bool m_dependenciesQueued = false;
    // Adds the files of a folder not listed yet, up to the capacity, and
    // says what did not fit or could not be read.
    void insertFolderFiles(const QString& folder, const QString& patterns);
    // The sources of this fill that could not be read, with the reason.
    QList<std::pair<QString, QString>> m_unreadable;
    QStringList m_dependencies;
    std::deque<PendingNode> m_pending;
    // The children of nodes not opened yet.
    struct UnmadeChildren {
        QStringList texts;
        ProjectImage image = ProjectImage::Page;
    };
    QHash<QTreeWidgetItem*, UnmadeChildren> m_unmadeChildren;
    // Deletes the nodes of earlier trees.
    DiscardedTreeNodes* m_discarded = nullptr;
    // The widest top-level row, and the widest child row of each expanded
    // node, in pixels; what a row needs beyond its text (margins, icon),
    // learnt from the view's own measure of the first row.
    int m_topLevelWidth = 0;
    QHash<QTreeWidgetItem*, int> m_expandedWidths;
    int m_rowExtra = -1;
};
