#include "project/TouchFile.h"

#include <QDateTime>
#include <QFile>

bool TouchFileTimes(const QString& path)
{
    if (path.isEmpty())
        return false;
    // Opened for reading only: opening never creates the file, and setting
    // the times of an open file needs no write permission on its bytes.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const bool accessed = file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileAccessTime);
    const bool modified =
        file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return accessed && modified;
}
