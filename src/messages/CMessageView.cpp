#include "messages/CMessageView.h"

#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "messages/LineNavigation.h"
#include "messages/MessageClassifier.h"
#include "messages/MessageLog.h"
#include "messages/MessageTips.h"
#include "resources/CommandIds.h"

#include <QContextMenuEvent>

CMessageView* g_pMessageView = nullptr;

CMessageView::CMessageView(QWidget* parent) : MessageListWidget(parent)
{
    connect(this, &MessageListWidget::rowActivated, this, [this] { OnDoubleClick(); });
    onCommand(cmd::ClearMessages, [this] { ClearMessages(); });
    onCommand(cmd::CopyrightVersion, [this] { ShowBanner(); });
    onCommand(cmd::Tip, [this] { OnTip(); });
}

CMessageView::~CMessageView()
{
    if (messageSink() == this)
        setMessageSink(nullptr);
    if (g_pMessageView == this)
        g_pMessageView = nullptr;
}

void CMessageView::installAsMessageSink()
{
    setMessageSink(this);
}

void CMessageView::onInitialUpdate()
{
    if (m_initialised)
        return;
    m_initialised = true;
    ShowBanner();
}

void CMessageView::AppendLine(const QString& text, int withSeparator)
{
    appendRow(text, classifyMessage(text));
    if (withSeparator == 1)
        appendRow(QString(), IconSeparator);
}

void CMessageView::ClearMessages()
{
    clearRows();
}

void CMessageView::ShowBanner()
{
    AppendLine(messageBanner(), 1);
}

void CMessageView::OnTip()
{
    TipChooser& chooser = m_tipChooser ? *m_tipChooser : tipChooser();
    AppendLine(tipText(chooser.next()), 1);
}

void CMessageView::OnDoubleClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const std::optional<DiagnosticLocation> location = parseDiagnostic(rowText(row));
    if (!location)
        return;
    fw::Application* app = fw::Application::instance();
    if (!app)
        return;
    // The framework reports a file that cannot be opened; the rows stay.
    fw::Document* document = app->openDocumentFile(location->fileName);
    if (!document)
        return;
    // Only a view that shows text can select the line; other documents (a
    // project named in a message) are just opened. A group without digits
    // ("std::string") reports no line to select.
    if (auto* lines = dynamic_cast<LineSelectable*>(document->firstView()); lines && location->line > 0)
        lines->selectReportedLine(location->line);
}

void CMessageView::OnContextMenu(const QPoint& globalPos)
{
    if (fw::MdiChildFrame* frame = parentFrame())
        frame->activate();
    fw::Application* app = fw::Application::instance();
    if (fw::MdiMainFrame* main = app ? app->mainFrame() : nullptr)
        main->trackContextMenu(menu::MessageContext, globalPos);
}

void CMessageView::contextMenuEvent(QContextMenuEvent* event)
{
    OnContextMenu(event->globalPos());
    event->accept();
}
