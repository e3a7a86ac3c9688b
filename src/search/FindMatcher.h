#pragma once

#include "messages/RowBytes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QRegularExpression>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class BlockRegex;

// What Find in Files looks for: the text, and how it is compared.
struct FindOptions {
    QString text;
    bool matchCase = false;
    // The match has no letter, digit or underscore (ASCII) right before or
    // after it.
    bool wholeWord = false;
    // The text is a QRegularExpression (Perl syntax), matched line by line.
    bool regularExpression = false;
};

// Why the options cannot be searched for ("Type the text to find.", or
// the regular expression's own error with its offset), or empty.
QString FindOptionsError(const FindOptions& options);

// The options as one regular expression over a line's text (what a line
// matched by LineMatcher holds: the place of the match in it).
QRegularExpression FindPattern(const FindOptions& options);

// A file is taken for binary when a zero byte stands in its first 8 KiB.
constexpr qsizetype kBinaryProbeBytes = 8 * 1024;
bool LooksBinary(QByteArrayView head);

// Finds the lines that hold a match. Works on the bytes of a file: plain
// text is found by a byte search over whole blocks (ASCII folding for an
// ASCII text without Match case), and only the lines that hold a hit are
// decoded; a regular expression, or a text with other letters without Match
// case, is searched over whole blocks too (RegexScan.h), with the meaning it
// has on each line decoded as UTF-8.
//
// Lines end at a line feed; a carriage return just before it is not part
// of the line (so CR LF files give the same lines as LF files).
class LineMatcher {
public:
    // Nothing when FindOptionsError has something to say.
    static std::optional<LineMatcher> create(const FindOptions& options);

    // Calls hit(lineNumber, line) for each line of the block that holds a
    // match, in order; lines are numbered from firstLine. The block is
    // whole lines: the last one may lack its line feed (the end of a file).
    // Returns the number of line feeds in the block.
    // A regular expression may need more backtracking on a line than PCRE2
    // allows: tooComplex(lineNumber) then tells which line was not searched.
    using Hit = std::function<void(qint64 lineNumber, QByteArrayView line)>;
    using TooComplex = std::function<void(qint64 lineNumber)>;
    qint64 scan(QByteArrayView block, qint64 firstLine, const Hit& hit,
                const TooComplex& tooComplex = {}) const;

private:
    enum class Mode { Bytes, FoldedBytes, Text };
    LineMatcher() = default;
    // The first match in the block at or after from whose word boundaries
    // suit, as a position in the block (-1: none).
    qsizetype findBytes(QByteArrayView block, qsizetype from) const;
    bool matchesText(QByteArrayView line) const;

    Mode m_mode = Mode::Bytes;
    QByteArray m_needle; // Bytes: the UTF-8 text; FoldedBytes: lower-cased ASCII
    bool m_wholeWord = false;
    // Text mode: PCRE2 over whole blocks, or (a pattern only
    // QRegularExpression takes) m_regex on each line.
    std::shared_ptr<const BlockRegex> m_blockRegex;
    QRegularExpression m_regex;
};

// The file patterns of the dialog ("*.c *.h", separated by blanks, commas
// or semicolons); an empty list matches every file.
QList<QByteArray> SplitFilePatterns(const QString& patterns);
// True when the file's name (its last component, as bytes) matches one of
// the patterns: "*" any run of bytes, "?" one byte, "[abc]" and "[!a-z]" a
// set; no special meaning for "/".
bool MatchesFilePatterns(QByteArrayView name, const QList<QByteArray>& patterns);
bool MatchesGlob(QByteArrayView pattern, QByteArrayView name);

// Appends the row of one match, "PATH:LINE: text\n", as every row of a
// place in a file is written (AppendPlaceRow): a shown line is cut after
// kMaxShownLineBytes bytes (at a character boundary) and its tabs and other
// bytes kept.
constexpr qsizetype kMaxShownLineBytes = kMaxPlaceLineBytes;
void AppendFindRow(QByteArray& rows, QByteArrayView path, qint64 line, QByteArrayView text);
// Appends the row of a line the regular expression could not be matched
// on, "PATH:LINE: (not searched: ...)\n". It names its place as a match
// row does, so a double click or F4 shows the line; the search gives it
// the diagnostic icon and counts it apart from the matches.
void AppendTooComplexRow(QByteArray& rows, QByteArrayView path, qint64 line);
