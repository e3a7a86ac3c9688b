#include "messages/CMessageFrame.h"

#include "framework/DocTemplate.h"
#include "messages/CMessageDoc.h"
#include "messages/CMessageView.h"
#include "resources/CommandIds.h"

CMessageFrame::CMessageFrame(fw::Document* document, CMessageView* view, QWidget* parent)
    : fw::MdiChildFrame(document, view, messageFrameStyle(), parent)
{
}

fw::MdiChildFrame::Style CMessageFrame::messageFrameStyle()
{
    Style style;
    style.addDocumentToTitle = false;
    style.closable = false;
    style.systemMenu = false;
    style.minMaxButtons = false;
    style.initialSize = QSize(630, 110);
    style.fixedTitle = QStringLiteral("Message Window");
    return style;
}

CMessageView* CMessageFrame::messageView() const
{
    return dynamic_cast<CMessageView*>(view());
}

fw::MdiChildFrame* createMessageFrame(fw::Document* document)
{
    return new CMessageFrame(document, new CMessageView);
}

std::unique_ptr<fw::DocTemplate> createMessageDocTemplate()
{
    fw::DocTemplate::Factories factories;
    factories.document = [] { return new CMessageDoc; };
    factories.frame = createMessageFrame;
    return std::make_unique<fw::DocTemplate>(
        menu::Message, QStringLiteral("Message Window\nMessage Window\n\n\n\n\n"), std::move(factories));
}
