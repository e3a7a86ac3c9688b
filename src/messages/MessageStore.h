#pragma once

#include "messages/MessageClassifier.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// The rows of the message log, stored compactly: a log of a million lines
// must not cost a QString (and its heap block) per line. Texts are kept as
// UTF-8 in large chunks; each row is one 64-bit word holding its chunk, its
// offset in the chunk and its icon. A row's length follows from where the
// next row of the same chunk starts (or from the chunk's fill). Appending is
// O(length of the text) and never moves what is already stored. Large
// pieces of tool output are kept as they came, and their rows point into
// them.
class MessageStore {
public:
    MessageStore();
    ~MessageStore();
    MessageStore(const MessageStore&) = delete;
    MessageStore& operator=(const MessageStore&) = delete;

    void append(QStringView text, int icon);
    // Appends the rows of a tool's output stream (RowBytes.h), each with the
    // icon classifyMessageBytes gives it (or rowIcon, when one is given:
    // Find in Files' matches), in one pass over the bytes and
    // with no string per row. A large piece that is UTF-8 is kept as it is
    // (shared, not copied: the rows point into it); other bytes are copied,
    // as they are when they are UTF-8, else read as Latin-1 and stored as
    // its UTF-8. Each new row's stored bytes (utf8(row)) go to rowAdded, if
    // given, in order, in the same pass (the message window measures them
    // there).
    using RowAdded = std::function<void(QByteArrayView)>;
    void appendStreamRows(const QByteArray& bytes, bool streamEnd, const RowAdded& rowAdded = {},
                          int rowIcon = kIconByText);
    // Drops every row and gives the memory back.
    void clear();
    // The folder rows appended from now on were written in (the tool's
    // folder, against which a row's relative file name is resolved).
    // Changes of folder are few, so they are kept as runs of rows.
    void setDirectory(const QString& directory);
    // The folder in force when the row was appended (empty before any).
    QString directory(qsizetype row) const;

    qsizetype size() const { return m_rowCount; }
    bool isEmpty() const { return m_rowCount == 0; }
    QString text(qsizetype row) const;
    QByteArrayView utf8(qsizetype row) const;
    int icon(qsizetype row) const;

private:
    // A chunk of rows: either Tarn's own block, where rows follow each
    // other directly, or a kept piece of a stream, where each row is
    // followed by its line feed (and the carriage return dropped before it).
    struct Chunk {
        std::unique_ptr<char[]> data;
        QByteArray kept;
        const char* bytes = nullptr;
        qsizetype capacity = 0;
        qsizetype used = 0;
        bool lineEnds = false;
    };

    quint64 word(qsizetype row) const;
    QByteArrayView appendRowBytes(QByteArrayView row, int rowIcon);
    bool keepStreamRows(const QByteArray& bytes, const RowAdded& rowAdded, int rowIcon);
    void commitRow(quint32 chunkIndex, qsizetype bytes, int icon);
    void addWord(quint32 chunkIndex, qsizetype offset, int icon);
    char* reserveBytes(qsizetype maxBytes, quint32* chunkIndex);

    std::vector<Chunk> m_chunks;
    std::vector<std::unique_ptr<quint64[]>> m_wordBlocks;
    // (first row, folder), by first row.
    std::vector<std::pair<qsizetype, QString>> m_directories;
    qsizetype m_rowCount = 0;
};
