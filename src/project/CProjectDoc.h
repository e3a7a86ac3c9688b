#pragma once

#include "framework/Document.h"

#include <QByteArray>

// The document of a project window. Until the project file codec exists the
// document keeps the file's bytes as they are, so a save writes back exactly
// what was read.
class CProjectDoc : public fw::Document {
    Q_OBJECT
public:
    CProjectDoc();

    const QByteArray& fileBytes() const { return m_bytes; }

    // A new project: no sources, no libraries, every option 0 but the debug
    // information, which follows the "Debug Default" setting.
    bool onNewDocument() override;
    // The project file of such a new project.
    static QByteArray emptyProjectFile(int debugInfo);

protected:
    bool readFile(const QString& path, QString* error) override;
    bool writeFile(const QString& path, QString* error) override;

private:
    QByteArray m_bytes;
};
