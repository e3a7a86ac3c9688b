#include "framework/Application.h"

#include "framework/DocTemplate.h"
#include "framework/FileNameBytes.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/Prompts.h"
#include "framework/StandardIds.h"
#include "framework/View.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>

namespace fw {

Application::Application(const QString& registryKey, const QString& appName, int recentFileCount)
    : m_recentFiles(registryKey, appName, recentFileCount)
{
    m_recentFiles.load();
    onCommand(id::FileOpen, [this] { onFileOpen(); });
    for (int i = 0; i < recentFileCount; ++i) {
        const int id = id::FileMruFirst + i;
        onCommand(id, [this, i] {
            if (i < m_recentFiles.files().size()) {
                const QString path = m_recentFiles.files().at(i);
                if (!openDocumentFile(path))
                    m_recentFiles.remove(path);
            }
        });
        onUpdateEnabled(id, [this, i] { return i < m_recentFiles.files().size(); });
    }
    onCommand(id::AppExit, [this] {
        if (m_mainFrame)
            m_mainFrame->close();
    });
}

Application::~Application() = default;

void Application::setMainFrame(MdiMainFrame* frame)
{
    m_mainFrame = frame;
    if (frame)
        frame->setApplication(this);
}

void Application::addDocTemplate(std::unique_ptr<DocTemplate> docTemplate)
{
    docTemplate->setApplication(this);
    m_templates.push_back(std::move(docTemplate));
}

DocTemplate* Application::templateFor(const QString& path, Document** open) const
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (open)
        *open = nullptr;
    DocTemplate* best = nullptr;
    DocTemplate::Match bestMatch = DocTemplate::Match::No;
    for (const auto& docTemplate : m_templates) {
        Document* document = nullptr;
        const DocTemplate::Match match = docTemplate->matchDocType(absolute, &document);
        if (match == DocTemplate::Match::AlreadyOpen) {
            if (open)
                *open = document;
            return docTemplate.get();
        }
        if (match > bestMatch) {
            bestMatch = match;
            best = docTemplate.get();
        }
    }
    return best;
}

Document* Application::openDocumentFile(const QString& path)
{
    if (path.isEmpty())
        return nullptr;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    Document* open = nullptr;
    DocTemplate* best = templateFor(absolute, &open);
    if (open) {
        if (View* view = open->firstView(); view && view->parentFrame())
            view->parentFrame()->activate();
        return open;
    }
    if (!best) {
        messageBox(nullptr,
                   QStringLiteral("Cannot open the file \"%1\": no document type can show it.")
                       .arg(fileNameForDisplay(QDir::toNativeSeparators(absolute))),
                   Prompts::Icon::Error);
        return nullptr;
    }
    return best->openDocumentFile(absolute);
}

void Application::onFileOpen()
{
    Prompts::FileDialog dialog;
    dialog.caption = QStringLiteral("Open");
    dialog.directory = QDir::currentPath();
    dialog.filters << QStringLiteral("All Files (*)");
    for (const auto& docTemplate : m_templates) {
        const QString filter = docTemplate->filterString();
        if (!filter.isEmpty())
            dialog.filters << filter;
    }
    const QString path = Prompts::current().openFileName(m_mainFrame, dialog);
    if (!path.isEmpty())
        openDocumentFile(path);
}

bool Application::saveAllModified()
{
    for (const auto& docTemplate : m_templates) {
        const QList<Document*> documents = docTemplate->documents();
        for (Document* document : documents) {
            if (!document->saveModified())
                return false;
        }
    }
    return true;
}

void Application::closeAllDocuments()
{
    if (!m_mainFrame)
        return;
    for (MdiChildFrame* frame : m_mainFrame->childFrames()) {
        frame->allowClose();
        frame->close();
    }
}

} // namespace fw
