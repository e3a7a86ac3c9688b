#include "project/CProjectDoc.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

CProjectDoc::CProjectDoc() = default;

bool CProjectDoc::readFile(const QString& path, QString* error)
{
    if (QFileInfo(path).isDir()) {
        *error = QStringLiteral("It is a folder, not a project file.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    m_bytes = file.readAll();
    return true;
}

bool CProjectDoc::writeFile(const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_bytes) != m_bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
