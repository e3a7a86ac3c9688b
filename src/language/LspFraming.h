#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// A language server speaks JSON-RPC over its standard input and output,
// each message a body of JSON after a header block that gives its length:
//   Content-Length: 52\r\n\r\n{"jsonrpc":"2.0",...}

// The largest message body Tarn takes from a server. A larger one (a
// server gone wrong) is read past without being held.
inline constexpr qsizetype kMaxLspMessageBytes = 64 * 1024 * 1024;

// One message to send: its header block and its body.
QByteArray LspFrame(QByteArrayView body);

// Cuts a server's output into message bodies as it arrives, a read at a
// time. It never holds more than one header block and one body (at most
// `maxBody` bytes), and finds its way back after garbage: bytes before a
// header, a header block without a usable Content-Length, a body too large.
class LspFrameReader {
public:
    explicit LspFrameReader(qsizetype maxBody = kMaxLspMessageBytes) : m_maxBody(maxBody) {}

    struct Problems {
        // Bytes dropped because they were no part of a message.
        qint64 garbageBytes = 0;
        // Messages dropped because their body was larger than allowed.
        int oversized = 0;
    };

    // Appends the bodies completed by `bytes` to `bodies`, in order.
    void feed(QByteArrayView bytes, std::vector<QByteArray>& bodies);
    const Problems& problems() const { return m_problems; }
    // Bytes held, waiting for the rest of their message.
    qsizetype heldBytes() const { return m_buffer.size(); }

private:
    // Cuts what the buffer holds; false when it needs more bytes.
    bool cutOne(std::vector<QByteArray>& bodies);
    void dropGarbage(qsizetype count);

    const qsizetype m_maxBody;
    QByteArray m_buffer;
    // Where the buffer's unread part starts (the read part is dropped in
    // one go after each feed).
    qsizetype m_start = 0;
    // The body length of a header already read, or -1.
    qsizetype m_bodyLength = -1;
    // Bytes of an oversized body still to be read past.
    qint64 m_skip = 0;
    Problems m_problems;
};
