#include "tools/ToolReports.h"

#include "messages/MessageSink.h"
#include "tools/OutputLines.h"
#include "tools/WorkerReports.h"

namespace {

// The heading and the rows, or only the no-output line when nothing came.
template <typename MakeRows>
void showRows(bool hasOutput, MakeRows makeRows, const QString& heading,
              const QString& noOutputLine)
{
    if (!hasOutput) {
        if (!noOutputLine.isEmpty())
            AddMessage(noOutputLine, 1);
        return;
    }
    AddMessage(heading, 1);
    QStringList rows = makeRows();
    for (QString& row : rows)
        AddMessage(std::move(row), 0);
}

} // namespace

void ShowOutputBytes(const QByteArray& bytes, const QString& heading,
                     const QString& noOutputLine)
{
    showRows(!bytes.isEmpty(), [&] { return CutOutputLines(bytes); }, heading, noOutputLine);
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
    showRows(!pipes.bytes(stream).isEmpty(), [&] { return pipes.takeRows(stream); }, heading,
             noOutputLine);
}

void ShowGccReport(ToolPipes& pipes, const QString& heading)
{
    ShowPipeOutput(pipes, ToolStream::Error, heading,
                   QStringLiteral("No warnings or errors recieved from gcc"));
}

void ShowMakeReport(ToolPipes& pipes)
{
    ShowPipeOutput(pipes, ToolStream::Output, QStringLiteral("Output from make:"));
    ShowPipeOutput(pipes, ToolStream::Error, QStringLiteral("Errors recieved from make:"),
                   QStringLiteral("No errors recieved from make"));
}
