#include "search/FindMatcher.h"

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
        matcher.m_finder.setPattern(matcher.m_needle);
        return matcher;
    }
    matcher.m_mode = Mode::Text;
    QString pattern =
        options.regularExpression ? options.text : QRegularExpression::escape(options.text);
    if (options.wholeWord)
        pattern = kNotWordBefore + pattern + kNotWordAfter;
    QRegularExpression::PatternOptions flags = QRegularExpression::NoPatternOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    matcher.m_regex = QRegularExpression(pattern, flags);
    matcher.m_regex.optimize();
    return matcher;
}

qsizetype LineMatcher::findBytes(QByteArrayView block, qsizetype from) const
{
    const qsizetype length = m_needle.size();
    for (;;) {
        const qsizetype at = m_finder.indexIn(block.data(), block.size(), from);
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

qint64 LineMatcher::scan(QByteArrayView block, qint64 firstLine, const Hit& hit) const
{
    const char* data = block.data();
    const qsizetype size = block.size();
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
        char* out = folded.data();
        for (qsizetype i = 0; i < size; ++i)
            out[i] = foldAscii(data[i]);
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

bool LineMatcher::matchesLine(QByteArrayView line) const
{
    bool found = false;
    scan(line, 1, [&found](qint64, QByteArrayView) { found = true; });
    return found;
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

QByteArray FindRow(QByteArrayView path, qint64 line, QByteArrayView text)
{
    if (text.size() > kMaxShownLineBytes) {
        qsizetype cut = kMaxShownLineBytes;
        // Not inside a UTF-8 sequence: back over its continuation bytes.
        while (cut > 0 && (uchar(text[cut]) & 0xC0) == 0x80)
            --cut;
        text = text.first(cut);
    }
    QByteArray row;
    row.reserve(path.size() + text.size() + 24);
    row.append(path);
    row.append(':');
    row.append(QByteArray::number(line));
    row.append(": ");
    row.append(text);
    row.append('\n');
    return row;
}
