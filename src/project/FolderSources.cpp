#include "project/FolderSources.h"

#include "search/FindMatcher.h"
#include "tools/FolderEntries.h"
#include "tools/PathBytes.h"

#include <QSet>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

class FolderWalk {
public:
    FolderWalk(const QList<QByteArray>& patterns, qsizetype limit) : m_patterns(patterns), m_limit(limit) {}

    void walk(const std::string& folder)
    {
        std::vector<FolderEntry> entries;
        if (!ListFolder(folder, entries))
            ++result.unreadableFolders;
        for (const auto& [name, type] : entries) {
            if (result.cut)
                return;
            const std::string path = folder == "/" ? "/" + name : folder + '/' + name;
            if (type == fs::file_type::directory) {
                walk(path);
                continue;
            }
            if (!MatchesFilePatterns(QByteArrayView(name), m_patterns))
                continue;
            std::error_code statError;
            // A link counts when it leads to a regular file.
            const bool regular = type == fs::file_type::regular ||
                                 (type == fs::file_type::symlink && fs::is_regular_file(fs::path(path), statError));
            if (!regular)
                continue;
            if (result.files.size() == m_limit) {
                result.cut = true;
                return;
            }
            result.files.append(PathFromBytes(QByteArrayView(path.data(), qsizetype(path.size()))));
        }
    }

    FolderSources result;

private:
    const QList<QByteArray>& m_patterns;
    qsizetype m_limit;
};

} // namespace

FolderSources FindFolderSources(const QString& folder, const QList<QByteArray>& patterns, qsizetype limit)
{
    FolderWalk walk(patterns, limit);
    QByteArray root = PathToBytes(folder);
    while (root.size() > 1 && root.endsWith('/'))
        root.chop(1);
    std::error_code error;
    if (root.isEmpty() || !fs::is_directory(fs::path(root.toStdString()), error)) {
        walk.result.folderMissing = true;
        return walk.result;
    }
    walk.walk(root.toStdString());
    return walk.result;
}

FolderInsertion PlanFolderInsertion(const QStringList& sources, const QStringList& found, qsizetype capacity)
{
    FolderInsertion plan;
    QSet<QString> listed(sources.begin(), sources.end());
    qsizetype room = std::max<qsizetype>(0, capacity - sources.size());
    for (const QString& file : found) {
        // Identity is the whole path text, letter case included.
        if (listed.contains(file)) {
            ++plan.alreadyListed;
            continue;
        }
        listed.insert(file);
        if (room == 0) {
            ++plan.left;
            continue;
        }
        plan.added.append(file);
        --room;
    }
    return plan;
}
