#include "tools/OutputLines.h"

#include <cstdint>
#include <cstring>
#include <utility>

QString DecodeOutputLine(QByteArrayView line)
{
    return RowText(line);
}

QStringList CutOutputLines(const QByteArray& output)
{
    LineAssembler assembler;
    assembler.feed(output);
    return assembler.finish();
}

void LineAssembler::completeLine(QByteArrayView line)
{
    // Only a carriage return just before the line feed is dropped.
    if (line.endsWith('\r'))
        line.chop(1);
    m_rows.append(DecodeOutputLine(line));
}

void LineAssembler::feed(QByteArrayView bytes)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype feedAt = bytes.indexOf('\n', start);
        if (feedAt < 0)
            break;
        const QByteArrayView piece = bytes.sliced(start, feedAt - start);
        if (m_pending.isEmpty()) {
            completeLine(piece);
        } else {
            m_pending += piece;
            completeLine(m_pending);
            m_pending.clear();
        }
        start = feedAt + 1;
    }
    m_pending += bytes.sliced(start);
}

QStringList LineAssembler::finish()
{
    m_rows.append(DecodeOutputLine(m_pending));
    m_pending.clear();
    return std::exchange(m_rows, QStringList());
}
