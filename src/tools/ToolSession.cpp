#include "tools/ToolSession.h"

#include <QDir>

namespace {

QString withSeparator(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace

ToolSession::ToolSession() : m_jobs(m_messages) {}

QString ToolSession::directory() const
{
    return m_directory.isEmpty() ? withSeparator(QDir::currentPath()) : m_directory;
}

void ToolSession::setDirectory(const QString& directory)
{
    m_directory = directory.isEmpty()
                      ? QString()
                      : withSeparator(QDir::cleanPath(QDir(this->directory()).absoluteFilePath(directory)));
}
