#include "project/CProjectDoc.h"

#include "project/ProjectFileCodec.h"

#include <QFileInfo>

CProjectDoc::CProjectDoc(int debugDefault) : m_debugDefault(debugDefault) {}

bool CProjectDoc::onNewDocument()
{
    if (!fw::Document::onNewDocument())
        return false;
    m_project = NewProjectFile(m_debugDefault);
    return true;
}

bool CProjectDoc::readFile(const QString& path, QString* error)
{
    // Decoded whole before the record changes: a bad file loads nothing.
    std::optional<ProjectFile> loaded = LoadProjectFile(path, error);
    if (!loaded)
        return false;
    m_project = std::move(*loaded);
    emit projectUpdated();
    return true;
}

bool CProjectDoc::writeFile(const QString& path, QString* error)
{
    const bool newAndEmpty = pathName().isEmpty() && m_project.sources.isEmpty();
    if (!SaveProjectFile(path, m_project, error))
        return false;
    emit projectUpdated();
    if (newAndEmpty)
        emit savedNewAndEmpty(QFileInfo(path).absolutePath());
    return true;
}
