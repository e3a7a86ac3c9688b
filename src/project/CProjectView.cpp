#include "project/CProjectView.h"

#include "settings/IdeContext.h"

#include "editor/CTarnView.h"
#include "framework/Application.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/Prompts.h"
#include "project/CProjectDoc.h"
#include "project/ProjectBuildCommands.h"
#include "project/ProjectIcons.h"
#include "project/ProjectSourceScan.h"
#include "tools/PathBytes.h"
#include "resources/CommandIds.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// How long one slice of the fill may work before the interface paints and
// takes input again.
constexpr qint64 kSliceNanoseconds = 4'000'000;
// How long the results of the scan gather before a slice takes them.
constexpr int kGatherMilliseconds = 10;
// Children deleted between two looks at the clock: a source may hold a
// hundred thousand functions.
constexpr qsizetype kChildrenPerStep = 1000;

QTreeWidgetItem* makeNode(const QString& text, ProjectImage image)
{
    static const QIcon icons[] = {projectTreeIcon(ProjectImage::Page), projectTreeIcon(ProjectImage::Function),
                                  projectTreeIcon(ProjectImage::Dependencies),
                                  projectTreeIcon(ProjectImage::Missing)};
    auto* node = new QTreeWidgetItem(QStringList(text));
    node->setIcon(0, icons[int(image)]);
    return node;
}

// The status bar's line on the sources a fill could not read.
QString unreadableSourcesText(const QList<std::pair<QString, QString>>& unreadable)
{
    const auto& [path, reason] = unreadable.first();
    if (unreadable.size() == 1)
        return QStringLiteral("A source of the project cannot be read: %1 (%2)").arg(path, reason);
    return QStringLiteral("%1 sources of the project cannot be read, the first: %2 (%3)")
        .arg(unreadable.size())
        .arg(path, reason);
}

} // namespace

// Nodes taken out of a tree, and the texts of a tree's earlier fill,
// deleted a few milliseconds at a time (a tree may hold a hundred thousand
// functions). It outlives its view when the view goes first, and then
// deletes itself once done.
class DiscardedTreeNodes : public QObject {
public:
    explicit DiscardedTreeNodes(QObject* parent) : QObject(parent)
    {
        m_slice.setSingleShot(true);
        m_slice.setInterval(0);
        connect(&m_slice, &QTimer::timeout, this, &DiscardedTreeNodes::deleteSlice);
    }
    ~DiscardedTreeNodes() override { qDeleteAll(m_nodes); }

    void add(const QList<QTreeWidgetItem*>& nodes)
    {
        m_nodes += nodes;
        if (!m_nodes.isEmpty())
            m_slice.start();
    }
    void add(QStringList&& texts)
    {
        if (texts.isEmpty())
            return;
        m_texts.push_back(std::move(texts));
        m_slice.start();
    }
    // The view goes: finishes under the application, or at once without
    // one.
    void outliveView()
    {
        m_alone = true;
        if (QCoreApplication::instance())
            setParent(QCoreApplication::instance());
        else
            delete this;
    }

private:
    void deleteSlice()
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_nodes.isEmpty() && clock.nsecsElapsed() < kDeleteNanoseconds) {
            QTreeWidgetItem* node = m_nodes.last();
            // The last child first, so each is found at once.
            for (qsizetype n = 0; n < kChildrenPerStep && node->childCount() > 0; ++n)
                delete node->takeChild(node->childCount() - 1);
            if (node->childCount() == 0) {
                m_nodes.removeLast();
                delete node;
            }
        }
        while (!m_texts.empty() && clock.nsecsElapsed() < kDeleteNanoseconds) {
            QStringList& texts = m_texts.back();
            texts.resize(std::max<qsizetype>(0, texts.size() - kChildrenPerStep));
            if (texts.isEmpty())
                m_texts.pop_back();
        }
        if (!m_nodes.isEmpty() || !m_texts.empty())
            m_slice.start();
        else if (m_alone)
            deleteLater();
    }

    // Less than a slice of the fill: the two may run back to back.
    static constexpr qint64 kDeleteNanoseconds = 3'000'000;
    QList<QTreeWidgetItem*> m_nodes;
    std::vector<QStringList> m_texts;
    QTimer m_slice;
    bool m_alone = false;
};

