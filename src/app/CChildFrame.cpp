#include "app/CChildFrame.h"

#include "settings/IdeContext.h"

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

fw::MdiChildFrame* CChildFrame::create(fw::Document* document, IdeContext& context,
                                       BreakpointBook* breakpoints)
{
    auto* view = new CTarnView(context);
    view->setBreakpointBook(breakpoints);
    view->setCodeIntelligence(&context.codeIntelligence(), &context.messages());
    view->setToolCommands([&context](CTarnView& source) { QuickCompile(source, context); },
                          [&context](CTarnView& source) { BuildSource(source, context); });
    return new CChildFrame(document, view);
}

void CChildFrame::contextMenuEvent(QContextMenuEvent* event)
{
    if (fw::MdiMainFrame* main = view() ? view()->mainFrame() : nullptr)
        main->trackContextMenu(menu::SourceContext, event->globalPos());
    event->accept();
}
