#include "editor/WordCompletion.h"

namespace {

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isWord(QByteArrayView text)
{
    if (text.isEmpty() || isDigit(text.front()))
        return false;
    for (char c : text) {
        if (!isWordChar(c))
            return false;
    }
    return true;
}

} // namespace

QByteArray WordPrefixBefore(QByteArrayView text, qsizetype position)
{
    position = qBound(qsizetype(0), position, text.size());
    qsizetype start = position;
    while (start > 0 && isWordChar(text.at(start - 1)))
        --start;
    return text.sliced(start, position - start).toByteArray();
}

qsizetype WordEndAfter(QByteArrayView text, qsizetype position)
{
    position = qBound(qsizetype(0), position, text.size());
    while (position < text.size() && isWordChar(text.at(position)))
        ++position;
    return position;
}

void CollectCompletionWords(QByteArrayView text, QByteArrayView prefix, CompletionWords& words)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        if (!isWordChar(text.at(i))) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < size && isWordChar(text.at(i)))
            ++i;
        // A run that starts with a digit is a number ("0x1F", "10ul").
        if (isDigit(text.at(start)) || i - start <= prefix.size())
            continue;
        const QByteArrayView word = text.sliced(start, i - start);
        if (word.startsWith(prefix))
            words.insert(word.toByteArray());
    }
}

void CollectCompletionNames(const QStringList& names, QByteArrayView prefix, CompletionWords& words)
{
    for (const QString& name : names) {
        const QByteArray bytes = name.toUtf8();
        if (bytes.size() > prefix.size() && bytes.startsWith(prefix) && isWord(bytes))
            words.insert(bytes);
    }
}

QByteArray CompletionList(const CompletionWords& words, QByteArrayView prefix, int limit)
{
    QByteArray list;
    int count = 0;
    // The words with the prefix follow one another in byte order.
    for (auto it = words.lower_bound(prefix.toByteArray()); it != words.end() && count < limit;
         ++it) {
        if (!it->startsWith(prefix))
            break;
        if (it->size() == prefix.size())
            continue;
        if (!list.isEmpty())
            list += ' ';
        list += *it;
        ++count;
    }
    return list;
}
