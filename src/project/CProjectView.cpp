#include "project/CProjectView.h"

#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "project/CProjectDoc.h"
#include "project/ProjectBuildCommands.h"
#include "resources/CommandIds.h"

#include <QContextMenuEvent>

CProjectView::CProjectView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    onCommand(cmd::BuildProject, [this] { OnBuildProject(); });
    onCommand(cmd::RebuildAll, [this] { OnRebuildAll(); });
    onCommand(cmd::ExportMakefile, [this] { OnExportMakefile(); });
    onCommand(cmd::ExportAndMake, [this] { OnExportAndMake(); });
}

void CProjectView::onInitialUpdate()
{
    clear();
    if (fw::Document* doc = document())
        addTopLevelItem(new QTreeWidgetItem(QStringList(doc->title())));
}

void CProjectView::contextMenuEvent(QContextMenuEvent* event)
{
    if (parentFrame())
        parentFrame()->activate();
    fw::Application* app = fw::Application::instance();
    if (app && app->mainFrame())
        app->mainFrame()->trackContextMenu(menu::ProjectContext, event->globalPos());
    event->accept();
}

void CProjectView::OnBuildProject()
{
    if (auto* doc = dynamic_cast<CProjectDoc*>(document()))
        BuildProjectCommand(*doc, this, false);
}

void CProjectView::OnRebuildAll()
{
    if (auto* doc = dynamic_cast<CProjectDoc*>(document()))
        BuildProjectCommand(*doc, this, true);
}

void CProjectView::OnExportMakefile()
{
    if (auto* doc = dynamic_cast<CProjectDoc*>(document()))
        ExportMakefileCommand(*doc, this);
}

void CProjectView::OnExportAndMake()
{
    if (auto* doc = dynamic_cast<CProjectDoc*>(document()))
        ExportAndMakeCommand(*doc, this);
}
