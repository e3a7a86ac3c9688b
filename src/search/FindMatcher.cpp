#include "search/FindMatcher.h"

#include "messages/RowBytes.h"

#include "search/RegexScan.h"

#include <charconv>
#include <cstring>

namespace {

bool isWordByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Lower-cases the ASCII letters of a block, eight bytes at a time: in each
// byte below 0x80, adding 0x25 sets the top bit when it is above 'Z', and
// adding 0x3F when it is at least 'A'; an upper-case letter gets 0x20.
void foldAsciiBlock(const char* in, char* out, qsizetype size)
{
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 tops = 0x8080808080808080ULL;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, in + i, 8);
        const quint64 low = word & ~tops;
        const quint64 aboveZ = low + (0x7F - 'Z') * ones;
        const quint64 fromA = low + (0x80 - 'A') * ones;
        const quint64 upper = ~word & (aboveZ ^ fromA) & tops;
        word |= upper >> 2;
        std::memcpy(out + i, &word, 8);
    }
    for (; i < size; ++i)
        out[i] = foldAscii(in[i]);
}

bool isAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

qsizetype countLineFeeds(const char* from, const char* to)
{
    qsizetype count = 0;
    while (from < to) {
        const void* found = std::memchr(from, '\n', size_t(to - from));
        if (!found)
            break;
        ++count;
        from = static_cast<const char*>(found) + 1;
    }
    return count;
}

// The line without the carriage return of a CR LF end.
QByteArrayView withoutCarriageReturn(QByteArrayView line)
{
    if (!line.isEmpty() && line.back() == '\r')
        return line.chopped(1);
    return line;
}

// A letter, digit or underscore of ASCII may not touch a whole-word match.
const QString kNotWordBefore = QStringLiteral("(?<![A-Za-z0-9_])(?:");
const QString kNotWordAfter = QStringLiteral(")(?![A-Za-z0-9_])");

} // namespace

QString FindOptionsError(const FindOptions& options)
{
    if (options.text.isEmpty())
        return QStringLiteral("Type the text to find.");
    if (options.regularExpression) {
        const QRegularExpression regex(options.text);
        if (!regex.isValid())
            return QStringLiteral("Invalid regular expression at offset %1: %2")
                .arg(regex.patternErrorOffset())
                .arg(regex.errorString());
    }
    return QString();
}

bool LooksBinary(QByteArrayView head)
{
    const qsizetype size = std::min(head.size(), kBinaryProbeBytes);
    return size > 0 && std::memchr(head.data(), 0, size_t(size)) != nullptr;
}

std::optional<LineMatcher> LineMatcher::create(const FindOptions& options)
{
    if (!FindOptionsError(options).isEmpty())
        return std::nullopt;
    LineMatcher matcher;
    matcher.m_wholeWord = options.wholeWord;
    if (!options.regularExpression && (options.matchCase || isAscii(options.text))) {
        matcher.m_mode = options.matchCase ? Mode::Bytes : Mode::FoldedBytes;
        matcher.m_needle = options.text.toUtf8();
        if (!options.matchCase) {
            for (char& c : matcher.m_needle)
                c = foldAscii(c);
        }
        return matcher;
    }
    matcher.m_mode = Mode::Text;
    matcher.m_regex = FindPattern(options);
    matcher.m_blockRegex =
        BlockRegex::create(matcher.m_regex.pattern(), !options.matchCase,
                           options.regularExpression ? options.text : QString());
    if (!matcher.m_blockRegex)
        matcher.m_regex.optimize();
    return matcher;
}

QRegularExpression FindPattern(const FindOptions& options)
{
    QString pattern =
        options.regularExpression ? options.text : QRegularExpression::escape(options.text);
    if (options.wholeWord)
        pattern = kNotWordBefore + pattern + kNotWordAfter;
    QRegularExpression::PatternOptions flags = QRegularExpression::NoPatternOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(pattern, flags);
}

qsizetype LineMatcher::findBytes(QByteArrayView block, qsizetype from) const
{
    const qsizetype length = m_needle.size();
    for (;;) {
        // glibc's memmem beats a Boyer-Moore table for the short words
        // people look for.
        const void* found = from < block.size() && length > 0
                                ? ::memmem(block.data() + from, size_t(block.size() - from),
                                           m_needle.constData(), size_t(length))
                                : nullptr;
        const qsizetype at = found ? static_cast<const char*>(found) - block.data() : -1;
        if (at < 0 || !m_wholeWord)
            return at;
        const bool startsWord = at == 0 || !isWordByte(block[at - 1]);
        const bool endsWord = at + length >= block.size() || !isWordByte(block[at + length]);
        if (startsWord && endsWord)
            return at;
        from = at + 1;
    }
}

bool LineMatcher::matchesText(QByteArrayView line) const
{
    return m_regex.match(QString::fromUtf8(line)).hasMatch();
}

