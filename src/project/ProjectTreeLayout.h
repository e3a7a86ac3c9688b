#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// What the project window's tree shows, worked out from the sources on disk
// (on a worker, one source at a time, in project order) before its nodes
// are made:
//
//   /src/main.c            one node per source, in project order
//     main                 its function definitions, in scan order
//     helper
//   /src/util.c
//     util
//   Dependancies           last, only when there are sources
//     /src/defs.h          DirectoryOf(source) + each quoted include name,
//                          distinct, in order of first appearance
//
// A source that cannot be opened ends the tree with its own node, without
// children: later sources and the "Dependancies" node are missing, and the
// user is told.

inline const QString kDependenciesNodeText = QStringLiteral("Dependancies");

// One source's part of the tree.
struct ProjectTreeSource {
    QString path;
    // False when the file could not be opened (it shows as missing).
    bool readable = false;
    // Why it could not be ("no such file", the system's reason).
    QString unreadableReason;
    QStringList functions;
    // The files under "Dependancies" that this source is the first to
    // include.
    QStringList newDependencies;
};

// Keeps the files under "Dependancies" distinct across the sources of one
// tree. A source may include the same header thousands of times; the set
// keeps the distinctness test cheap.
class ProjectDependencies {
public:
    // DirectoryOf(source) + each name, for the names not seen before, in
    // order.
    QStringList add(const QString& source, const QStringList& quotedIncludeNames);

private:
    QSet<QString> m_seen;
};