CProjectView::CProjectView(IdeContext& tools, QWidget* parent) : QTreeWidget(parent), m_tools(tools)
{
    setObjectName(QStringLiteral("CProjectView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    // Long paths scroll sideways instead of being cut: the column is as
    // wide as the widest row shown (fitColumn).
    header()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemExpanded, this, &CProjectView::nodeExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &CProjectView::nodeCollapsed);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { OnDoubleClick(); });
    registerCommands();
    m_scanner = std::make_unique<ProjectTreeScanner>();
    m_discarded = new DiscardedTreeNodes(this);
    m_sliceTimer.setSingleShot(true);
    connect(&m_sliceTimer, &QTimer::timeout, this, &CProjectView::fillSlice);
    // Emitted on the worker; the slice runs here, a little later, so that a
    // slice takes many sources at once rather than one each.
    connect(m_scanner.get(), &ProjectTreeScanner::resultsReady, this,
            [this] {
                if (!m_sliceTimer.isActive())
                    m_sliceTimer.start(kGatherMilliseconds);
            },
            Qt::QueuedConnection);
    onCommand(cmd::BuildProject, [this] { OnBuildProject(); });
    onCommand(cmd::RebuildAll, [this] { OnRebuildAll(); });
    onCommand(cmd::ExportMakefile, [this] { OnExportMakefile(); });
    onCommand(cmd::ExportAndMake, [this] { OnExportAndMake(); });
}

CProjectDoc* CProjectView::projectDocument() const
{
    return qobject_cast<CProjectDoc*>(document());
}

void CProjectView::onInitialUpdate()
{
    CProjectDoc* doc = projectDocument();
    if (doc && !m_followsDocument) {
        m_followsDocument = true;
        connect(doc, &CProjectDoc::projectUpdated, this, &CProjectView::RebuildTree);
        // Once the save is over: a new project may be filled from its folder.
        connect(doc, &CProjectDoc::savedNewAndEmpty, this, &CProjectView::offerToFill, Qt::QueuedConnection);
    }
    RebuildTree();
}

CProjectView::~CProjectView()
{
    // The worker stops before the view it reports to goes.
    m_scanner.reset();
    discardTree();
    m_discarded->outliveView();
}

void CProjectView::discardTree()
{
    m_discarded->add(invisibleRootItem()->takeChildren());
    m_discarded->add(std::exchange(m_functionNames, {}));
    m_discarded->add(std::exchange(m_dependencies, {}));
    for (UnmadeChildren& unmade : m_unmadeChildren)
        m_discarded->add(std::move(unmade.texts));
    m_unmadeChildren.clear();
    for (PendingNode& pending : m_pending)
        m_discarded->add(std::move(pending.children));
    m_pending.clear();
}

void CProjectView::offerToFill(const QString& folder)
{
    const CProjectDoc* doc = projectDocument();
    if (!doc || !doc->project().sources.isEmpty())
        return;
    const QString question =
        QStringLiteral("Insert the source files of %1 and its subfolders into the new project?")
            .arg(PathForDisplay(folder));
    if (fw::Prompts::current().message(this, question, fw::Prompts::Buttons::YesNo, fw::Prompts::Icon::Question) ==
        fw::Prompts::Answer::Yes)
        OnInsertFolder(folder);
}

void CProjectView::RebuildTree()
{
    // The old nodes leave the tree at once, as when it is emptied; they are
    // deleted a slice at a time.
    discardTree();
    m_unreadable.clear();
    m_sawSource = false;
    m_dependenciesQueued = false;
    m_topLevelWidth = 0;
    m_expandedWidths.clear();
    fitColumn();
    m_filling = true;
    const CProjectDoc* doc = projectDocument();
    m_scanFinished = !doc || doc->project().sources.isEmpty();
    if (m_scanFinished)
        m_scanner->cancel();
    else
        m_scanner->scan(doc->project().sources);
    m_sliceTimer.start(0);
}

