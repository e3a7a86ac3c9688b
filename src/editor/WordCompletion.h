#pragma once

#include "editor/TextPieces.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <set>

// Word completion (Ctrl+Space in a source window): the words of the open
// source windows and the function names of the active project's tree that
// begin with the letters before the caret, as the sorted list the edit
// control's completion popup shows.
//
// A word is a C identifier: a letter or '_' followed by letters, digits
// and '_' (ASCII). "0x1F" and "3rd" are no words; "x_1" is one.

using CompletionWords = std::set<QByteArray>; // sorted byte by byte

// The word characters just before `position` (the prefix being typed).
QByteArray WordPrefixBefore(const TextPieces& text, qsizetype position);
// One past the last word character at or after `position`.
qsizetype WordEndAfter(QByteArrayView text, qsizetype position);
qsizetype WordEndAfter(const TextPieces& text, qsizetype position);

// Adds every word of the text that begins with `prefix` and is longer than
// it (the prefix alone completes nothing).
void CollectCompletionWords(QByteArrayView text, QByteArrayView prefix, CompletionWords& words);
// The same for a text in two pieces: a word across the join is one word.
void CollectCompletionWords(const TextPieces& text, QByteArrayView prefix, CompletionWords& words);
// The same for names known otherwise (the project's functions); names that
// are not words are left out.
void CollectCompletionNames(const QStringList& names, QByteArrayView prefix,
                            CompletionWords& words);

// The words that begin with `prefix`, separated by blanks, in order, at
// most `limit` of them: the form the control's completion list takes.
QByteArray CompletionList(const CompletionWords& words, QByteArrayView prefix, int limit);

// What the popup offers at most, so a prefix of one letter in a file of
// millions of words still opens at once.
inline constexpr int kMaxCompletionWords = 5000;

// A window whose names completion offers besides the words of the open
// sources: the project window (its tree's function names). Completion asks
// the one that was active last.
class CompletionNameSource {
public:
    virtual ~CompletionNameSource() = default;
    virtual QStringList completionNames() const = 0;
};
