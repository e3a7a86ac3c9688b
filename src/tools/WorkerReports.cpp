#include "tools/WorkerReports.h"

#include "messages/MessageSink.h"
#include "messages/RowBytes.h"
#include "tools/BuildVerdict.h"
#include "tools/MakeDirectories.h"

#include <QElapsedTimer>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The folders a run's rows were written in: the run's own, and for make
// the folders its directory rows enter. Standard output is followed row by
// row; a piece of standard error takes the folder in force when it arrives.
class RowFolders {
public:
    explicit RowFolders(const QString& base) : m_folders(base) {}

    const QString& current() const { return m_folders.current(); }

    // The folder for a piece of standard error arriving now. Both pipes can
    // be ready at one wake-up, and standard output is read first: error
    // bytes read right after output that left a folder were written before
    // that row (a compiler's message comes before its sub-make's "Leaving
    // directory"; entering the next folder and compiling there takes far
    // longer than this).
    const QString& forErrorPiece() const
    {
        if (m_leftAt.isValid() && m_leftAt.nsecsElapsed() < kSameWakeNs)
            return m_beforeLeaving;
        return current();
    }

    void outputPieceStarts()
    {
        m_beforePiece = current();
        m_leftInPiece = false;
    }
    // Follows one row of standard output (without its line feed).
    void followRow(QByteArrayView row)
    {
        if (m_folders.followRow(row) == MakeDirectories::Step::Left)
            m_leftInPiece = true;
    }
    void outputPieceEnds()
    {
        if (m_leftInPiece) {
            m_beforeLeaving = m_beforePiece;
            m_leftAt.start();
        } else {
            m_leftAt.invalidate();
        }
    }

private:
    static constexpr qint64 kSameWakeNs = 2'000'000;
    MakeDirectories m_folders;
    QString m_beforePiece;
    QString m_beforeLeaving;
    bool m_leftInPiece = false;
    QElapsedTimer m_leftAt;
};

// Shows one output stream of a run in the message window, as it arrives:
// its heading goes out before its first row; rows go out as raw bytes, as
// their lines complete, or are held until the end (cut and decoded in the
// message window, RowBytes.h). Each row goes with the folder it was written
// in (RowFolders): standard output with follow set (make) moves the folders
// along as its rows pass.
class ShowPipeOutput {
public:
    ShowPipeOutput(MessageBatcher& batch, QString heading, QString noOutputLine, bool streaming,
                 BuildVerdict* verdict, RowFolders& folders, bool follow = false)
        : m_batch(batch), m_heading(std::move(heading)), m_noOutputLine(std::move(noOutputLine)),
          m_streaming(streaming), m_verdict(verdict), m_folders(folders), m_follow(follow)
    {
    }

    void feed(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return;
        m_any = true;
        if (!m_streaming) {
            // Held: remember where the folder changes.
            const QString& folder = m_folders.forErrorPiece();
            if (m_marks.empty() || m_marks.back().second != folder)
                m_marks.emplace_back(m_pending.size(), folder);
            m_pending.append(bytes);
            return;
        }
        sendHeading();
        // Only complete lines travel; a line's start waits for its end.
        const qsizetype end = CompleteLinesEnd(bytes);
        if (end > 0) {
            if (m_pending.isEmpty()) {
                sendRows(bytes.first(end));
            } else {
                m_pending.append(bytes.first(end));
                sendRows(m_pending);
                m_pending.clear();
            }
        }
        m_pending.append(bytes.sliced(end));
        m_batch.postIfDue();
    }

    // Ends the stream: the rows left and the remainder row, or the
    // no-output line when nothing came. A stopped tool's silence proves
    // nothing, so it gets no "No ... recieved" line.
    void finish(bool stopped)
    {
        if (!m_any) {
            if (!m_noOutputLine.isEmpty() && !stopped)
                m_batch.add(m_noOutputLine, 1);
            return;
        }
        sendHeading();
        if (m_streaming) {
            sendHeld(m_pending, m_folders.current(), true);
        } else {
            // Each run of rows with the folder it was written in; a mark
            // inside a row counts from the next row.
            QByteArrayView all(m_pending);
            for (size_t i = 0; i < m_marks.size(); ++i) {
                const qsizetype from = rowStart(all, m_marks[i].first);
                const qsizetype to =
                    i + 1 < m_marks.size() ? rowStart(all, m_marks[i + 1].first) : all.size();
                if (to > from || i + 1 == m_marks.size())
                    sendHeld(all.sliced(from, std::max<qsizetype>(to - from, 0)), m_marks[i].second,
                             i + 1 == m_marks.size());
            }
        }
        m_pending.clear();
        m_marks.clear();
    }

private:
    static qsizetype rowStart(QByteArrayView all, qsizetype at)
    {
        if (at <= 0)
            return 0;
        if (all[at - 1] == '\n')
            return at;
        const qsizetype next = all.indexOf('\n', at);
        return next < 0 ? all.size() : next + 1;
    }

