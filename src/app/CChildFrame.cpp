#include "app/CChildFrame.h"

#include "editor/CTarnView.h"
#include "framework/Application.h"
#include "framework/MdiMainFrame.h"
#include "resources/CommandIds.h"
#include "singlefile/BuildSource.h"
#include "singlefile/QuickCompile.h"

#include <QContextMenuEvent>

CChildFrame::CChildFrame(fw::Document* document, fw::View* view)
    : fw::MdiChildFrame(document, view, Style{})
{
}

fw::MdiChildFrame* CChildFrame::create(fw::Document* document, ToolSession& tools,
                                       BreakpointBook* breakpoints)
{
    auto* view = new CTarnView;
    view->setBreakpointBook(breakpoints);
    view->setToolCommands([&tools](CTarnView& source) { QuickCompile(source, tools); },
                          [&tools](CTarnView& source) { BuildSource(source, tools); });
    return new CChildFrame(document, view);
}

void CChildFrame::contextMenuEvent(QContextMenuEvent* event)
{
    fw::Application* app = fw::Application::instance();
    if (app && app->mainFrame())
        app->mainFrame()->trackContextMenu(menu::SourceContext, event->globalPos());
    event->accept();
}
