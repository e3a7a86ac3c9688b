#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

// The rows of the message log, stored compactly: a log of a million lines
// must not cost a QString (and its heap block) per line. Texts are kept as
// UTF-8 in large chunks; each row is one 64-bit word holding its chunk, its
// offset in the chunk and its icon. A row's length follows from where the
// next row of the same chunk starts (or from the chunk's fill). Appending is
// O(length of the text) and never moves what is already stored.
class MessageStore {
public:
    MessageStore();
    ~MessageStore();
    MessageStore(const MessageStore&) = delete;
    MessageStore& operator=(const MessageStore&) = delete;

    void append(QStringView text, int icon);
    // Drops every row and gives the memory back.
    void clear();

    qsizetype size() const { return m_rowCount; }
    bool isEmpty() const { return m_rowCount == 0; }
    QString text(qsizetype row) const;
    QByteArrayView utf8(qsizetype row) const;
    int icon(qsizetype row) const;

private:
    struct Chunk {
        std::unique_ptr<char[]> data;
        qsizetype capacity = 0;
        qsizetype used = 0;
    };

    quint64 word(qsizetype row) const;
    char* reserveBytes(qsizetype maxBytes, quint32* chunkIndex);

    std::vector<Chunk> m_chunks;
    std::vector<std::unique_ptr<quint64[]>> m_wordBlocks;
    qsizetype m_rowCount = 0;
};
