#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Insert Folder's patterns when the user has typed none yet.
inline const QString kDefaultFolderPatterns = QStringLiteral("*.c *.cpp *.cc *.cxx");

// The files a folder tree offers a project.
struct FolderSources {
    // Paths as Tarn holds them (PathBytes.h), in name order folder by
    // folder (a folder's files and subfolders sorted together by bytes).
    QStringList files;
    qint64 unreadableFolders = 0;
    bool folderMissing = false;
    // More than `limit` files fit: the rest were not looked for.
    bool cut = false;
};

// Walks the tree under `folder` for the regular files whose names fit the
// patterns (search/FindMatcher.h; none: every file). A link to a file is
// taken; a link to a folder is not entered, so a link loop ends nothing.
// Folders that cannot be read are counted and passed over. At most `limit`
// files are gathered.
FolderSources FindFolderSources(const QString& folder, const QList<QByteArray>& patterns, qsizetype limit);

// What inserting `found` into a project that lists `sources` does: the
// files not listed yet, in order, as many as the capacity leaves room for
// (`added`), and how many of the new files did not fit (`left`).
struct FolderInsertion {
    QStringList added;
    qsizetype alreadyListed = 0;
    qsizetype left = 0;
};
FolderInsertion PlanFolderInsertion(const QStringList& sources, const QStringList& found, qsizetype capacity);
