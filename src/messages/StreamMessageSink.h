#pragma once

#include "messages/MessageSink.h"

#include <QObject>

#include <cstdio>

// The message sink of the headless mode: every row goes to a C stream
// (standard output) as a line of UTF-8 text; a separator row is an empty
// line and Clear writes nothing. No widget or font is involved, so it works
// under a QCoreApplication with no display.
class StreamMessageSink : public QObject, public MessageSink {
public:
    explicit StreamMessageSink(std::FILE* stream = stdout) : m_stream(stream) {}

    void AppendLine(const QString& text, int withSeparator) override;
    // A tool's rows go out as the bytes the window would show, with one
    // flush for the piece rather than one per row.
    void AppendStreamRows(const QByteArray& bytes, bool streamEnd) override;
    void ClearMessageRows() override {}
    QObject* sinkObject() override { return this; }

private:
    std::FILE* m_stream;
};
