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

protected:
    bool readFile(const QString& path, QString* error) override;
    bool writeFile(const QString& path, QString* error) override;

private:
    QByteArray m_bytes;
};
