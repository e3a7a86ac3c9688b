#include "project/ProjectTreeLayout.h"

#include "tools/PathNames.h"

#include <QSet>

ProjectTreeLayout LayOutProjectTree(const QStringList& sources, const ProjectFileScan& definitions,
                                    const ProjectFileScan& quotedIncludes)
{
    ProjectTreeLayout layout;
    for (const QString& source : sources) {
        layout.sources.append({source, {}});
        std::optional<QStringList> names = definitions(source);
        if (!names) {
            layout.unreadable = source;
            return layout;
        }
        layout.sources.last().functions = std::move(*names);
    }
    if (sources.isEmpty())
        return layout;

    layout.hasDependenciesNode = true;
    // A source may include the same header thousands of times; the set
    // keeps the distinctness test cheap.
    QSet<QString> seen;
    for (const QString& source : sources) {
        const std::optional<QStringList> names = quotedIncludes(source);
        if (!names) {
            layout.unreadable = source;
            return layout;
        }
        const QString directory = DirectoryOf(source);
        for (const QString& name : *names) {
            QString text = directory + name;
            if (!seen.contains(text)) {
                seen.insert(text);
                layout.dependencies.append(std::move(text));
            }
        }
    }
    return layout;
}
