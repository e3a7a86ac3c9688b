#include "project/CProjectFrame.h"

#include "project/CProjectView.h"

CProjectFrame::CProjectFrame(fw::Document* document, fw::View* view)
    : fw::MdiChildFrame(document, view, frameStyle())
{
}

fw::MdiChildFrame::Style CProjectFrame::frameStyle()
{
    Style style;
    style.addDocumentToTitle = true;
    style.closable = true;
    style.systemMenu = false;
    style.minMaxButtons = false;
    style.initialSize = QSize(350, 250);
    return style;
}

fw::MdiChildFrame* CProjectFrame::create(fw::Document* document, IdeContext& tools)
{
    return new CProjectFrame(document, new CProjectView(tools));
}
