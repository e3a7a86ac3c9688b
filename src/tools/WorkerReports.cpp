#include "tools/WorkerReports.h"

#include "messages/MessageSink.h"
#include "tools/OutputLines.h"

namespace {

// One stream of a report: its heading goes out before its first row; rows
// go out as their lines complete, or are held until the end.
class ReportStream {
public:
    ReportStream(MessageBatcher& batch, QString heading, QString noOutputLine, bool streaming)
        : m_batch(batch), m_heading(std::move(heading)), m_noOutputLine(std::move(noOutputLine)),
          m_streaming(streaming)
    {
    }

    void feed(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return;
        m_any = true;
        m_lines.feed(bytes);
        if (m_streaming)
            send(m_lines.takeRows());
    }

    // Ends the stream: the rows left and the remainder row, or the
    // no-output line when nothing came.
    void finish()
    {
        if (!m_any) {
            if (!m_noOutputLine.isEmpty())
                m_batch.add(m_noOutputLine, 1);
            return;
        }
        send(m_lines.finish());
    }

private:
    void send(QStringList rows)
    {
        if (!m_headingSent) {
            m_headingSent = true;
            m_batch.add(m_heading, 1);
        }
        for (QString& row : rows)
            m_batch.add(std::move(row), 0);
        m_batch.postIfDue();
    }

    MessageBatcher& m_batch;
    QString m_heading;
    QString m_noOutputLine;
    bool m_streaming;
    bool m_any = false;
    bool m_headingSent = false;
    LineAssembler m_lines;
};

ChildResult runReported(const Invocation& invocation, const std::atomic<bool>& cancel,
                        MessageBatcher& batch, ReportStream* output, ReportStream& error)
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
    if (!result.started()) {
        batch.add(CouldNotStartLine(invocation.program, result.startError), 1);
        batch.post();
        return result;
    }
    if (output)
        output->finish();
    error.finish();
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
                             MessageBatcher& batch, const QString& heading)
{
    const QString noOutput = QStringLiteral("No warnings or errors recieved from gcc");
    ReportStream error(batch, heading, noOutput, true);
    return runReported(invocation, cancel, batch, nullptr, error);
}

ChildResult RunWithMakeReport(const Invocation& invocation, const std::atomic<bool>& cancel,
                              MessageBatcher& batch)
{
    ReportStream output(batch, QStringLiteral("Output from make:"), QString(), true);
    // Held until the end: it is shown after the whole of standard output.
    const QString noErrors = QStringLiteral("No errors recieved from make");
    ReportStream error(batch, QStringLiteral("Errors recieved from make:"), noErrors, false);
    return runReported(invocation, cancel, batch, &output, error);
}
