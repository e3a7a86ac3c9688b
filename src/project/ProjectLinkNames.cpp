#include "project/ProjectLinkNames.h"

#include "tools/PathNames.h"

QString LinkDialogOutputName(const QString& outputName)
{
    // A file name without a '.' is a Linux program's ("~/src/lua/lua"):
    // shown and kept as it is, never "luaexe".
    if (!FileNameOf(outputName).contains(QLatin1Char('.')))
        return outputName;
    if (outputName.size() > 3 && outputName.right(3).compare(QLatin1String("exe"), Qt::CaseInsensitive) != 0)
        return DefaultExecutableName(outputName);
    return outputName;
}

QString LibraryEntryOfFile(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : fileName.mid(dot + 1);
    const int tail = extension.compare(QLatin1String("a"), Qt::CaseInsensitive) == 0 ? 2 : 3;
    // Names too short for the rule give an empty entry rather than a
    // negative cut.
    QString name = fileName.chopped(std::min<qsizetype>(tail, fileName.size()));
    return name.mid(std::min<qsizetype>(3, name.size()));
}
