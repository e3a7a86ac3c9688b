#include "debugger/SourceProgram.h"

#include "tools/PathBytes.h"
#include "tools/PathNames.h"

#include <optional>

#include <unistd.h>

namespace {

// A regular file this user may execute (a folder, a device or a file
// without the execute bit is no program to debug).
bool isExecutableFile(const QString& path)
{
    if (FileTypeOf(path) != FileType::Regular)
        return false;
    return ::access(PathToBytes(path).constData(), X_OK) == 0;
}

} // namespace

QStringList SourceProgramCandidates(const QString& sourcePath)
{
    const QString folder = DirectoryOf(sourcePath);
    const QString name = FileNameOf(sourcePath);
    QStringList names{DefaultExecutableName(sourcePath)};
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot > 0)
        names.append(folder + name.left(dot));
    names.append(folder + QStringLiteral("a.out"));
    names.removeAll(sourcePath);
    names.removeDuplicates();
    return names;
}

SourceProgram FindSourceProgram(const QString& sourcePath)
{
    SourceProgram found;
    found.lookedFor = SourceProgramCandidates(sourcePath);
    std::optional<qint64> newest;
    for (const QString& candidate : found.lookedFor) {
        if (!isExecutableFile(candidate))
            continue;
        const std::optional<qint64> time = ModificationTimeNs(candidate);
        if (!time)
            continue;
        if (!newest || *time > *newest) {
            newest = time;
            found.program = candidate;
        }
    }
    if (newest) {
        const std::optional<qint64> sourceTime = ModificationTimeNs(sourcePath);
        found.olderThanSource = sourceTime && *newest < *sourceTime;
    }
    return found;
}
