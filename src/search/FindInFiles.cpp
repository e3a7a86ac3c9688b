#include "search/FindInFiles.h"

#include "messages/MessageSink.h"
#include "search/TreeSearch.h"
#include "tools/FolderEntries.h"
#include "tools/JobManager.h"
#include "tools/PathBytes.h"

#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files are read in blocks of this size; a line longer than a block makes
// the held part grow until its line feed, up to kLongLineBytes: then the
// part is searched as a piece of its line, and only its last
// kLongLineOverlap bytes are kept for a match across the cut. A line is
// reported once, however many of its pieces match.
constexpr qsizetype kBlockBytes = 1024 * 1024;
constexpr qsizetype kLongLineBytes = 16 * kBlockBytes;
constexpr qsizetype kLongLineOverlap = 4096;

// Reads into the block until it is full or a read returns the end: a read
// may return fewer bytes than asked anywhere in a file (a signal, a file
// system over the network, a file that is still being written). The bytes
// read, or -1 on an error.
qint64 fillBlock(const ReadBytes& read, char* block, qint64 size)
{
    qint64 filled = 0;
    while (filled < size) {
        const qint64 got = read(block + filled, size - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

QString counted(qint64 count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QString::fromLatin1(count == 1 ? one : many);
}

} // namespace

FileSearch SearchFile(const QByteArray& path, const LineMatcher& matcher,
                      const std::atomic<bool>& cancel,
                      const std::function<void(qint64, QByteArrayView)>& hit, QByteArray* buffer,
                      const std::function<void()>& afterBlock,
                      const LineMatcher::TooComplex& tooComplex)
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
    const auto read = [fd](char* into, qint64 size) {
        return qint64(::read(fd, into, size_t(size)));
    };
    return SearchBytes(read, matcher, cancel, hit, buffer, afterBlock, tooComplex);
}

FileSearch SearchBytes(const ReadBytes& read, const LineMatcher& matcher,
                       const std::atomic<bool>& cancel,
                       const std::function<void(qint64, QByteArrayView)>& hit, QByteArray* buffer,
                       const std::function<void()>& afterBlock,
                       const LineMatcher::TooComplex& tooComplex)
{
    QByteArray own;
    // The start of a line whose end is not read yet, then the block read.
    QByteArray& held = buffer ? *buffer : own;
    held.resize(0);
    qint64 line = 1;
    qint64 reported = 0; // a long line with a row already
    const std::function<void(qint64, QByteArrayView)> once = [&](qint64 number,
                                                                 QByteArrayView text) {
        if (number != reported)
            hit(number, text);
        reported = number;
    };
    const LineMatcher::TooComplex onceTooComplex = [&](qint64 number) {
        if (number != reported && tooComplex)
            tooComplex(number);
        reported = number;
    };
    bool probed = false;
    for (;;) {
        if (cancel.load())
            return FileSearch::Cancelled;
        const qsizetype old = held.size();
        held.resize(old + kBlockBytes);
        const qint64 got = fillBlock(read, held.data() + old, kBlockBytes);
        if (got < 0)
            return FileSearch::Unreadable;
        held.resize(old + got);
        if (!probed) {
            probed = true;
            if (LooksBinary(held))
                return FileSearch::Binary;
        }
        // A block left short: a read returned the end.
        if (got < kBlockBytes) {
            if (!held.isEmpty())
                matcher.scan(held, line, once, onceTooComplex);
            return FileSearch::Searched;
        }
        const qsizetype end = held.lastIndexOf('\n') + 1;
        if (end > 0) {
            line += matcher.scan(QByteArrayView(held).first(end), line, once, onceTooComplex);
            held.remove(0, end);
        } else if (held.size() >= kLongLineBytes) {
            matcher.scan(held, line, once, onceTooComplex);
            held.remove(0, held.size() - kLongLineOverlap);
        }
        if (afterBlock)
            afterBlock();
    }
}

FindSummary FindInTree(const FindInFilesRequest& request, const std::atomic<bool>& cancel,
                       MessageBatcher& batch, int threads)
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
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount());
    const FindSummary summary = SearchTree(root, request, *matcher, cancel, batch, threads);
    if (!summary.cancelled) {
        const QString skipped = FindSkippedRow(summary);
        if (!skipped.isEmpty())
            batch.add(skipped, 0);
        batch.add(FindSummaryRow(summary), 1);
    }
    batch.post();
    return summary;
}

int StartFindInFiles(JobManager& jobs, const FindInFilesRequest& request)
{
    return jobs.start(QStringLiteral("find in files"), [request](JobContext& job) {
        MessageBatcher batch(job.messages());
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
    QString row = counted(summary.matches, "match", "matches") + QStringLiteral(" in ") +
                  counted(summary.filesWithMatches, "file", "files");
    if (summary.tooComplexLines > 0)
        row += QStringLiteral(", ") +
               counted(summary.tooComplexLines, "line too complex to search",
                       "lines too complex to search");
    return row;
}
