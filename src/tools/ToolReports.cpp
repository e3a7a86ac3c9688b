#include "tools/ToolReports.h"

#include "messages/MessageSink.h"
#include "tools/WorkerReports.h"

namespace {

// The heading and the rows, or only the no-output line when nothing came.
// The rows go to the message window as the stream's bytes, cut and
// classified there without a string per row.
void showRows(const QByteArray& bytes, const QString& heading, const QString& noOutputLine,
              const QString& directory = QString())
{
    if (bytes.isEmpty()) {
        if (!noOutputLine.isEmpty())
            AddMessage(noOutputLine, 1);
        return;
    }
    AddMessage(heading, 1);
    std::vector<MessageEntry> rows(1);
    rows[0].kind = MessageEntry::Kind::Rows;
    rows[0].bytes = bytes;
    rows[0].streamEnd = true;
    rows[0].directory = directory;
    PostMessages(std::move(rows));
}

} // namespace

void ShowOutputBytes(const QByteArray& bytes, const QString& heading,
                     const QString& noOutputLine)
{
    showRows(bytes, heading, noOutputLine);
}

void ShowPipeOutput(ToolPipes& pipes, ToolStream stream, const QString& heading,
                    const QString& noOutputLine)
{
    if (!pipes.started()) {
        // Where the nothing-received line would claim a clean run.
        if (!noOutputLine.isEmpty())
            AddMessage(CouldNotStartLine(pipes.program(), pipes.startError()), 1);
        return;
    }
    showRows(pipes.bytes(stream), heading, noOutputLine, pipes.directory());
}

void ShowGccReport(ToolPipes& pipes, const QString& heading)
{
    ShowPipeOutput(pipes, ToolStream::Error, heading,
                   QStringLiteral("No warnings or errors recieved from gcc"));
}
