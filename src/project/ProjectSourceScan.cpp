#include "project/ProjectSourceScan.h"

#include "editor/SourceScanner.h"

#include "tools/PathBytes.h"

std::optional<QStringList> ScanFunctionNames(const QString& path)
{
    const std::optional<QByteArray> bytes = readSourceFile(path);
    if (!bytes)
        return std::nullopt;
    QStringList names;
    for (const ScannedDefinition& definition : ScanDefinitions(*bytes))
        names.append(QString::fromUtf8(definition.name));
    return names;
}

std::optional<QStringList> ScanQuotedIncludeNames(const QString& path)
{
    const std::optional<QByteArray> bytes = readSourceFile(path);
    if (!bytes)
        return std::nullopt;
    QStringList names;
    // The names become paths: the bytes of the file-name encoding.
    for (const QByteArray& name : ScanQuotedIncludes(*bytes))
        names.append(PathFromBytes(name));
    return names;
}

std::optional<QList<int>> ScanDefinitionLines(const QString& path)
{
    const std::optional<QByteArray> bytes = readSourceFile(path);
    if (!bytes)
        return std::nullopt;
    QList<int> lines;
    for (const ScannedDefinition& definition : ScanDefinitions(*bytes)) {
        if (lines.size() == kMaxBrowsedDefinitions)
            break;
        lines.append(definition.line);
    }
    return lines;
}
