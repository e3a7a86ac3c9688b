#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstring>

// The bytes of a tool's output rows, without a QString per row.
//
// A stream is cut into rows at each line feed; a carriage return just
// before the line feed is dropped, any other byte stays (zero bytes too).
// What follows the last line feed is one more row (empty when the stream
// ends with a line feed) once the stream has ended.

// True when every byte is below 0x80.
bool IsAsciiBytes(QByteArrayView bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates
// or values above U+10FFFF).
bool IsValidUtf8(QByteArrayView bytes);

// A row's text: its bytes as UTF-8 when they are well-formed UTF-8, else as
// Latin-1 (one character per byte, so no byte is ever lost). A leading
// byte-order mark is kept as the character U+FEFF: it is part of the row.
QString RowText(QByteArrayView bytes);

// UTF-8 text as a string, a leading byte-order mark included.
QString Utf8Text(QByteArrayView utf8);

// Appends the row of a place in a file, "PATH:LINE: text\n", as the
// message window follows it: a shown line is cut after kMaxPlaceLineBytes
// bytes (at a character boundary), its tabs and other bytes kept.
inline constexpr qsizetype kMaxPlaceLineBytes = 4096;
void AppendPlaceRow(QByteArray& rows, QByteArrayView path, qint64 line, QByteArrayView text);

// Calls row(QByteArrayView) for each row of the stream bytes, carriage
// return already dropped. With streamEnd false the bytes after the last line
// feed are no row (the caller holds them until their line is complete);
// with streamEnd true they are the stream's last row.
template <typename RowFunction>
void ForEachOutputRow(QByteArrayView bytes, bool streamEnd, RowFunction&& row)
{
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    for (;;) {
        const void* found = size > start ? std::memchr(data + start, '\n', size_t(size - start)) : nullptr;
        if (!found)
            break;
        const qsizetype feed = static_cast<const char*>(found) - data;
        qsizetype end = feed;
        if (end > start && data[end - 1] == '\r')
            --end;
        row(QByteArrayView(data + start, end - start));
        start = feed + 1;
    }
    if (streamEnd)
        row(QByteArrayView(data + start, size - start));
}

// Where the complete lines of the bytes end: just after the last line
// feed (0 when there is none).
qsizetype CompleteLinesEnd(QByteArrayView bytes);
