#include "settings/SettingsProfile.h"

#include <climits>

namespace {

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// "[Options]" -> "Options"; nullopt when the line is not a section header.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    const QByteArrayView trimmed = line.trimmed();
    if (!trimmed.startsWith('['))
        return std::nullopt;
    qsizetype close = trimmed.indexOf(']');
    if (close < 0)
        close = trimmed.size();
    return trimmed.sliced(1, close - 1).trimmed();
}

// "GCC Path = /usr/bin/gcc" -> position of '='; -1 for blank lines, comments
// and lines without '='.
qsizetype keySeparator(QByteArrayView line)
{
    const QByteArrayView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';'))
        return -1;
    return line.indexOf('=');
}

QByteArray oneLine(QByteArray value)
{
    value.replace('\r', QByteArray()).replace('\n', QByteArray());
    return value;
}

} // namespace

SettingsProfile SettingsProfile::fromBytes(const QByteArray& bytes)
{
    SettingsProfile profile;
    const qsizetype firstBreak = bytes.indexOf('\n');
    if (firstBreak > 0 && bytes.at(firstBreak - 1) == '\r')
        profile.m_lineBreak = QByteArrayLiteral("\r\n");
    else if (firstBreak >= 0)
        profile.m_lineBreak = QByteArrayLiteral("\n");
    if (bytes.isEmpty())
        return profile;

    profile.m_lines = bytes.split('\n');
    if (bytes.endsWith('\n'))
        profile.m_lines.removeLast();
    for (QByteArray& line : profile.m_lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return profile;
}

QByteArray SettingsProfile::toBytes() const
{
    QByteArray bytes;
    qsizetype size = 0;
    for (const QByteArray& line : m_lines)
        size += line.size() + m_lineBreak.size();
    bytes.reserve(size);
    for (const QByteArray& line : m_lines) {
        bytes += line;
        bytes += m_lineBreak;
    }
    return bytes;
}

std::optional<SettingsProfile::SectionSpan>
SettingsProfile::findSection(QByteArrayView section) const
{
    const QByteArrayView wanted = QByteArrayView(section).trimmed();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const std::optional<QByteArrayView> name = sectionName(m_lines.at(i));
        if (!name || !sameName(*name, wanted))
            continue;
        SectionSpan span{i, i + 1};
        while (span.end < m_lines.size() && !sectionName(m_lines.at(span.end)))
            ++span.end;
        return span;
    }
    return std::nullopt;
}

qsizetype SettingsProfile::findKey(const SectionSpan& span, QByteArrayView key) const
{
    const QByteArrayView wanted = QByteArrayView(key).trimmed();
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        const QByteArray& line = m_lines.at(i);
        const qsizetype separator = keySeparator(line);
        if (separator >= 0 && sameName(QByteArrayView(line).first(separator).trimmed(), wanted))
            return i;
    }
    return -1;
}

std::optional<QByteArray> SettingsProfile::rawValue(QByteArrayView section,
                                                    QByteArrayView key) const
{
    const std::optional<SectionSpan> span = findSection(section);
    if (!span)
        return std::nullopt;
    const qsizetype line = findKey(*span, key);
    if (line < 0)
        return std::nullopt;
    const QByteArray& text = m_lines.at(line);
    return text.mid(keySeparator(text) + 1).trimmed();
}

QString SettingsProfile::text(QByteArrayView section, QByteArrayView key,
                              const QString& defaultValue) const
{
    const std::optional<QByteArray> raw = rawValue(section, key);
    if (!raw)
        return defaultValue.left(MaxTextLength);
    QString value = QString::fromUtf8(*raw);
    if (value.size() > MaxTextLength) {
        qsizetype keep = MaxTextLength;
        if (value.at(keep - 1).isHighSurrogate())
            --keep; // never keep half of a character
        value.truncate(keep);
    }
    return value;
}

int SettingsProfile::integer(QByteArrayView section, QByteArrayView key, int defaultValue) const
{
    const std::optional<QByteArray> raw = rawValue(section, key);
    return raw ? readProfileInteger(*raw, defaultValue) : defaultValue;
}

