#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace fw {

class Application;
class Document;
class MdiChildFrame;
class View;

// A document type: its resource id (naming its menu bar), its document
// string and the factories of its document, view and frame.
class DocTemplate {
public:
    // The seven newline-separated fields of a document string.
    enum Field { WindowTitle, DocName, FileNewName, FilterName, FilterExt, RegFileTypeId, RegFileTypeName };
    enum class Match { No, MaybeForeign, Yes, AlreadyOpen };

    struct Factories {
        std::function<Document*()> document;
        // Creates the frame with its view for a document (not yet shown).
        std::function<MdiChildFrame*(Document*)> frame;
    };

    DocTemplate(int resourceId, const QString& docString, Factories factories);
    ~DocTemplate();

    int resourceId() const { return m_resourceId; }
    QString docString(Field field) const;
    // "Project Files (*.tarn)" for a file dialog; empty without a filter.
    QString filterString() const;

    // Yes when the path ends in this type's extension (case ignored),
    // MaybeForeign for a type that has a filter but another extension, No
    // for a type without one; AlreadyOpen (and *open set) when a document of
    // this type shows that very path.
    Match matchDocType(const QString& absolutePath, Document** open) const;

    // An empty path makes a new untitled document. Returns the document,
    // or nullptr when it could not be created or read (already reported).
    Document* openDocumentFile(const QString& path, bool makeVisible = true);
    MdiChildFrame* createNewFrame(Document* document);
    void initialUpdateFrame(MdiChildFrame* frame, Document* document, bool makeVisible = true);

    const QList<Document*>& documents() const { return m_documents; }
    void removeDocument(Document* document);

    // The application the type is registered with (set when it is added);
    // nullptr for a type used alone.
    Application* application() const { return m_application; }
    void setApplication(Application* application) { m_application = application; }

private:
    Application* m_application = nullptr;
    int m_resourceId;
    QStringList m_fields;
    Factories m_factories;
    QList<Document*> m_documents;
    int m_untitledCount = 0;
};

} // namespace fw
