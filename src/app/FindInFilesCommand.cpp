// The main window's Find in Files command: the dialog, then the search as a
// job (search/FindInFiles.h).
#include "app/CMainFrame.h"

#include "editor/CTarnDoc.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/View.h"
#include "messages/CMessageView.h"
#include "project/CProjectDoc.h"
#include "search/FindInFiles.h"
#include "search/FindInFilesDialog.h"
#include "settings/IdeContext.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <Qsci/qsciscintilla.h>

namespace {

QString folderOf(const fw::Document* document)
{
    if (!document || document->pathName().isEmpty())
        return QString();
    return QFileInfo(document->pathName()).absolutePath();
}

} // namespace

QString CMainFrame::DefaultFindFolder() const
{
    // The project window used last, else the active source's folder, else
    // Tarn's current directory.
    const QList<QMdiSubWindow*> recent = mdiArea()->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = recent.rbegin(); it != recent.rend(); ++it) {
        auto* frame = qobject_cast<fw::MdiChildFrame*>(*it);
        const auto* project = frame ? dynamic_cast<const CProjectDoc*>(frame->document()) : nullptr;
        const QString folder = folderOf(project);
        if (!folder.isEmpty())
            return folder;
    }
    const fw::Document* active = activeDocument();
    const QString folder = dynamic_cast<const CTarnDoc*>(active) ? folderOf(active) : QString();
    if (!folder.isEmpty())
        return folder;
    QString current = m_context->directory();
    if (current.size() > 1 && current.endsWith(QLatin1Char('/')))
        current.chop(1);
    return current;
}

void CMainFrame::OnFindInFiles()
{
    FindInFilesRequest initial = lastFind;
    if (!lastFindSet)
        initial.patterns = kDefaultFindPatterns;
    initial.folder = DefaultFindFolder();
    // A selection of one line in the active source is what the user looks for.
    if (auto* editor = dynamic_cast<QsciScintilla*>(activeView())) {
        const QString selected = editor->selectedText();
        if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) &&
            !selected.contains(QLatin1Char('\r')))
            initial.options.text = selected;
    }
    FindInFilesDialog dialog(initial, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    lastFind = dialog.request();
    lastFindSet = true;
    if (m_messageView)
        m_messageView->setSearchedFor(FindPattern(lastFind.options));
    StartFindInFiles(m_context->jobs(), lastFind);
    router()->requestUpdate();
}
