#pragma once

#include "framework/CommandTarget.h"

#include <QList>
#include <QObject>
#include <QString>

namespace fw {

class DocTemplate;
class MdiChildFrame;
class View;

// A document owns its file: path, title, modified flag, load and save, and
// the question whether to save changes before its last window closes.
class Document : public QObject, public CommandTarget {
    Q_OBJECT
public:
    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    const QString& pathName() const { return m_pathName; }
    // Sets the path and the title (the file name); adds it to the recent
    // files unless told otherwise.
    void setPathName(const QString& path, bool addToRecent = true);
    const QString& title() const { return m_title; }
    void setTitle(const QString& title);
    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    DocTemplate* docTemplate() const { return m_template; }
    const QList<View*>& views() const { return m_views; }
    View* firstView() const { return m_views.isEmpty() ? nullptr : m_views.first(); }
    void addView(View* view);
    void removeView(View* view);

    // A new untitled document. The default only resets the state.
    virtual bool onNewDocument();
    // Loads the file; on failure reports it (through Prompts) and returns
    // false, leaving no half-loaded state behind.
    virtual bool onOpenDocument(const QString& path);
    // Saves to the path; on failure reports it and returns false.
    virtual bool onSaveDocument(const QString& path);

    // Save: to the current path, or through Save As when there is none.
    bool doFileSave();
    // Saves under path; an empty path or replace asks for a name first.
    bool doSave(const QString& path, bool replace = true);
    // Asks whether to save a modified document: Yes saves (false when the
    // save fails), No discards, Cancel returns false.
    virtual bool saveModified();
    // Whether the frame may close: it may if another frame shows this
    // document or the changes were saved or discarded.
    virtual bool canCloseFrame(MdiChildFrame* frame);
    // Writes the document's bytes to another file (a recovery copy): its
    // path, title and modified flag stay as they are. False with a
    // sentence in *error when the copy could not be written.
    bool writeCopy(const QString& path, QString* error) { return writeFile(path, error); }
    // Whether the document takes part in the save question at all.
    virtual bool asksToSave() const { return true; }

signals:
    void titleChanged(const QString& title);
    void modifiedChanged(bool modified);

protected:
    // Reads or writes the file itself. error receives a sentence for the user.
    virtual bool readFile(const QString& path, QString* error);
    virtual bool writeFile(const QString& path, QString* error);
    // Default extension (without dot) offered by the Save As dialog.
    virtual QString defaultSuffix() const;

private:
    friend class DocTemplate;
    QString m_pathName;
    QString m_title;
    bool m_modified = false;
    DocTemplate* m_template = nullptr;
    QList<View*> m_views;
};

} // namespace fw
