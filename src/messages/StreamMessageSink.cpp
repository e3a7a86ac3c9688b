#include "messages/StreamMessageSink.h"

void StreamMessageSink::AppendLine(const QString& text, int withSeparator)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_stream);
    std::fputc('\n', m_stream);
    if (withSeparator == 1)
        std::fputc('\n', m_stream);
    std::fflush(m_stream);
}
