#include "debugger/ProjectTarget.h"

#include "project/BuildSteps.h"
#include "tools/PathBytes.h"

bool ProjectOutputIsCurrent(const BuildJob& job)
{
    const std::optional<qint64> programTime = ModificationTimeNs(LinkedOutputPath(job));
    if (!programTime || job.sources.isEmpty())
        return false;
    for (const QString& source : job.sources) {
        if (!HasObjectName(source))
            return false;
        const QString object = SourceObject(source);
        if (!ObjectIsCurrent(source, object))
            return false;
        const std::optional<qint64> objectTime = ModificationTimeNs(object);
        if (!objectTime || *objectTime > *programTime)
            return false;
    }
    return true;
}