void CProjectView::fillSlice()
{
    QElapsedTimer clock;
    clock.start();
    ProjectTreeScanner::Results results = m_scanner->take();
    for (ProjectTreeSource& source : results.sources) {
        m_sawSource = true;
        m_functionNames += source.functions;
        m_dependencies += source.newDependencies;
        if (!source.readable) {
            m_unreadable.append({source.path, source.unreadableReason});
            m_pending.push_back({std::move(source.path), ProjectImage::Missing, {}, ProjectImage::Function,
                                 QStringLiteral("Cannot be read: %1").arg(source.unreadableReason)});
            continue;
        }
        m_pending.push_back({std::move(source.path), ProjectImage::Page, std::move(source.functions),
                             ProjectImage::Function, QString()});
    }
    m_scanFinished = m_scanFinished || results.finished;

    makePendingNodes(clock, kSliceNanoseconds);
    // The time may have run out just as the last source was made.
    queueDependenciesNode();
    const bool complete = m_filling && treeComplete();
    if (complete)
        m_filling = false;
    if (!m_pending.empty())
        m_sliceTimer.start(0);
    // Said once for the whole fill, without stopping the user: the tree
    // shows which sources they are.
    if (complete && !m_unreadable.isEmpty()) {
        if (fw::MdiMainFrame* main = mainFrame())
            main->showLastingStatus(unreadableSourcesText(m_unreadable), 15000);
    }
}

void CProjectView::makePendingNodes(const QElapsedTimer& clock, qint64 deadline)
{
    QList<QTreeWidgetItem*> made;
    while (clock.nsecsElapsed() < deadline) {
        if (m_pending.empty() && !queueDependenciesNode())
            break;
        PendingNode& pending = m_pending.front();
        QTreeWidgetItem* node = makeNode(pending.text, pending.image);
        if (!pending.toolTip.isEmpty()) {
            node->setToolTip(0, pending.toolTip);
            node->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
        }
        // The children are made when the node is first opened: a tree of
        // many sources holds hundreds of thousands of functions, and only
        // the opened ones are ever shown.
        if (!pending.children.isEmpty()) {
            node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            m_unmadeChildren.insert(node, {std::move(pending.children), pending.childImage});
        }
        made.append(node);
        m_pending.pop_front();
    }
    addTopLevelItems(made);
    widenForTopLevel(made);
}

int CProjectView::rowWidth(const QTreeWidgetItem* node) const
{
    const int depth = node->parent() ? 2 : 1; // the root is decorated
    return depth * indentation() + m_rowExtra + fontMetrics().horizontalAdvance(node->text(0));
}

void CProjectView::widenForTopLevel(const QList<QTreeWidgetItem*>& nodes)
{
    if (nodes.isEmpty())
        return;
    if (m_rowExtra < 0) {
        // The margins and the icon, as the view measures a row; a pixel or
        // two more for the rounding of other texts.
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        QTreeWidgetItem* first = nodes.first();
        const int whole = itemDelegate()->sizeHint(option, indexFromItem(first)).width();
        m_rowExtra = std::max(0, whole - fontMetrics().horizontalAdvance(first->text(0))) + 2;
    }
    for (const QTreeWidgetItem* node : nodes)
        m_topLevelWidth = std::max(m_topLevelWidth, rowWidth(node));
    fitColumn();
}

void CProjectView::nodeExpanded(QTreeWidgetItem* node)
{
    if (const auto unmade = m_unmadeChildren.find(node); unmade != m_unmadeChildren.end()) {
        QList<QTreeWidgetItem*> children;
        children.reserve(unmade->texts.size());
        for (const QString& text : std::as_const(unmade->texts))
            children.append(makeNode(text, unmade->image));
        m_unmadeChildren.erase(unmade);
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        node->addChildren(children);
    }
    if (m_rowExtra < 0)
        return;
    int widest = 0;
    for (int i = 0, n = node->childCount(); i < n; ++i)
        widest = std::max(widest, rowWidth(node->child(i)));
    m_expandedWidths.insert(node, widest);
    fitColumn();
}

