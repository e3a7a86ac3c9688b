#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

struct pcre2_real_code_8;

// A regular expression of Find in Files searched over whole blocks of a
// file with PCRE2 (8-bit, UTF, JIT), with the meaning it has on each line
// on its own: the line decoded as UTF-8 (a byte that is not UTF-8 taken as
// U+FFFD, a leading byte order mark dropped) and matched as
// QRegularExpression matches it (same options: UTF, caseless without
// Match case; "^" and "$" at the line's start and end, "." never a line
// feed).
//
// How: the block is searched in runs of lines with a second compile of
// the pattern that knows lines (multiline, CR LF or LF ends), and line
// bounds are looked for only around a match. A match inside one line's
// text is that line's hit when the pattern holds no look-around (nothing
// it can look at outside the line); any other match (one that takes a
// line end, or a pattern with look-arounds) names candidate lines, each
// matched again on its own. Runs stop before the lines that PCRE2 would
// read otherwise than the decoded line (bytes that are not UTF-8, a byte
// order mark, a carriage return inside a line): those are matched on
// their own, decoded. A pattern whose meaning can change when more text
// follows or precedes a line (\A \z \Z \G \K, negative look-arounds,
// atomic groups, possessive quantifiers, verbs such as (*COMMIT), and the
// extended syntax) is matched line by line.
//
// A line on which PCRE2 gives up (its match, depth, heap or JIT stack
// limit) is reported as too complex instead of being skipped silently.
class BlockRegex {
public:
    // pattern: the whole expression (with the whole-word guards);
    // userPattern: what the user typed, which decides whether whole runs
    // may be searched (empty: a quoted text, always). Nothing when PCRE2
    // refuses the pattern, or when it would read it otherwise than
    // QRegularExpression does (\C: one byte here, one UTF-16 unit there):
    // the caller then matches each line with QRegularExpression.
    static std::shared_ptr<const BlockRegex> create(const QString& pattern, bool caseless,
                                                    const QString& userPattern);
    ~BlockRegex();
    BlockRegex(const BlockRegex&) = delete;
    BlockRegex& operator=(const BlockRegex&) = delete;

    using Hit = std::function<void(qint64 lineNumber, QByteArrayView line)>;
    using TooComplex = std::function<void(qint64 lineNumber)>;
    // As LineMatcher::scan: hit for each matching line of the block (whole
    // lines, the last may lack its line feed), in order; tooComplex for
    // each line PCRE2 gave up on. Returns the number of line feeds.
    qint64 scan(QByteArrayView block, qint64 firstLine, const Hit& hit,
                const TooComplex& tooComplex) const;

private:
    BlockRegex() = default;
    enum class Result { NoMatch, Match, TooComplex };
    // One line's text (no line feed, no carriage return of its end).
    Result matchLine(QByteArrayView text, bool decode) const;
    class Scan;

    pcre2_real_code_8* m_lineCode = nullptr;
    pcre2_real_code_8* m_runCode = nullptr;
    // A match inside a line's text must still be matched on the line alone.
    bool m_verifyInside = false;
};

// Where the bytes stop being searchable as a run, from a line start: the
// first byte that is not part of valid UTF-8, the start of a byte order
// mark, or a carriage return not followed by a line feed (one at the very
// end of the bytes ends the last line); size when there is none.
qsizetype FirstLineTrouble(QByteArrayView bytes, qsizetype from);