void SettingsProfile::setRawValue(QByteArrayView section, QByteArrayView key,
                                  const QByteArray& value)
{
    const QByteArray keyText = QByteArrayView(key).trimmed().toByteArray();
    const QByteArray valueText = oneLine(value);
    const std::optional<SectionSpan> span = findSection(section);
    if (!span) {
        if (!m_lines.isEmpty() && !m_lines.constLast().trimmed().isEmpty())
            m_lines.append(QByteArray());
        m_lines.append('[' + QByteArrayView(section).trimmed().toByteArray() + ']');
        m_lines.append(keyText + '=' + valueText);
        return;
    }
    const qsizetype line = findKey(*span, key);
    if (line >= 0) {
        // Keep the key as the file spells it; only the value changes.
        QByteArray& text = m_lines[line];
        text = text.left(keySeparator(text)).trimmed() + '=' + valueText;
        return;
    }
    // After the section's last non-blank line, so blank lines that separate
    // it from the next section stay where they are.
    qsizetype insertAt = span->end;
    while (insertAt > span->header + 1 && m_lines.at(insertAt - 1).trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, keyText + '=' + valueText);
}

void SettingsProfile::ensureSection(QByteArrayView section)
{
    if (hasSection(section))
        return;
    if (!m_lines.isEmpty() && !m_lines.constLast().trimmed().isEmpty())
        m_lines.append(QByteArray());
    m_lines.append('[' + QByteArrayView(section).trimmed().toByteArray() + ']');
}

void SettingsProfile::clearSection(QByteArrayView section)
{
    const std::optional<SectionSpan> span = findSection(section);
    if (!span)
        return;
    // A blank line before the next section keeps the two apart.
    const bool separated = span->end < m_lines.size() && span->end - 1 > span->header &&
                           m_lines.at(span->end - 1).trimmed().isEmpty();
    m_lines.remove(span->header + 1, span->end - span->header - 1);
    if (separated)
        m_lines.insert(span->header + 1, QByteArray());
}

void SettingsProfile::setText(QByteArrayView section, QByteArrayView key, const QString& value)
{
    setRawValue(section, key, value.toUtf8());
}

void SettingsProfile::setInteger(QByteArrayView section, QByteArrayView key, int value)
{
    setRawValue(section, key, QByteArray::number(value));
}

int readProfileInteger(QByteArrayView value, int defaultValue)
{
    value = value.trimmed();
    if (value.isEmpty())
        return defaultValue;
    qsizetype i = 0;
    bool negative = false;
    if (value.at(0) == '+' || value.at(0) == '-') {
        negative = value.at(0) == '-';
        ++i;
    }
    long long result = 0;
    for (; i < value.size() && value.at(i) >= '0' && value.at(i) <= '9'; ++i) {
        result = result * 10 + (value.at(i) - '0');
        if (result > 1LL + INT_MAX)
            result = 1LL + INT_MAX; // stays clamped, never overflows
    }
    if (negative)
        result = -result;
    if (result > INT_MAX)
        return INT_MAX;
    if (result < INT_MIN)
        return INT_MIN;
    return int(result);
}

QByteArray encodeProfileStruct(const QByteArray& bytes)
{
    unsigned sum = 0;
    for (char c : bytes)
        sum += static_cast<unsigned char>(c);
    QByteArray checked = bytes;
    checked.append(char(sum & 0xff));
    return checked.toHex().toUpper();
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<QByteArray> decodeProfileStruct(QByteArrayView value, qsizetype size)
{
    if (size < 0 || value.size() != 2 * size + 2)
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(size + 1);
    for (qsizetype i = 0; i < value.size(); i += 2) {
        const int high = hexDigitValue(value.at(i));
        const int low = hexDigitValue(value.at(i + 1));
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(char(high * 16 + low));
    }
    const unsigned char stored = static_cast<unsigned char>(bytes.back());
    bytes.chop(1);
    unsigned sum = 0;
    for (char c : bytes)
        sum += static_cast<unsigned char>(c);
    if ((sum & 0xff) != stored)
        return std::nullopt;
    return bytes;
}
