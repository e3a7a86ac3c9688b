#include "tools/ToolDirectory.h"

#include <QDir>

#include <mutex>

namespace {
std::mutex g_mutex;
QString g_directory; // empty: follow the process's current directory

QString withSeparator(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}
} // namespace

QString toolDirectory()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_directory.isEmpty() ? withSeparator(QDir::currentPath()) : g_directory;
}

void setToolDirectory(const QString& directory)
{
    const QString base = toolDirectory();
    std::lock_guard<std::mutex> lock(g_mutex);
    g_directory = directory.isEmpty() ? QString()
                                      : withSeparator(QDir::cleanPath(QDir(base).absoluteFilePath(directory)));
}

