#include "messages/RowBytes.h"

#include <QByteArray>

#include <charconv>

#include <QStringDecoder>

#include <cstdint>

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

bool IsAsciiBytes(QByteArrayView bytes)
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

QString Utf8Text(QByteArrayView utf8)
{
    // QString::fromUtf8 drops a leading byte-order mark; a row keeps it.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

QString RowText(QByteArrayView bytes)
{
    // Most tool output is ASCII, where Latin-1 is the same text and faster.
    if (IsAsciiBytes(bytes))
        return QString::fromLatin1(bytes);
    if (IsValidUtf8(bytes))
        return Utf8Text(bytes);
    return QString::fromLatin1(bytes);
}

qsizetype CompleteLinesEnd(QByteArrayView bytes)
{
    const qsizetype feed = bytes.lastIndexOf('\n');
    return feed < 0 ? 0 : feed + 1;
}

void AppendPlaceRow(QByteArray& rows, QByteArrayView path, qint64 line, QByteArrayView text)
{
    if (text.size() > kMaxPlaceLineBytes) {
        qsizetype cut = kMaxPlaceLineBytes;
        // Not inside a UTF-8 sequence: back over its continuation bytes.
        while (cut > 0 && (uchar(text[cut]) & 0xC0) == 0x80)
            --cut;
        text = text.first(cut);
    }
    char number[24];
    const std::to_chars_result end = std::to_chars(number, number + sizeof number, line);
    rows.append(path);
    rows.append(':');
    rows.append(number, end.ptr - number);
    rows.append(": ", 2);
    rows.append(text);
    rows.append('\n');
}
