#include "search/FindInFiles.h"

#include "messages/MessageSink.h"
#include "tools/JobManager.h"
#include "tools/PathBytes.h"

#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Files are read in blocks of this size; a line longer than a block makes
// the held part grow until its line feed.
constexpr qsizetype kBlockBytes = 1024 * 1024;

QString counted(qint64 count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QString::fromLatin1(count == 1 ? one : many);
}

class TreeSearch {
public:
    TreeSearch(const FindInFilesRequest& request, const LineMatcher& matcher,
               const std::atomic<bool>& cancel, MessageBatcher& batch)
        : m_patterns(SplitFilePatterns(request.patterns)), m_matcher(matcher), m_cancel(cancel),
          m_batch(batch), m_folder(request.folder)
    {}

    void walk(const std::string& folder, const std::string& relative)
    {
        std::error_code error;
        fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied,
                                  error);
        if (error) {
            ++summary.unreadableFolders;
            return;
        }
        // Name order, so a search gives the same rows every time. The type
        // is the entry's own (a link is a link), mostly known without a
        // system call.
        std::vector<std::pair<std::string, fs::file_type>> entries;
        for (; it != fs::directory_iterator(); it.increment(error)) {
            if (error)
                break;
            std::error_code typeError;
            entries.emplace_back(it->path().filename().native(),
                                 it->symlink_status(typeError).type());
        }
        if (error)
            ++summary.unreadableFolders;
        std::sort(entries.begin(), entries.end());
        for (const auto& [name, type] : entries) {
            if (m_cancel.load()) {
                summary.cancelled = true;
                return;
            }
            const std::string path = folder + '/' + name;
            const std::string shown = relative.empty() ? name : relative + '/' + name;
            if (type == fs::file_type::directory)
                walk(path, shown);
            else if (type == fs::file_type::regular &&
                     MatchesFilePatterns(QByteArrayView(name), m_patterns))
                searchFile(path, shown);
            if (summary.cancelled)
                return;
        }
    }

    FindSummary summary;

private:
    void searchFile(const std::string& path, const std::string& shown)
    {
        const QByteArrayView shownBytes(shown);
        qint64 matches = 0;
        const FileSearch result =
            SearchFile(QByteArray::fromStdString(path), m_matcher, m_cancel,
                       [&](qint64 line, QByteArrayView text) {
                           ++matches;
                           m_batch.addStreamRows(FindRow(shownBytes, line, text), false, m_folder);
                       });
        switch (result) {
        case FileSearch::Binary:
            ++summary.binaryFiles;
            break;
        case FileSearch::Unreadable:
            ++summary.unreadableFiles;
            break;
        case FileSearch::Cancelled:
            summary.cancelled = true;
            break;
        case FileSearch::Searched:
            ++summary.filesSearched;
            break;
        }
        summary.matches += matches;
        if (matches > 0)
            ++summary.filesWithMatches;
        m_batch.postIfDue();
    }

    QList<QByteArray> m_patterns;
    const LineMatcher& m_matcher;
    const std::atomic<bool>& m_cancel;
    MessageBatcher& m_batch;
    QString m_folder;
};

} // namespace