    // Held bytes go in batch-sized pieces of whole lines, so the window
    // never takes a huge piece in one go.
    void sendHeld(QByteArrayView rest, const QString& folder, bool streamEnd)
    {
        while (rest.size() > MessageBatcher::kBatchBytes) {
            qsizetype end = CompleteLinesEnd(rest.first(MessageBatcher::kBatchBytes));
            if (end == 0)
                end = CompleteLinesEnd(rest);
            if (end == 0)
                break;
            send(rest.first(end), false, folder);
            rest = rest.sliced(end);
        }
        if (!rest.isEmpty() || streamEnd)
            send(rest, streamEnd, folder);
    }

    // Complete rows of a streaming stream; make's output is cut where a
    // directory row changes the folder.
    void sendRows(QByteArrayView rows)
    {
        if (!m_follow || !rows.contains("directory ")) {
            send(rows, false, m_folders.current());
            return;
        }
        m_folders.outputPieceStarts();
        qsizetype from = 0;
        qsizetype at = 0;
        QString folder = m_folders.current();
        while (at < rows.size()) {
            const qsizetype lineEnd = rows.indexOf('\n', at);
            const qsizetype next = lineEnd < 0 ? rows.size() : lineEnd + 1;
            m_folders.followRow(rows.sliced(at, (lineEnd < 0 ? rows.size() : lineEnd) - at));
            at = next;
            if (m_folders.current() != folder) {
                // The directory row itself belongs to the folder before.
                send(rows.sliced(from, at - from), false, folder);
                from = at;
                folder = m_folders.current();
            }
        }
        if (at > from)
            send(rows.sliced(from, at - from), false, folder);
        m_folders.outputPieceEnds();
    }

    void send(QByteArrayView rows, bool streamEnd, const QString& folder)
    {
        m_batch.addStreamRows(rows, streamEnd, folder);
        if (m_verdict)
            m_verdict->countRows(rows, streamEnd);
    }

    void sendHeading()
    {
        if (!m_headingSent) {
            m_headingSent = true;
            m_batch.add(m_heading, 1);
        }
    }

    MessageBatcher& m_batch;
    QString m_heading;
    QString m_noOutputLine;
    bool m_streaming;
    BuildVerdict* m_verdict;
    RowFolders& m_folders;
    bool m_follow;
    bool m_any = false;
    bool m_headingSent = false;
    QByteArray m_pending;
    // Held stream: (offset in m_pending, folder from there on).
    std::vector<std::pair<qsizetype, QString>> m_marks;
};

ChildResult runReported(const Invocation& invocation, const std::atomic<bool>& cancel,
                        MessageBatcher& batch, ShowPipeOutput* output, ShowPipeOutput& error,
                        BuildVerdict* verdict)
{
    const ChildResult result = RunTool(
        invocation, cancel,
        [&](ToolStream stream, QByteArrayView bytes) {
            if (stream == ToolStream::Error)
                error.feed(bytes);
            else if (output)
                output->feed(bytes);
        },
        [&] { batch.postIfDue(); });
    if (verdict)
        verdict->addRun(output ? BuildVerdict::Tool::Make : BuildVerdict::Tool::Gcc, invocation.program, result);
    if (!result.started()) {
        batch.add(CouldNotStartLine(invocation.program, result.startError), 1);
        batch.post();
        return result;
    }
    const bool stopped = result.end == ChildResult::End::Cancelled;
    if (output)
        output->finish(stopped);
    error.finish(stopped);
    batch.post();
    return result;
}

} // namespace

QString CouldNotStartLine(const QString& program, const QString& reason)
{
    QString line = QStringLiteral("Error: could not start ") + program;
    if (!reason.isEmpty())
        line += QStringLiteral(" (") + reason + QLatin1Char(')');
    return line;
}

ChildResult RunWithGccReport(const Invocation& invocation, const std::atomic<bool>& cancel,
                             MessageBatcher& batch, const QString& heading, BuildVerdict* verdict)
{
    const QString noOutput = QStringLiteral("No warnings or errors recieved from gcc");
    RowFolders folders(invocation.workingDirectory);
    ShowPipeOutput error(batch, heading, noOutput, true, verdict, folders);
    return runReported(invocation, cancel, batch, nullptr, error, verdict);
}

ChildResult RunWithMakeReport(const Invocation& invocation, const std::atomic<bool>& cancel,
                              MessageBatcher& batch, BuildVerdict* verdict)
{
    RowFolders folders(invocation.workingDirectory);
    ShowPipeOutput output(batch, QStringLiteral("Output from make:"), QString(), true, verdict,
                        folders, true);
    // Held until the end: it is shown after the whole of standard output.
    const QString noErrors = QStringLiteral("No errors recieved from make");
    ShowPipeOutput error(batch, QStringLiteral("Errors recieved from make:"), noErrors, false,
                       verdict, folders);
    return runReported(invocation, cancel, batch, &output, error, verdict);
}
