#include "tools/PathNames.h"

namespace {

qsizetype lastSeparator(const QString& path)
{
    return path.lastIndexOf(u'/');
}

} // namespace

QString DirectoryOf(const QString& path)
{
    return path.left(lastSeparator(path) + 1);
}

QString FileNameOf(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString DefaultExecutableName(const QString& path)
{
    // Only a '.' in the file name starts an extension: "/home/a.b/prog" is
    // "/home/a.b/progexe", never "/home/a.exe".
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= lastSeparator(path))
        return path + QStringLiteral("exe");
    return path.left(dot + 1) + QStringLiteral("exe");
}

bool IsCppSource(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    const QString ext = path.mid(dot);
    for (const char* known : {".cpp", ".cc", ".cxx"}) {
        if (ext.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString ObjectFileName(const QString& source, const QString& directory)
{
    const QString name = FileNameOf(source);
    const qsizetype dot = name.lastIndexOf(u'.');
    return directory + (dot < 0 ? name : name.left(dot + 1)) + u'o';
}