FileSearch SearchFile(const QByteArray& path, const LineMatcher& matcher,
                      const std::atomic<bool>& cancel,
                      const std::function<void(qint64, QByteArrayView)>& hit)
{
    // O_NONBLOCK: a name that became a FIFO since the walk saw it must not
    // wait for a writer before the check below refuses it.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return FileSearch::Unreadable;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return FileSearch::Unreadable;

    QByteArray held; // the start of a line whose end is not read yet
    held.reserve(kBlockBytes * 2);
    qint64 line = 1;
    bool probed = false;
    for (;;) {
        if (cancel.load())
            return FileSearch::Cancelled;
        const qsizetype old = held.size();
        held.resize(old + kBlockBytes);
        ssize_t got;
        do {
            got = ::read(fd, held.data() + old, size_t(kBlockBytes));
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            return FileSearch::Unreadable;
        held.resize(old + got);
        if (!probed) {
            probed = true;
            if (LooksBinary(held))
                return FileSearch::Binary;
        }
        if (got == 0) {
            if (!held.isEmpty())
                matcher.scan(held, line, hit);
            return FileSearch::Searched;
        }
        const qsizetype end = held.lastIndexOf('\n') + 1;
        if (end > 0) {
            line += matcher.scan(QByteArrayView(held).first(end), line, hit);
            held.remove(0, end);
        }
    }
}

FindSummary FindInTree(const FindInFilesRequest& request, const std::atomic<bool>& cancel,
                       MessageBatcher& batch)
{
    batch.add(FindHeadingRow(request), 0);
    const std::optional<LineMatcher> matcher = LineMatcher::create(request.options);
    if (!matcher) {
        batch.add(QStringLiteral("Error: ") + FindOptionsError(request.options), 1);
        batch.post();
        return {};
    }
    if (FileTypeOf(request.folder) != FileType::Folder) {
        batch.add(QStringLiteral("Error: there is no folder ") + PathForDisplay(request.folder), 1);
        batch.post();
        FindSummary missing;
        missing.folderMissing = true;
        return missing;
    }
    std::string root = PathToBytes(request.folder).toStdString();
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    TreeSearch search(request, *matcher, cancel, batch);
    search.walk(root, std::string());
    if (!search.summary.cancelled) {
        const QString skipped = FindSkippedRow(search.summary);
        if (!skipped.isEmpty())
            batch.add(skipped, 0);
        batch.add(FindSummaryRow(search.summary), 1);
    }
    batch.post();
    return search.summary;
}

int StartFindInFiles(const FindInFilesRequest& request)
{
    JobManager* jobs = JobManager::instance();
    if (!jobs)
        return 0;
    return jobs->start(QStringLiteral("find in files"), [request](JobContext& job) {
        MessageBatcher batch;
        const FindSummary summary = FindInTree(request, job.cancelFlag(), batch);
        batch.post();
        return summary.cancelled || summary.folderMissing ? 1 : 0;
    });
}

QString FindRequestError(const FindInFilesRequest& request)
{
    const QString textError = FindOptionsError(request.options);
    if (!textError.isEmpty())
        return textError;
    const QString shown = PathForDisplay(request.folder);
    if (request.folder.isEmpty() || FileTypeOf(request.folder) != FileType::Folder)
        return QStringLiteral("There is no folder \"%1\".").arg(shown);
    if (::access(PathToBytes(request.folder).constData(), R_OK | X_OK) != 0)
        return QStringLiteral("The folder \"%1\" cannot be read.").arg(shown);
    return QString();
}

QString FindHeadingRow(const FindInFilesRequest& request)
{
    QString row = QStringLiteral("Find in Files: \"") + request.options.text +
                  QStringLiteral("\" in ") + PathForDisplay(request.folder);
    QStringList how;
    how << (request.patterns.trimmed().isEmpty() ? QStringLiteral("all files")
                                                 : request.patterns.simplified());
    if (request.options.matchCase)
        how << QStringLiteral("match case");
    if (request.options.wholeWord)
        how << QStringLiteral("whole word");
    if (request.options.regularExpression)
        how << QStringLiteral("regular expression");
    return row + QStringLiteral(" (") + how.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString FindSkippedRow(const FindSummary& summary)
{
    QStringList parts;
    if (summary.binaryFiles > 0)
        parts << counted(summary.binaryFiles, "binary file", "binary files");
    if (summary.unreadableFiles > 0)
        parts << counted(summary.unreadableFiles, "unreadable file", "unreadable files");
    if (summary.unreadableFolders > 0)
        parts << counted(summary.unreadableFolders, "unreadable folder", "unreadable folders");
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("Skipped ") + parts.join(QStringLiteral(", "));
}

QString FindSummaryRow(const FindSummary& summary)
{
    return counted(summary.matches, "match", "matches") + QStringLiteral(" in ") +
           counted(summary.filesWithMatches, "file", "files");
}
