#include "messages/MessageClassifier.h"

#include <climits>
#include <cstring>

namespace {

// The group the scan finds: index of its opening colon and its digits.
struct Group {
    qsizetype colon = -1;
    qsizetype digitsBegin = 0;
    qsizetype digitsEnd = 0;
};

// The first colon in [from, to), or to.
qsizetype findColon(const char* data, qsizetype from, qsizetype to)
{
    const void* found = std::memchr(data + from, ':', size_t(to - from));
    return found ? static_cast<const char*>(found) - data : to;
}

qsizetype findColon(const char16_t* data, qsizetype from, qsizetype to)
{
    const qsizetype found = QStringView(data + from, to - from).indexOf(u':');
    return found < 0 ? to : from + found;
}

// The one scan of the classification and the double click, over a row's
// characters (UTF-16) or its bytes (UTF-8, or other bytes read as
// Latin-1). The first character looked at is the one at index 1, and the
// opening colon must have at least two characters after it. A matching
// group's colons and digits are ASCII, and so is what follows its opening
// colon, so on bytes the scan finds a group exactly when it finds one in
// the row's text.
template <typename Unit>
std::optional<Group> findGroup(const Unit* data, qsizetype size)
{
    qsizetype i = 1;
    while (i <= size - 3) {
        i = findColon(data, i, size - 2);
        if (i == size - 2)
            break;
        qsizetype j = i + 1;
        while (j < size && data[j] >= Unit('0') && data[j] <= Unit('9'))
            ++j;
        if (j < size && data[j] == Unit(':'))
            return Group{i, i + 1, j};
        // Not a group: go on after the character that ended the digits.
        i = j + 1;
    }
    return std::nullopt;
}

std::optional<Group> findGroup(QStringView text)
{
    return findGroup(text.utf16(), text.size());
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
    return findGroup(row.data(), row.size()) ? IconDiagnostic : IconInfo;
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