qint64 LineMatcher::scan(QByteArrayView block, qint64 firstLine, const Hit& hit,
                         const TooComplex& tooComplex) const
{
    const char* data = block.data();
    const qsizetype size = block.size();
    if (m_mode == Mode::Text && m_blockRegex)
        return m_blockRegex->scan(block, firstLine, hit, tooComplex);
    if (m_mode == Mode::Text) {
        qint64 line = firstLine;
        qsizetype start = 0;
        while (start < size) {
            const void* found = std::memchr(data + start, '\n', size_t(size - start));
            const qsizetype end = found ? static_cast<const char*>(found) - data : size;
            const QByteArrayView text = withoutCarriageReturn(block.sliced(start, end - start));
            if (matchesText(text))
                hit(line, text);
            if (!found)
                break;
            ++line;
            start = end + 1;
        }
        return line - firstLine;
    }
    // The byte search runs over the whole block; a folded search over a
    // lower-cased copy, whose positions are the block's.
    QByteArray folded;
    QByteArrayView haystack = block;
    if (m_mode == Mode::FoldedBytes) {
        folded.resize(size);
        foldAsciiBlock(data, folded.data(), size);
        haystack = folded;
    }
    qint64 line = firstLine;
    qsizetype counted = 0; // line feeds before here are in line
    qsizetype from = 0;
    while (from < size) {
        const qsizetype at = findBytes(haystack, from);
        if (at < 0)
            break;
        qsizetype start = at;
        while (start > counted && data[start - 1] != '\n')
            --start;
        line += countLineFeeds(data + counted, data + start);
        const void* found = std::memchr(data + at, '\n', size_t(size - at));
        const qsizetype end = found ? static_cast<const char*>(found) - data : size;
        hit(line, withoutCarriageReturn(block.sliced(start, end - start)));
        if (!found)
            return line - firstLine;
        ++line;
        counted = end + 1;
        from = end + 1;
    }
    line += countLineFeeds(data + counted, data + size);
    return line - firstLine;
}

QList<QByteArray> SplitFilePatterns(const QString& patterns)
{
    QList<QByteArray> list;
    const QByteArray bytes = patterns.toUtf8();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        const bool cut = i == bytes.size() || bytes[i] == ' ' || bytes[i] == '\t' ||
                         bytes[i] == ',' || bytes[i] == ';';
        if (!cut)
            continue;
        if (i > start)
            list.append(bytes.mid(start, i - start));
        start = i + 1;
    }
    return list;
}

namespace {

// The set at pattern[p] ('[' included) against the byte; sets next to the
// position after the set, or -1 when the set has no closing bracket (then
// '[' is an ordinary byte).
bool matchSet(QByteArrayView pattern, qsizetype p, char byte, qsizetype* next)
{
    qsizetype i = p + 1;
    bool negate = false;
    if (i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^')) {
        negate = true;
        ++i;
    }
    bool matched = false;
    bool first = true;
    for (; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == ']' && !first) {
            *next = i + 1;
            return matched != negate;
        }
        first = false;
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            if (uchar(byte) >= uchar(c) && uchar(byte) <= uchar(pattern[i + 2]))
                matched = true;
            i += 2;
        } else if (c == byte) {
            matched = true;
        }
    }
    *next = -1;
    return false;
}

} // namespace

bool MatchesGlob(QByteArrayView pattern, QByteArrayView name)
{
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starP = -1; // after the last '*' seen
    qsizetype starN = 0;  // where that star's run ends for now
    while (n < name.size()) {
        bool step = false;
        qsizetype nextP = p + 1;
        if (p < pattern.size()) {
            const char c = pattern[p];
            if (c == '*') {
                starP = ++p;
                starN = n;
                continue;
            }
            if (c == '?') {
                step = true;
            } else if (c == '[') {
                qsizetype after = -1;
                const bool in = matchSet(pattern, p, name[n], &after);
                if (after < 0)
                    step = name[n] == '[';
                else {
                    step = in;
                    nextP = after;
                }
            } else {
                step = c == name[n];
            }
        }
        if (step) {
            p = nextP;
            ++n;
        } else if (starP >= 0) {
            p = starP;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool MatchesFilePatterns(QByteArrayView name, const QList<QByteArray>& patterns)
{
    if (patterns.isEmpty())
        return true;
    for (const QByteArray& pattern : patterns) {
        if (MatchesGlob(pattern, name))
            return true;
    }
    return false;
}

void AppendFindRow(QByteArray& rows, QByteArrayView path, qint64 line, QByteArrayView text)
{
    AppendPlaceRow(rows, path, line, text);
}

void AppendTooComplexRow(QByteArray& rows, QByteArrayView path, qint64 line)
{
    AppendFindRow(rows, path, line,
                  "(not searched: the regular expression needs too much backtracking on this "
                  "line)");
}
