#pragma once

#include "search/FindMatcher.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

class JobManager;
class MessageBatcher;

// One Find in Files search, taken on the user-interface thread when it
// starts: the worker reads nothing else.
struct FindInFilesRequest {
    FindOptions options;
    // The folder searched, a path as Tarn holds them (PathBytes.h).
    QString folder;
    // "*.c *.h": the file names searched; empty: every file.
    QString patterns;
};

// The dialog's patterns when the user has typed none yet.
inline const QString kDefaultFindPatterns = QStringLiteral("*.c *.cpp *.cc *.cxx *.h *.hpp");

struct FindSummary {
    qint64 matches = 0;
    qint64 filesWithMatches = 0;
    qint64 filesSearched = 0;
    qint64 binaryFiles = 0;
    qint64 unreadableFiles = 0;
    qint64 unreadableFolders = 0;
    // Lines a regular expression needed more backtracking on than PCRE2
    // allows: each has its row, none is a match.
    qint64 tooComplexLines = 0;
    bool folderMissing = false;
    bool cancelled = false;
};

// What reading one file gave.
enum class FileSearch { Searched, Binary, Unreadable, Cancelled };

// Searches one regular file, opened by the bytes of its name and read in
// blocks of whole lines (memory bounded by the block and the longest
// line): hit(line number, line) for each matching line. A file that is not
// a regular file when opened counts as unreadable; a zero byte in its
// first 8 KiB makes it binary, and nothing of it is reported. A buffer
// given is used for the reads (a search of many files allocates once);
// afterBlock runs after each block but the last (the rows of a large file
// can go out while it is read); tooComplex(line number) for each line the
// regular expression could not be matched on.
FileSearch SearchFile(const QByteArray& path, const LineMatcher& matcher,
                      const std::atomic<bool>& cancel,
                      const std::function<void(qint64, QByteArrayView)>& hit,
                      QByteArray* buffer = nullptr, const std::function<void()>& afterBlock = {},
                      const LineMatcher::TooComplex& tooComplex = {});

// Reads up to `size` bytes into `into` as read(2) does: the count read,
// which may be fewer than asked at any time, 0 at the end, -1 with errno
// set on an error.
using ReadBytes = std::function<qint64(char* into, qint64 size)>;

// SearchFile's search on the bytes `read` gives (SearchFile reads the file
// it opened with it). A block takes as many reads as it needs: whatever
// count a read returns, the search goes on until a read returns 0 (the
// end). A read interrupted by a signal (EINTR) is made again; any other
// error makes the search Unreadable.
FileSearch SearchBytes(const ReadBytes& read, const LineMatcher& matcher,
                       const std::atomic<bool>& cancel,
                       const std::function<void(qint64, QByteArrayView)>& hit,
                       QByteArray* buffer = nullptr, const std::function<void()>& afterBlock = {},
                       const LineMatcher::TooComplex& tooComplex = {});

// Walks the folder and reports through the batcher: the heading row, one
// row "PATH:LINE: text" per matching line (PATH relative to the folder,
// the rows carry the folder, so a double click or F4 opens the file), the
// skipped files when there are any, and "N matches in M files" with a
// separator. Folders are walked in name order; symbolic links are not
// followed (as grep -r does), so a link loop cannot hold the walk, and
// only regular files are read. A folder that cannot be read is skipped and
// counted. A cancelled search stops between blocks and reports no
// summary.
//
// The files are read and searched on `threads` workers (0: as many as the
// machine has cores, QThread::idealThreadCount()), the rows still in walk
// order, a file's after every earlier file's (TreeSearch.h).
FindSummary FindInTree(const FindInFilesRequest& request, const std::atomic<bool>& cancel,
                       MessageBatcher& batch, int threads = 0);

// Starts the search as a job of the manager (Stop Build stops it); returns
// the job's id.
int StartFindInFiles(JobManager& jobs, const FindInFilesRequest& request);

// Why the search cannot start, as the dialog shows it: the text's fault
// (FindOptionsError), "There is no folder ..." or "The folder ... cannot be
// read."; empty when it can.
QString FindRequestError(const FindInFilesRequest& request);

// The rows around the matches.
QString FindHeadingRow(const FindInFilesRequest& request);
QString FindSkippedRow(const FindSummary& summary); // empty when nothing was skipped
// "N matches in M files", and ", K lines too complex to search" when a
// regular expression could not be matched on some.
QString FindSummaryRow(const FindSummary& summary);
