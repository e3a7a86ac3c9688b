#include "app/CChildFrame.h"

#include "editor/CTarnView.h"
#include "framework/Application.h"
#include "framework/MdiMainFrame.h"
#include "resources/CommandIds.h"

#include <QContextMenuEvent>

CChildFrame::CChildFrame(fw::Document* document, fw::View* view)
    : fw::MdiChildFrame(document, view, Style{})
{
}

fw::MdiChildFrame* CChildFrame::create(fw::Document* document)
{
    return new CChildFrame(document, new CTarnView);
}

void CChildFrame::contextMenuEvent(QContextMenuEvent* event)
{
    fw::Application* app = fw::Application::instance();
    if (app && app->mainFrame())
        app->mainFrame()->trackContextMenu(menu::SourceContext, event->globalPos());
    event->accept();
}
