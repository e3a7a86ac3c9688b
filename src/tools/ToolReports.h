#pragma once

#include <QByteArray>
#include <QString>

#include "tools/ToolRunner.h"

// Shows one output stream of an ended run in the message window. Nothing
// written: the no-output line with a separator row (nothing when
// noOutputLine is empty). Otherwise the heading with a separator row, then
// every row of the stream (cut and decoded as in messages/RowBytes.h), each
// without a separator.
//
// A child that could not be started shows "Error: could not start ", the
// program path and the reason in brackets, with a separator row, in place
// of the no-output line, so a failure is never reported as a clean run.
void ShowPipeOutput(ToolPipes& pipes, ToolStream stream, const QString& heading,
                    const QString& noOutputLine = QString());

// The rows for a stream's bytes (the part of ShowPipeOutput that does not
// depend on the run).
void ShowOutputBytes(const QByteArray& bytes, const QString& heading,
                     const QString& noOutputLine);

// The gcc report: standard error with the heading "Errors:" (the project
// link passes "Link errors:") and "No warnings or errors recieved from gcc".
// Standard output is not shown.
void ShowGccReport(ToolPipes& pipes, const QString& heading = QStringLiteral("Errors:"));