void CProjectView::nodeCollapsed(QTreeWidgetItem* node)
{
    if (m_expandedWidths.remove(node))
        fitColumn();
}

void CProjectView::fitColumn()
{
    int widest = m_topLevelWidth;
    for (const int width : std::as_const(m_expandedWidths))
        widest = std::max(widest, width);
    if (header()->sectionSize(0) != widest)
        header()->resizeSection(0, widest);
}

void CProjectView::measureColumnAgain()
{
    m_rowExtra = -1;
    m_topLevelWidth = 0;
    QList<QTreeWidgetItem*> nodes;
    for (int i = 0, n = topLevelItemCount(); i < n; ++i)
        nodes.append(topLevelItem(i));
    widenForTopLevel(nodes);
    const QList<QTreeWidgetItem*> expanded = m_expandedWidths.keys();
    for (QTreeWidgetItem* node : expanded)
        nodeExpanded(node);
}

void CProjectView::changeEvent(QEvent* event)
{
    QTreeWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        measureColumnAgain();
}

bool CProjectView::queueDependenciesNode()
{
    if (!m_filling || !m_scanFinished || !m_pending.empty() || m_dependenciesQueued || !m_sawSource)
        return false;
    m_dependenciesQueued = true;
    m_pending.push_back({kDependenciesNodeText, ProjectImage::Dependencies, m_dependencies,
                         ProjectImage::Page, QString()});
    return true;
}

bool CProjectView::treeComplete() const
{
    // No "Dependancies" node without sources.
    return m_scanFinished && m_pending.empty() && (m_dependenciesQueued || !m_sawSource);
}

QTreeWidgetItem* CProjectView::selectedNode() const
{
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

void CProjectView::OnDoubleClick()
{
    QTreeWidgetItem* node = selectedNode();
    if (!node || (!node->parent() && node->text(0) == kDependenciesNodeText))
        return;
    fw::Application* app = m_tools.application();
    if (!app)
        return;
    QTreeWidgetItem* parent = node->parent();
    if (!parent || parent->text(0) == kDependenciesNodeText) {
        app->openDocumentFile(node->text(0));
        return;
    }
    // A function node: its definition is found by scanning the file on disk
    // again and taking the definition with the node's index.
    const QString path = parent->text(0);
    fw::Document* opened = app->openDocumentFile(path);
    if (!opened)
        return;
    const std::optional<QList<int>> lines = ScanDefinitionLines(path);
    if (!lines) {
        fw::messageBox(this, QStringLiteral("could not open the file!"));
        return;
    }
    const int index = parent->indexOfChild(node);
    // The file may have lost definitions since the tree was filled.
    if (index < 0 || index >= lines->size())
        return;
    // The caret at the start of the definition's line, scrolled to the top.
    if (auto* view = dynamic_cast<CTarnView*>(opened->firstView()))
        view->goToSourceLine(lines->at(index));
}

void CProjectView::OnContextMenu(const QPoint& globalPos)
{
    fw::Application* app = m_tools.application();
    fw::MdiMainFrame* main = app ? app->mainFrame() : nullptr;
    if (main)
        main->activateWindow();
    // The chosen command goes to the active view: this one.
    if (fw::MdiChildFrame* frame = parentFrame())
        frame->activate();
    if (main)
        main->trackContextMenu(menu::ProjectContext, globalPos);
}

void CProjectView::contextMenuEvent(QContextMenuEvent* event)
{
    OnContextMenu(event->globalPos());
    event->accept();
}

void CProjectView::OnBuildProject()
{
    if (CProjectDoc* doc = projectDocument())
        BuildProjectCommand(*doc, m_tools, this, false);
}

void CProjectView::OnRebuildAll()
{
    if (CProjectDoc* doc = projectDocument())
        BuildProjectCommand(*doc, m_tools, this, true);
}

void CProjectView::OnExportMakefile()
{
    if (CProjectDoc* doc = projectDocument())
        ExportMakefileCommand(*doc, m_tools, this);
}

void CProjectView::OnExportAndMake()
{
    if (CProjectDoc* doc = projectDocument())
        ExportAndMakeCommand(*doc, m_tools, this);
}
