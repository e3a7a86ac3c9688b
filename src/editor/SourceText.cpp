#include "editor/SourceText.h"

#include <cstring>

namespace sourcetext {

bool isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        // Plain ASCII, the bulk of a source, is passed over 32 bytes at a
        // time: the byte-wise walk below made the check cost more than
        // reading the file.
        constexpr quint64 kHighBits = 0x8080808080808080ULL;
        while (i + 32 <= n) {
            quint64 words[4];
            std::memcpy(words, p + i, sizeof words);
            if ((words[0] | words[1] | words[2] | words[3]) & kHighBits)
                break;
            i += 32;
        }
        if (i >= n)
            break;
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned int cp = 0;
        unsigned int minimum = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F, minimum = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F, minimum = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = p[i + k];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::optional<LineBreak> firstLineBreak(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            return LineBreak::Lf;
        if (bytes[i] == '\r')
            return (i + 1 < bytes.size() && bytes[i + 1] == '\n') ? LineBreak::CrLf : LineBreak::Cr;
    }
    return std::nullopt;
}

QByteArray convertLineBreaks(QByteArrayView text, QByteArrayView eol)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.append(eol.data(), eol.size());
        } else if (c == '\n') {
            out.append(eol.data(), eol.size());
        } else {
            out.append(c);
        }
    }
    return out;
}

} // namespace sourcetext
