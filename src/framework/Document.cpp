#include "framework/Document.h"

#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/FileNameBytes.h"
#include "framework/MdiChildFrame.h"
#include "framework/Prompts.h"
#include "framework/RecentFileList.h"
#include "framework/StandardIds.h"
#include "framework/View.h"

#include <QDir>
#include <QFileInfo>

namespace fw {

Document::Document(QObject* parent) : QObject(parent)
{
    onCommand(id::FileSave, [this] { doFileSave(); });
    onCommand(id::FileSaveAs, [this] { doSave(QString(), true); });
}

Document::~Document()
{
    for (View* view : std::as_const(m_views))
        view->m_document = nullptr;
    if (m_template)
        m_template->removeDocument(this);
}

void Document::setPathName(const QString& path, bool addToRecent)
{
    m_pathName = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // (A byte of the name that is not UTF-8 shows as U+FFFD.)
    setTitle(fileNameForDisplay(QFileInfo(m_pathName).fileName()));
    if (Application* app = m_template ? m_template->application() : nullptr; addToRecent && app)
        app->recentFiles().add(m_pathName);
}

void Document::setTitle(const QString& title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(m_title);
}

void Document::setModified(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    emit modifiedChanged(m_modified);
}

void Document::addView(View* view)
{
    if (!view || m_views.contains(view))
        return;
    if (view->m_document)
        view->m_document->removeView(view);
    m_views.append(view);
    view->m_document = this;
}

void Document::removeView(View* view)
{
    if (!m_views.removeOne(view))
        return;
    view->m_document = nullptr;
    if (m_views.isEmpty()) {
        // Gone from its type at once, so opening the same file again before
        // the deferred delete runs makes a new window.
        if (m_template) {
            m_template->removeDocument(this);
            m_template = nullptr;
        }
        deleteLater();
    }
}

bool Document::onNewDocument()
{
    m_pathName.clear();
    setModified(false);
    return true;
}

bool Document::onOpenDocument(const QString& path)
{
    QString error;
    if (!readFile(path, &error)) {
        messageBox(nullptr,
                   QStringLiteral("Cannot open the file \"%1\".\n%2")
                       .arg(fileNameForDisplay(QDir::toNativeSeparators(path)), error),
                   Prompts::Icon::Error);
        return false;
    }
    setModified(false);
    return true;
}

bool Document::onSaveDocument(const QString& path)
{
    QString error;
    if (!writeFile(path, &error)) {
        messageBox(nullptr,
                   QStringLiteral("Cannot save the file \"%1\".\n%2\nThe file on disk was not changed.")
                       .arg(fileNameForDisplay(QDir::toNativeSeparators(path)), error),
                   Prompts::Icon::Error);
        return false;
    }
    setModified(false);
    return true;
}

bool Document::doFileSave()
{
    return doSave(m_pathName, m_pathName.isEmpty());
}

bool Document::doSave(const QString& path, bool replace)
{
    QString target = path;
    if (target.isEmpty() || replace) {
        Prompts::FileDialog dialog;
        dialog.caption = QStringLiteral("Save As");
        dialog.fileName = m_pathName.isEmpty() ? m_title : m_pathName;
        dialog.defaultSuffix = defaultSuffix();
        if (m_template) {
            const QString filter = m_template->filterString();
            if (!filter.isEmpty())
                dialog.filters << filter;
        }
        dialog.filters << QStringLiteral("All Files (*)");
        target = Prompts::current().saveFileName(nullptr, dialog);
        if (target.isEmpty())
            return false;
    }
    if (!onSaveDocument(target))
        return false;
    if (replace || m_pathName.isEmpty())
        setPathName(target);
    return true;
}

bool Document::saveModified()
{
    if (!m_modified || !asksToSave())
        return true;
    const QString name = m_pathName.isEmpty() ? m_title : fileNameForDisplay(QDir::toNativeSeparators(m_pathName));
    switch (Prompts::current().message(nullptr, QStringLiteral("Save changes to %1?").arg(name),
                                       Prompts::Buttons::YesNoCancel, Prompts::Icon::Question)) {
    case Prompts::Answer::Yes: return doFileSave();
    case Prompts::Answer::No: return true;
    default: return false;
    }
}

bool Document::canCloseFrame(MdiChildFrame* frame)
{
    for (View* view : std::as_const(m_views)) {
        if (view->parentFrame() && view->parentFrame() != frame)
            return true;
    }
    return saveModified();
}

bool Document::readFile(const QString&, QString* error)
{
    if (error)
        *error = QStringLiteral("This kind of document cannot be read from a file.");
    return false;
}

bool Document::writeFile(const QString&, QString* error)
{
    if (error)
        *error = QStringLiteral("This kind of document cannot be written to a file.");
    return false;
}

QString Document::defaultSuffix() const
{
    if (!m_template)
        return {};
    QString ext = m_template->docString(DocTemplate::FilterExt);
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return ext;
}

} // namespace fw
