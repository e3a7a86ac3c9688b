#include "project/ProjectTreeLayout.h"

#include "tools/PathNames.h"

QStringList ProjectDependencies::add(const QString& source, const QStringList& quotedIncludeNames)
{
    QStringList added;
    const QString directory = DirectoryOf(source);
    for (const QString& name : quotedIncludeNames) {
        QString text = directory + name;
        if (!m_seen.contains(text)) {
            m_seen.insert(text);
            added.append(std::move(text));
        }
    }
    return added;
}
