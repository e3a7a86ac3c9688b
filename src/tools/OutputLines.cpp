#include "tools/OutputLines.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Length of the UTF-8 sequence that starts at bytes[i], or 0 if none
// starts there.
qsizetype sequenceLength(const unsigned char* bytes, qsizetype size, qsizetype i)
{
    const unsigned char lead = bytes[i];
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        else if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong
        else if (lead == 0xF4)
            high = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > size)
        return 0;
    if (bytes[i + 1] < low || bytes[i + 1] > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if ((bytes[i + k] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

} // namespace

bool IsValidUtf8(QByteArrayView bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        // Tool output is mostly ASCII: skip eight such bytes at a time.
        std::uint64_t block;
        if (i + 8 <= size && (std::memcpy(&block, data + i, 8), (block & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
        const qsizetype length = sequenceLength(data, size, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

namespace {
bool isAscii(QByteArrayView bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    std::uint64_t any = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t block;
        std::memcpy(&block, data + i, 8);
        any |= block;
    }
    for (; i < size; ++i)
        any |= data[i];
    return (any & 0x8080808080808080u) == 0;
}
} // namespace

QString DecodeOutputLine(QByteArrayView line)
{
    // Most tool output is ASCII, where Latin-1 is the same text and faster.
    if (isAscii(line))
        return QString::fromLatin1(line);
    if (IsValidUtf8(line))
        return QString::fromUtf8(line);
    return QString::fromLatin1(line);
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
