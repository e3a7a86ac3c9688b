#include "tools/WorkerReports.h"

#include "messages/MessageSink.h"
#include "messages/RowBytes.h"
#include "tools/BuildVerdict.h"

namespace {

// One stream of a report: its heading goes out before its first row; rows
// go out as raw bytes, as their lines complete, or are held until the end.
class ReportStream {
public:
    ReportStream(MessageBatcher& batch, QString heading, QString noOutputLine, bool streaming,
                 BuildVerdict* verdict)
        : m_batch(batch), m_heading(std::move(heading)), m_noOutputLine(std::move(noOutputLine)),
          m_streaming(streaming), m_verdict(verdict)
    {
    }

    void feed(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return;
        m_any = true;
        if (!m_streaming) {
            m_pending.append(bytes);
            return;
        }
        sendHeading();
        // Only complete lines travel; a line's start waits for its end.
        const qsizetype end = CompleteLinesEnd(bytes);
        if (end > 0) {
            if (m_pending.isEmpty()) {
                send(bytes.first(end), false);
            } else {
                m_pending.append(bytes.first(end));
                send(m_pending, false);
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
        // Held bytes go in batch-sized pieces of whole lines, so the window
        // never takes a huge piece in one go.
        QByteArrayView rest(m_pending);
        while (rest.size() > MessageBatcher::kBatchBytes) {
            qsizetype end = CompleteLinesEnd(rest.first(MessageBatcher::kBatchBytes));
            if (end == 0)
                end = CompleteLinesEnd(rest);
            if (end == 0)
                break;
            send(rest.first(end), false);
            rest = rest.sliced(end);
        }
        send(rest, true);
        m_pending.clear();
    }

private:
    void send(QByteArrayView rows, bool streamEnd)
    {
        m_batch.addStreamRows(rows, streamEnd);
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
    bool m_any = false;
    bool m_headingSent = false;
    QByteArray m_pending;
};

ChildResult runReported(const Invocation& invocation, const std::atomic<bool>& cancel,
                        MessageBatcher& batch, ReportStream* output, ReportStream& error,
                        BuildVerdict* verdict)
{
    const ChildResult result = RunChild(
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
    ReportStream error(batch, heading, noOutput, true, verdict);
    return runReported(invocation, cancel, batch, nullptr, error, verdict);
}

ChildResult RunWithMakeReport(const Invocation& invocation, const std::atomic<bool>& cancel,
                              MessageBatcher& batch, BuildVerdict* verdict)
{
    ReportStream output(batch, QStringLiteral("Output from make:"), QString(), true, verdict);
    // Held until the end: it is shown after the whole of standard output.
    const QString noErrors = QStringLiteral("No errors recieved from make");
    ReportStream error(batch, QStringLiteral("Errors recieved from make:"), noErrors, false, verdict);
    return runReported(invocation, cancel, batch, &output, error, verdict);
}
