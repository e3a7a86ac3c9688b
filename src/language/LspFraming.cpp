#include "language/LspFraming.h"

namespace {

constexpr QByteArrayView kLengthName = "content-length:";
// A header block longer than this is garbage, not a header still arriving.
constexpr qsizetype kMaxHeaderBytes = 4096;

// Where "Content-Length:" starts at or after `from`, in any case; -1.
qsizetype findLengthHeader(QByteArrayView bytes, qsizetype from)
{
    for (qsizetype at = bytes.indexOf('C', from), lower = bytes.indexOf('c', from);
         at >= 0 || lower >= 0;) {
        const qsizetype here = at < 0 ? lower : lower < 0 ? at : std::min(at, lower);
        if (bytes.size() - here >= kLengthName.size()
            && bytes.sliced(here, kLengthName.size()).compare(kLengthName, Qt::CaseInsensitive) == 0)
            return here;
        if (here == at)
            at = bytes.indexOf('C', here + 1);
        else
            lower = bytes.indexOf('c', here + 1);
    }
    return -1;
}

// The value of Content-Length in a header block, -1 when it has none or
// it is not a plain decimal number.
qint64 contentLength(QByteArrayView header)
{
    qsizetype lineStart = 0;
    while (lineStart < header.size()) {
        qsizetype lineEnd = header.indexOf("\r\n", lineStart);
        if (lineEnd < 0)
            lineEnd = header.size();
        const QByteArrayView line = header.sliced(lineStart, lineEnd - lineStart);
        if (line.size() > kLengthName.size()
            && line.first(kLengthName.size()).compare(kLengthName, Qt::CaseInsensitive) == 0) {
            const QByteArrayView digits = line.sliced(kLengthName.size()).trimmed();
            if (digits.isEmpty() || digits.size() > 15)
                return -1;
            qint64 value = 0;
            for (char c : digits) {
                if (c < '0' || c > '9')
                    return -1;
                value = value * 10 + (c - '0');
            }
            return value;
        }
        lineStart = lineEnd + 2;
    }
    return -1;
}

} // namespace

QByteArray LspFrame(QByteArrayView body)
{
    QByteArray frame = "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    frame += body;
    return frame;
}

void LspFrameReader::feed(QByteArrayView bytes, std::vector<QByteArray>& bodies)
{
    if (m_skip > 0) {
        const qint64 skipped = std::min<qint64>(m_skip, bytes.size());
        m_skip -= skipped;
        bytes = bytes.sliced(skipped);
    }
    m_buffer += bytes;
    while (m_skip == 0 && cutOne(bodies)) {
    }
    if (m_skip > 0) {
        // The oversized body's bytes already in the buffer.
        const qint64 skipped = std::min<qint64>(m_skip, m_buffer.size() - m_start);
        m_skip -= skipped;
        m_start += skipped;
    }
    m_buffer.remove(0, m_start);
    m_start = 0;
}

bool LspFrameReader::cutOne(std::vector<QByteArray>& bodies)
{
    const QByteArrayView rest = QByteArrayView(m_buffer).sliced(m_start);
    if (m_bodyLength < 0) {
        const qsizetype header = findLengthHeader(rest, 0);
        if (header < 0) {
            // Keep what may be the start of a header block still arriving
            // (a Content-Type line comes first, or the name is cut); it
            // counts as garbage only when it turns out to be.
            if (rest.size() > kMaxHeaderBytes)
                dropGarbage(rest.size() - kMaxHeaderBytes);
            return false;
        }
        // Other header fields (Content-Type) may stand before the length,
        // but then the block starts at a line start; anything else is
        // garbage.
        qsizetype blockStart = header;
        while (blockStart > 0) {
            const qsizetype previousEnd = blockStart - 2;
            if (previousEnd < 0 || rest.sliced(previousEnd, 2) != "\r\n")
                break;
            const qsizetype lineStart = rest.lastIndexOf("\r\n", previousEnd - 1);
            const qsizetype from = lineStart < 0 ? 0 : lineStart + 2;
            const QByteArrayView line = rest.sliced(from, previousEnd - from);
            if (line.isEmpty() || !line.contains(':'))
                break;
            blockStart = from;
        }
        if (blockStart > 0) {
            dropGarbage(blockStart);
            return true;
        }
        const qsizetype end = rest.indexOf("\r\n\r\n", header);
        if (end < 0 || end - header > kMaxHeaderBytes) {
            // Not a header still arriving but a run of garbage: look for
            // the next one after this name.
            const bool garbage = end >= 0 || rest.size() - header > kMaxHeaderBytes;
            if (garbage)
                dropGarbage(header + kLengthName.size());
            return garbage;
        }
        const qint64 length = contentLength(rest.first(end));
        if (length < 0) {
            dropGarbage(header + kLengthName.size());
            return true;
        }
        m_start += end + 4;
        if (length > m_maxBody) {
            ++m_problems.oversized;
            m_skip = length;
            return false;
        }
        m_bodyLength = length;
        return true;
    }
    if (rest.size() < m_bodyLength)
        return false;
    bodies.emplace_back(rest.first(m_bodyLength).toByteArray());
    m_start += m_bodyLength;
    m_bodyLength = -1;
    return true;
}

void LspFrameReader::dropGarbage(qsizetype count)
{
    m_problems.garbageBytes += count;
    m_start += count;
}
