#include "messages/StreamMessageSink.h"

#include "messages/RowBytes.h"

void StreamMessageSink::AppendLine(const QString& text, int withSeparator)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_stream);
    std::fputc('\n', m_stream);
    if (withSeparator == 1)
        std::fputc('\n', m_stream);
    std::fflush(m_stream);
}

void StreamMessageSink::AppendStreamRows(const QByteArray& bytes, bool streamEnd)
{
    ForEachOutputRow(QByteArrayView(bytes), streamEnd, [this](QByteArrayView row) {
        // UTF-8 as it came; other bytes as the UTF-8 of their Latin-1 text.
        const QByteArray latin1 = IsValidUtf8(row) ? QByteArray() : RowText(row).toUtf8();
        const QByteArrayView line = latin1.isNull() ? row : QByteArrayView(latin1);
        std::fwrite(line.data(), 1, static_cast<size_t>(line.size()), m_stream);
        std::fputc('\n', m_stream);
    });
    std::fflush(m_stream);
}
