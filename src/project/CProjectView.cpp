#include "project/CProjectView.h"

#include "editor/CTarnView.h"
#include "framework/Application.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/Prompts.h"
#include "project/CProjectDoc.h"
#include "project/ProjectBuildCommands.h"
#include "project/ProjectIcons.h"
#include "project/ProjectSourceScan.h"
#include "project/ProjectTreeLayout.h"
#include "resources/CommandIds.h"

#include <QContextMenuEvent>
#include <QHeaderView>

namespace {

QTreeWidgetItem* makeNode(const QString& text, ProjectImage image)
{
    static const QIcon icons[] = {projectTreeIcon(ProjectImage::Page),
                                  projectTreeIcon(ProjectImage::Function),
                                  projectTreeIcon(ProjectImage::Dependencies)};
    auto* node = new QTreeWidgetItem(QStringList(text));
    node->setIcon(0, icons[int(image)]);
    return node;
}

} // namespace

CProjectView::CProjectView(ToolSession& tools, QWidget* parent) : QTreeWidget(parent), m_tools(tools)
{
    setObjectName(QStringLiteral("CProjectView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    // Long paths scroll sideways instead of being cut.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { OnDoubleClick(); });
    registerCommands();
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
    }
    RebuildTree();
}

void CProjectView::RebuildTree()
{
    if (const CProjectDoc* doc = projectDocument())
        showLayout(LayOutProjectTree(doc->project().sources, ScanFunctionNames,
                                     ScanQuotedIncludeNames));
    else
        showLayout({});
}

void CProjectView::showLayout(const ProjectTreeLayout& layout)
{
    clear();
    m_functionNames.clear();
    QList<QTreeWidgetItem*> roots;
    roots.reserve(layout.sources.size() + 1);
    for (const ProjectTreeLayout::Source& source : layout.sources) {
        QTreeWidgetItem* node = makeNode(source.path, ProjectImage::Page);
        QList<QTreeWidgetItem*> functions;
        functions.reserve(source.functions.size());
        for (const QString& name : source.functions)
            functions.append(makeNode(name, ProjectImage::Function));
        m_functionNames += source.functions;
        node->addChildren(functions);
        roots.append(node);
    }
    if (layout.hasDependenciesNode) {
        QTreeWidgetItem* node = makeNode(kDependenciesNodeText, ProjectImage::Dependencies);
        QList<QTreeWidgetItem*> files;
        files.reserve(layout.dependencies.size());
        for (const QString& file : layout.dependencies)
            files.append(makeNode(file, ProjectImage::Page));
        node->addChildren(files);
        roots.append(node);
    }
    addTopLevelItems(roots);
    if (layout.unreadable)
        fw::messageBox(this, QStringLiteral("could not open file: %1").arg(*layout.unreadable));
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
    fw::Application* app = fw::Application::instance();
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
    fw::Application* app = fw::Application::instance();
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
