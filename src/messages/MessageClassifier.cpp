#include "messages/MessageClassifier.h"

#include <climits>
#include <cstring>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The group the scan finds: index of its opening colon and its digits.
struct Group {
    qsizetype colon = -1;
    qsizetype digitsBegin = 0;
    qsizetype digitsEnd = 0;
};

// The scan shared by the classification and the double click. The index
// starts at 0 but the first character looked at is the one at index 1; each
// step looks at the next character while the index is below length - 3.
std::optional<Group> findGroup(QStringView text)
{
    if (!text.contains(QLatin1Char(':')))
        return std::nullopt;
    const qsizetype length = text.size();
    qsizetype i = 0;
    while (i < length - 3) {
        ++i;
        if (text[i] != QLatin1Char(':'))
            continue;
        qsizetype j = i + 1;
        while (j < length && isDigit(text[j]))
            ++j;
        if (j < length && text[j] == QLatin1Char(':'))
            return Group{i, i + 1, j};
        // Not a group: go on from the character that ended the digits.
        i = j;
    }
    return std::nullopt;
}

int lineValue(QStringView digits)
{
    // A reported line beyond int range is kept at the largest line number
    // rather than wrapping to a negative one.
    long long value = 0;
    for (QChar c : digits) {
        value = value * 10 + (c.unicode() - '0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int>(value);
}

} // namespace

bool isDiagnosticLine(QStringView text)
{
    return findGroup(text).has_value();
}

int classifyMessage(QStringView text)
{
    if (text.isEmpty())
        return IconNone;
    return isDiagnosticLine(text) ? IconDiagnostic : IconInfo;
}

int classifyMessageBytes(QByteArrayView row)
{
    if (row.isEmpty())
        return IconNone;
    // The opening colon stands at index 1 or later with at least two bytes
    // after it (the characters after a matching colon start with an ASCII
    // byte, so this is the same bound as in characters).
    const char* data = row.data();
    const qsizetype size = row.size();
    qsizetype i = 1;
    while (i <= size - 3) {
        const void* found = std::memchr(data + i, ':', size_t(size - 2 - i));
        if (!found)
            break;
        i = static_cast<const char*>(found) - data;
        qsizetype j = i + 1;
        while (j < size && data[j] >= '0' && data[j] <= '9')
            ++j;
        if (j < size && data[j] == ':')
            return IconDiagnostic;
        i = j + 1;
    }
    return IconInfo;
}

std::optional<DiagnosticLocation> parseDiagnostic(QStringView text)
{
    const std::optional<Group> group = findGroup(text);
    if (!group)
        return std::nullopt;
    DiagnosticLocation location;
    location.fileName = collapseBackslashRuns(text.left(group->colon));
    location.line = lineValue(text.mid(group->digitsBegin, group->digitsEnd - group->digitsBegin));
    return location;
}

QString collapseBackslashRuns(QStringView path)
{
    QString result;
    result.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] == QLatin1Char('\\') && i > 0 && path[i - 1] == QLatin1Char('\\'))
            continue;
        result.append(path[i]);
    }
    return result;
}
