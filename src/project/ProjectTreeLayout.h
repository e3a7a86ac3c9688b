#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What the project window's tree shows, worked out from the sources on disk
// before any node is made:
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
// A source that cannot be opened ends the layout where the rebuild meets
// it: in the first pass after that source's own node (later sources and the
// "Dependancies" node are missing), in the second pass after the includes
// found so far.

inline const QString kDependenciesNodeText = QStringLiteral("Dependancies");

struct ProjectTreeLayout {
    struct Source {
        QString path;
        QStringList functions;
    };
    QList<Source> sources;
    bool hasDependenciesNode = false;
    QStringList dependencies;
    // The source that could not be opened, when the layout ended early.
    std::optional<QString> unreadable;
};

// Reads one file and returns what the scanner reports in it (function names
// or quoted include names), or nothing when the file cannot be opened.
using ProjectFileScan = std::function<std::optional<QStringList>(const QString& path)>;

ProjectTreeLayout LayOutProjectTree(const QStringList& sources, const ProjectFileScan& definitions,
                                    const ProjectFileScan& quotedIncludes);
