#include "project/CProjectView.h"

#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "resources/CommandIds.h"

#include <QContextMenuEvent>

CProjectView::CProjectView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
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
