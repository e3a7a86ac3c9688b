#include "framework/FileNameBytes.h"

namespace fw {

namespace {

constexpr char16_t kKeptByteBase = 0xDC00;

// A kept byte: a lone low surrogate U+DC80..U+DCFF (not the second half of
// a real character).
bool isKeptByteAt(QStringView path, qsizetype i)
{
    const char16_t c = path[i].unicode();
    return c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && QChar::isHighSurrogate(path[i - 1].unicode()));
}

// Length of the valid UTF-8 sequence at `i`, or 0.
qsizetype validSequence(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b0 = at(i);
    if (b0 < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        low = b0 == 0xE0 ? 0xA0 : 0x80;
        high = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        low = b0 == 0xF0 ? 0x90 : 0x80;
        high = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

} // namespace

QString pathOfFileNameBytes(QByteArrayView bytes)
{
    QString path;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequence(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        path += QString::fromUtf8(bytes.sliced(start, i - start));
        path += QChar(char16_t(kKeptByteBase + static_cast<unsigned char>(bytes[i])));
        start = ++i;
    }
    path += QString::fromUtf8(bytes.sliced(start));
    return path;
}

bool holdsKeptBytes(QStringView path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isKeptByteAt(path, i))
            return true;
    }
    return false;
}

QByteArray fileNameBytes(QStringView path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!isKeptByteAt(path, i))
            continue;
        bytes += path.sliced(start, i - start).toUtf8();
        bytes += char(path[i].unicode() - kKeptByteBase);
        start = i + 1;
    }
    bytes += path.sliced(start).toUtf8();
    return bytes;
}

QString fileNameForDisplay(QStringView path)
{
    QString shown = path.toString();
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (isKeptByteAt(path, i))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

} // namespace fw
