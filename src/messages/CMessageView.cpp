#include "messages/CMessageView.h"

#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/Prompts.h"
#include "messages/LineNavigation.h"
#include "messages/MessageClassifier.h"
#include "messages/MessageLog.h"
#include "messages/MessageTips.h"
#include "resources/CommandIds.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStatusBar>

CMessageView::CMessageView(QWidget* parent) : MessageListWidget(parent)
{
    connect(this, &MessageListWidget::rowActivated, this, [this] { OnDoubleClick(); });
    onCommand(cmd::ClearMessages, [this] { ClearMessages(); });
    onCommand(cmd::CopyrightVersion, [this] { ShowBanner(); });
    onCommand(cmd::Tip, [this] { OnTip(); });
}

CMessageView::~CMessageView()
{
    leaveMessageChannel();
}

void CMessageView::leaveMessageChannel()
{
    if (m_channel && m_channel->sink() == this)
        m_channel->setSink(nullptr);
    m_channel = nullptr;
}

void CMessageView::installAsMessageSink(MessageChannel& channel)
{
    m_channel = &channel;
    channel.setSink(this);
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

void CMessageView::SetRowDirectory(const QString& directory)
{
    setRowDirectory(directory.isEmpty() ? currentDirectory() : directory);
}

QString CMessageView::rowFile(int row, const QString& fileName) const
{
    if (fileName.isEmpty() || QDir::isAbsolutePath(fileName))
        return fileName;
    QString folder = rowDirectory(row);
    if (folder.isEmpty())
        folder = currentDirectory();
    return QDir::cleanPath(QDir(folder).filePath(fileName));
}

QString CMessageView::currentDirectory() const
{
    if (m_currentDirectory)
        return m_currentDirectory();
    QString folder = QDir::currentPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void CMessageView::ShowStatus(const QString& text)
{
    if (fw::MdiMainFrame* main = mainFrame())
        main->showLastingStatus(text, 10000);
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
    std::optional<DiagnosticLocation> location = parseDiagnostic(rowText(row));
    if (!location)
        return;
    location->fileName = rowFile(row, location->fileName);
    fw::Application* app = application();
    if (!app)
        return;
    // Only a source window can show the line: a diagnostic naming a file of
    // another type (a project) is reported and nothing is opened.
    const fw::DocTemplate* type = app->templateFor(location->fileName);
    if (type && type->resourceId() != menu::Source) {
        fw::messageBox(this, QStringLiteral("Cannot show line %1 of \"%2\": it is not a source file.")
                                 .arg(location->line)
                                 .arg(QDir::toNativeSeparators(location->fileName)));
        return;
    }
    // The framework reports a file that cannot be opened; the rows stay.
    fw::Document* document = app->openDocumentFile(location->fileName);
    if (!document)
        return;
    // Line 0 (two colons with no digits between) puts the caret at the start.
    auto* lines = dynamic_cast<LineSelectable*>(document->firstView());
    if (!lines)
        return;
    if (rowIcon(row) == IconMatch)
        lines->selectReportedMatch(location->line, m_searchedFor);
    else
        lines->selectReportedLine(location->line);
}

bool CMessageView::StepToDiagnostic(int step)
{
    const int count = rowCount();
    int row = selectedRow();
    if (row < 0)
        row = step > 0 ? -1 : count;
    // A double click follows exactly the rows classified as diagnostics
    // (parseDiagnostic accepts what isDiagnosticLine accepts) and Find in
    // Files' matches, so the icon finds them without decoding every row of
    // a long log. Of those, only
    // a row that names a real place is a stop: not g++'s context rows
    // ("a.cpp: In member function 'void A::f()':") nor make's
    // ("make: *** [Makefile:2: all] Error 1"), which would open half a
    // message as a file name.
    QHash<QString, bool> isFile;
    auto namesAPlace = [&](int r) {
        const std::optional<DiagnosticLocation> location = parseDiagnostic(rowText(r));
        if (!location || location->line <= 0)
            return false;
        const QString file = rowFile(r, location->fileName);
        auto known = isFile.constFind(file);
        if (known == isFile.constEnd())
            known = isFile.insert(file, QFileInfo(file).isFile());
        return *known;
    };
    for (row += step; row >= 0 && row < count; row += step) {
        const int icon = rowIcon(row);
        if ((icon == IconDiagnostic || icon == IconMatch) && namesAPlace(row))
            break;
    }
    if (row < 0 || row >= count)
        return false;
    setSelectedRow(row);
    ensureVisible(row);
    OnDoubleClick();
    return true;
}

void CMessageView::OnContextMenu(const QPoint& globalPos)
{
    if (fw::MdiChildFrame* frame = parentFrame())
        frame->activate();
    if (fw::MdiMainFrame* main = mainFrame())
        main->trackContextMenu(menu::MessageContext, globalPos);
}

void CMessageView::contextMenuEvent(QContextMenuEvent* event)
{
    OnContextMenu(event->globalPos());
    event->accept();
}
