#include "framework/DocTemplate.h"

#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/View.h"

#include <QDir>
#include <QFileInfo>

namespace fw {

DocTemplate::DocTemplate(int resourceId, const QString& docString, Factories factories)
    : m_resourceId(resourceId), m_fields(docString.split(QLatin1Char('\n'))),
      m_factories(std::move(factories))
{
    while (m_fields.size() < 7)
        m_fields.append(QString());
}

DocTemplate::~DocTemplate()
{
    for (Document* document : std::as_const(m_documents))
        document->m_template = nullptr;
}

QString DocTemplate::docString(Field field) const
{
    return m_fields.value(field);
}

QString DocTemplate::filterString() const
{
    const QString name = docString(FilterName);
    const QString ext = docString(FilterExt);
    if (name.isEmpty() || ext.isEmpty())
        return {};
    // The filter name usually carries the pattern already ("Project Files (*.tarn)").
    if (name.contains(QLatin1Char('*')))
        return name;
    return QStringLiteral("%1 (*%2)").arg(name, ext);
}

DocTemplate::Match DocTemplate::matchDocType(const QString& absolutePath, Document** open) const
{
    for (Document* document : m_documents) {
        if (!document->pathName().isEmpty() && document->pathName() == absolutePath) {
            if (open)
                *open = document;
            return Match::AlreadyOpen;
        }
    }
    const QString ext = docString(FilterExt);
    if (ext.isEmpty())
        return docString(FileNewName).isEmpty() ? Match::No : Match::MaybeForeign;
    if (absolutePath.endsWith(ext, Qt::CaseInsensitive))
        return Match::Yes;
    return Match::MaybeForeign;
}

Document* DocTemplate::openDocumentFile(const QString& path, bool makeVisible)
{
    Document* document = m_factories.document ? m_factories.document() : nullptr;
    if (!document)
        return nullptr;
    document->m_template = this;
    m_documents.append(document);

    bool ok = false;
    if (path.isEmpty()) {
        ok = document->onNewDocument();
        if (ok) {
            QString title = docString(DocName);
            if (title.isEmpty())
                title = docString(WindowTitle);
            if (title.isEmpty())
                title = QStringLiteral("Untitled");
            // Untitled documents are numbered the way users expect: Untitled1, Untitled2...
            if (!docString(FileNewName).isEmpty())
                title += QString::number(++m_untitledCount);
            document->setTitle(title);
        }
    } else {
        // Read before any window exists, so a file that cannot be read leaves
        // nothing half-made behind.
        ok = document->onOpenDocument(path);
        if (ok)
            document->setPathName(path);
    }
    if (!ok) {
        delete document;
        return nullptr;
    }

    MdiChildFrame* frame = createNewFrame(document);
    if (!frame) {
        delete document;
        return nullptr;
    }
    initialUpdateFrame(frame, document, makeVisible);
    return document;
}

MdiChildFrame* DocTemplate::createNewFrame(Document* document)
{
    if (!m_factories.frame)
        return nullptr;
    return m_factories.frame(document);
}

void DocTemplate::initialUpdateFrame(MdiChildFrame* frame, Document* document, bool makeVisible)
{
    frame->initialUpdate(makeVisible);
    Q_UNUSED(document);
}

void DocTemplate::removeDocument(Document* document)
{
    m_documents.removeOne(document);
}

} // namespace fw
