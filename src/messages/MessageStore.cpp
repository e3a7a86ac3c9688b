#include "messages/MessageStore.h"

#include <QStringEncoder>

namespace {

constexpr qsizetype ChunkBytes = 256 * 1024;
constexpr qsizetype WordsPerBlock = 8192;

// Row word: bits 0-1 icon, bits 2-31 offset in the chunk, bits 32-63 chunk.
constexpr quint64 IconMask = 0x3;
constexpr int OffsetShift = 2;
constexpr quint64 OffsetMask = 0x3fffffff;
constexpr int ChunkShift = 32;

quint32 chunkOf(quint64 word) { return static_cast<quint32>(word >> ChunkShift); }
qsizetype offsetOf(quint64 word) { return static_cast<qsizetype>((word >> OffsetShift) & OffsetMask); }

} // namespace

MessageStore::MessageStore() = default;
MessageStore::~MessageStore() = default;

char* MessageStore::reserveBytes(qsizetype maxBytes, quint32* chunkIndex)
{
    if (m_chunks.empty() || m_chunks.back().capacity - m_chunks.back().used < maxBytes) {
        // A text longer than a chunk gets a chunk of its own, at offset 0.
        Chunk chunk;
        chunk.capacity = std::max(ChunkBytes, maxBytes);
        chunk.data = std::make_unique_for_overwrite<char[]>(chunk.capacity);
        m_chunks.push_back(std::move(chunk));
    }
    Chunk& chunk = m_chunks.back();
    *chunkIndex = static_cast<quint32>(m_chunks.size() - 1);
    return chunk.data.get() + chunk.used;
}

void MessageStore::append(QStringView text, int icon)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    quint32 chunkIndex = 0;
    char* begin = reserveBytes(encoder.requiredSpace(text.size()), &chunkIndex);
    char* end = encoder.appendToBuffer(begin, text);
    Chunk& chunk = m_chunks[chunkIndex];
    const qsizetype offset = chunk.used;
    chunk.used += end - begin;

    const qsizetype block = m_rowCount / WordsPerBlock;
    if (block == static_cast<qsizetype>(m_wordBlocks.size()))
        m_wordBlocks.push_back(std::make_unique_for_overwrite<quint64[]>(WordsPerBlock));
    m_wordBlocks[block][m_rowCount % WordsPerBlock] = (quint64(chunkIndex) << ChunkShift)
        | (quint64(offset) << OffsetShift) | (quint64(icon) & IconMask);
    ++m_rowCount;
}

void MessageStore::clear()
{
    m_chunks.clear();
    m_wordBlocks.clear();
    m_rowCount = 0;
}

quint64 MessageStore::word(qsizetype row) const
{
    return m_wordBlocks[row / WordsPerBlock][row % WordsPerBlock];
}

QByteArrayView MessageStore::utf8(qsizetype row) const
{
    if (row < 0 || row >= m_rowCount)
        return {};
    const quint64 w = word(row);
    const Chunk& chunk = m_chunks[chunkOf(w)];
    const qsizetype begin = offsetOf(w);
    qsizetype end = chunk.used;
    if (row + 1 < m_rowCount) {
        const quint64 next = word(row + 1);
        if (chunkOf(next) == chunkOf(w))
            end = offsetOf(next);
    }
    return QByteArrayView(chunk.data.get() + begin, end - begin);
}

QString MessageStore::text(qsizetype row) const
{
    const QByteArrayView bytes = utf8(row);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

int MessageStore::icon(qsizetype row) const
{
    if (row < 0 || row >= m_rowCount)
        return 3;
    return static_cast<int>(word(row) & IconMask);
}
