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

QByteArray WordPrefixBefore(const TextPieces& text, qsizetype position)
{
    position = qBound(qsizetype(0), position, text.size());
    qsizetype start = position;
    while (start > 0 && isWordChar(text.at(start - 1)))
        --start;
    const TextPieces word = text.range(start, position);
    return word.first.toByteArray() + word.second.toByteArray();
}

qsizetype WordEndAfter(const TextPieces& text, qsizetype position)
{
    position = qBound(qsizetype(0), position, text.size());
    while (position < text.size() && isWordChar(text.at(position)))
        ++position;
    return position;
}

qsizetype WordEndAfter(QByteArrayView text, qsizetype position)
{
    return WordEndAfter(TextPieces{text, {}}, position);
}

void CollectCompletionWords(const TextPieces& text, QByteArrayView prefix, CompletionWords& words)
{
    // The word characters at the end of the first piece and at the start
    // of the second make one run: that run is joined in a copy of its own,
    // and the rest of each piece, which ends or starts at another byte, is
    // read where it lies.
    qsizetype tail = text.first.size();
    while (tail > 0 && isWordChar(text.first.at(tail - 1)))
        --tail;
    const qsizetype head = WordEndAfter(text.second, 0);
    CollectCompletionWords(text.first.first(tail), prefix, words);
    CollectCompletionWords(text.first.sliced(tail).toByteArray() + text.second.first(head).toByteArray(), prefix,
                           words);
    CollectCompletionWords(text.second.sliced(head), prefix, words);
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
