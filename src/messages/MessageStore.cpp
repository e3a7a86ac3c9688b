#include "messages/MessageStore.h"

#include "messages/MessageClassifier.h"
#include "messages/RowBytes.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype ChunkBytes = 256 * 1024;
// Pieces of a stream from this size up are kept rather than copied (a
// worker's batch of rows is about 64 KiB, see MessageBatcher).
constexpr qsizetype KeptPieceBytes = 32 * 1024;
constexpr qsizetype WordsPerBlock = 8192;

// Row word: bits 0-2 icon, bits 3-31 offset in the chunk, bits 32-63 chunk.
constexpr quint64 IconMask = 0x7;
constexpr int OffsetShift = 3;
constexpr quint64 OffsetMask = 0x1fffffff;
constexpr int ChunkShift = 32;

quint32 chunkOf(quint64 word) { return static_cast<quint32>(word >> ChunkShift); }
qsizetype offsetOf(quint64 word) { return static_cast<qsizetype>((word >> OffsetShift) & OffsetMask); }

} // namespace

MessageStore::MessageStore() = default;
MessageStore::~MessageStore() = default;

char* MessageStore::reserveBytes(qsizetype maxBytes, quint32* chunkIndex)
{
    if (m_chunks.empty() || m_chunks.back().lineEnds
        || m_chunks.back().capacity - m_chunks.back().used < maxBytes) {
        // A text longer than a chunk gets a chunk of its own, at offset 0.
        Chunk chunk;
        chunk.capacity = std::max(ChunkBytes, maxBytes);
        chunk.data = std::make_unique_for_overwrite<char[]>(chunk.capacity);
        chunk.bytes = chunk.data.get();
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
    commitRow(chunkIndex, end - begin, icon);
}

void MessageStore::appendStreamRows(const QByteArray& bytes, bool streamEnd,
                                    const RowAdded& rowAdded, int rowIcon)
{
    static const RowAdded nothing = [](QByteArrayView) {};
    const RowAdded& added = rowAdded ? rowAdded : nothing;
    if (bytes.size() >= KeptPieceBytes && keepStreamRows(bytes, added, rowIcon)) {
        // The rows up to the last line feed point into the kept piece; the
        // stream's last row has no line feed and is copied.
        if (streamEnd)
            added(appendRowBytes(QByteArrayView(bytes).sliced(CompleteLinesEnd(bytes)), rowIcon));
        return;
    }
    ForEachOutputRow(QByteArrayView(bytes), streamEnd,
                     [&](QByteArrayView row) { added(appendRowBytes(row, rowIcon)); });
}

bool MessageStore::keepStreamRows(const QByteArray& bytes,
                                  const RowAdded& rowAdded, int rowIcon)
{
    // Only UTF-8 is shown as it is; the offsets of a row word reach 512 MiB.
    const qsizetype end = CompleteLinesEnd(bytes);
    if (end == 0 || qsizetype(OffsetMask) < end || !IsValidUtf8(bytes))
        return false;
    Chunk kept;
    kept.kept = bytes;
    kept.bytes = kept.kept.constData();
    kept.capacity = kept.used = end;
    kept.lineEnds = true;
    m_chunks.push_back(std::move(kept));
    const auto chunkIndex = static_cast<quint32>(m_chunks.size() - 1);
    const char* base = m_chunks.back().bytes;
    ForEachOutputRow(QByteArrayView(base, end), false, [&](QByteArrayView row) {
        addWord(chunkIndex, row.data() - base, rowIcon == kIconByText ? classifyMessageBytes(row) : rowIcon);
        rowAdded(row);
    });
    return true;
}

QByteArrayView MessageStore::appendRowBytes(QByteArrayView row, int rowIcon)
{
    const int icon = rowIcon == kIconByText ? classifyMessageBytes(row) : rowIcon;
    quint32 chunkIndex = 0;
    if (IsValidUtf8(row)) {
        char* begin = reserveBytes(row.size(), &chunkIndex);
        if (!row.isEmpty())
            std::memcpy(begin, row.data(), size_t(row.size()));
        commitRow(chunkIndex, row.size(), icon);
        return QByteArrayView(begin, row.size());
    }
    // Latin-1: a byte from 0x80 up becomes two bytes of UTF-8.
    char* begin = reserveBytes(2 * row.size(), &chunkIndex);
    char* out = begin;
    for (const char c : row) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            *out++ = c;
        } else {
            *out++ = static_cast<char>(0xC0 | (byte >> 6));
            *out++ = static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    commitRow(chunkIndex, out - begin, icon);
    return QByteArrayView(begin, out - begin);
}

void MessageStore::commitRow(quint32 chunkIndex, qsizetype bytes, int icon)
{
    Chunk& chunk = m_chunks[chunkIndex];
    const qsizetype offset = chunk.used;
    chunk.used += bytes;
    addWord(chunkIndex, offset, icon);
}

void MessageStore::addWord(quint32 chunkIndex, qsizetype offset, int icon)
{
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
    // The folder in force stays in force for the rows to come.
    if (!m_directories.empty())
        m_directories = {{0, m_directories.back().second}};
}

void MessageStore::setDirectory(const QString& directory)
{
    if (!m_directories.empty()) {
        auto& [first, last] = m_directories.back();
        if (last == directory)
            return;
        if (first == m_rowCount) {
            last = directory;
            if (m_directories.size() > 1 && m_directories.rbegin()[1].second == directory)
                m_directories.pop_back();
            return;
        }
    }
    m_directories.emplace_back(m_rowCount, directory);
}

QString MessageStore::directory(qsizetype row) const
{
    auto after = std::upper_bound(m_directories.begin(), m_directories.end(), row,
                                  [](qsizetype r, const auto& run) { return r < run.first; });
    if (after == m_directories.begin())
        return {};
    return std::prev(after)->second;
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
    if (chunk.lineEnds) {
        // The line feed after the row, and a carriage return just before it.
        --end;
        if (end > begin && chunk.bytes[end - 1] == '\r')
            --end;
    }
    return QByteArrayView(chunk.bytes + begin, end - begin);
}

QString MessageStore::text(qsizetype row) const
{
    // Every byte of the row, a leading byte-order mark included.
    return Utf8Text(utf8(row));
}

int MessageStore::icon(qsizetype row) const
{
    if (row < 0 || row >= m_rowCount)
        return IconNone;
    return static_cast<int>(word(row) & IconMask);
}
