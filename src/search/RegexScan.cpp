#include "search/RegexScan.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QByteArray>

#include <cstring>

namespace {

// Runs of lines searched with one match call at a time are cut at about
// this size: PCRE2 counts its match limit over a whole call, so a run must
// not be so long that an expression fine on every line gives up on the
// run (it would then be matched line by line, which is right but slower).
constexpr qsizetype kRunBytes = 64 * 1024;

// What each thread matches with: one pair of offsets is all a search
// needs, and a JIT stack of 32 KiB that may grow to 512 KiB, as
// QRegularExpression gives each thread.
struct MatchState {
    MatchState()
        : data(pcre2_match_data_create(1, nullptr)), context(pcre2_match_context_create(nullptr)),
          stack(pcre2_jit_stack_create(32 * 1024, 512 * 1024, nullptr))
    {
        if (context && stack)
            pcre2_jit_stack_assign(context, nullptr, stack);
    }
    ~MatchState()
    {
        pcre2_jit_stack_free(stack);
        pcre2_match_context_free(context);
        pcre2_match_data_free(data);
    }
    MatchState(const MatchState&) = delete;
    MatchState& operator=(const MatchState&) = delete;

    pcre2_match_data* data;
    pcre2_match_context* context;
    pcre2_jit_stack* stack;
};

MatchState& matchState()
{
    thread_local MatchState state;
    return state;
}

// Match from `from` in subject[0, size); the match's start and end, or
// false with *gaveUp set when PCRE2 gave up (a limit) instead of
// answering.
bool find(const pcre2_code* code, const char* subject, qsizetype size, qsizetype from,
          qsizetype* start, qsizetype* end, bool* gaveUp)
{
    static const char empty = 0;
    MatchState& state = matchState();
    const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(size > 0 ? subject : &empty),
                               PCRE2_SIZE(size), PCRE2_SIZE(from), PCRE2_NO_UTF_CHECK, state.data,
                               state.context);
    *gaveUp = false;
    if (rc == PCRE2_ERROR_NOMATCH)
        return false;
    if (rc < 0 || !state.data) {
        // PCRE2_ERROR_MATCHLIMIT, _DEPTHLIMIT, _HEAPLIMIT, _JIT_STACKLIMIT
        // or _NOMEMORY: the line was not searched to its end.
        *gaveUp = true;
        return false;
    }
    const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(state.data);
    *start = qsizetype(offsets[0]);
    *end = qsizetype(offsets[1]);
    return true;
}

pcre2_code* compile(const QByteArray& pattern, uint32_t options, pcre2_compile_context* context)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()),
                                     PCRE2_SIZE(pattern.size()), options, &error, &offset, context);
    if (code)
        pcre2_jit_compile(code, PCRE2_JIT_COMPLETE); // without JIT PCRE2 interprets
    return code;
}

bool contains(QStringView pattern, const char* const* pieces)
{
    for (; *pieces; ++pieces) {
        if (pattern.contains(QLatin1StringView(*pieces)))
            return true;
    }
    return false;
}

// Whether the expression's meaning on a line can change when the line is
// part of a longer text. Read without parsing, so it errs on the safe side
// (an escaped "\\A" counts too): what PCRE2 could read as an anchor to the
// whole subject, a negative look-around (a line end may be what it refuses),
// an atomic group, possessive quantifier or verb (a line end taken may not
// be given back), \K (the match would start later than the line the search
// was in), \C (a byte of a character), quoting and comments (which could
// join a quantifier and a "+"), and the extended syntax (where white space
// may stand between them).
bool lineBound(QStringView pattern)
{
    static const char* const pieces[] = {"\\A", "\\z", "\\Z", "\\G",  "\\K", "\\C",
                                         "\\Q", "\\E", "(?!", "(?<!", "(?>", "(?#",
                                         "(*",  "*+",  "++",  "?+",   "}+",  nullptr};
    if (contains(pattern, pieces))
        return true;
    for (qsizetype at = pattern.indexOf(QLatin1StringView("(?")); at >= 0;
         at = pattern.indexOf(QLatin1StringView("(?"), at + 2)) {
        for (qsizetype i = at + 2; i < pattern.size(); ++i) {
            const QChar c = pattern[i];
            if (c == QLatin1Char('x'))
                return true;
            if (!c.isLetter() && c != QLatin1Char('-') && c != QLatin1Char('^'))
                break;
        }
    }
    return false;
}

// Look-arounds and conditions may look outside the text a match covers.
bool looksAround(QStringView pattern)
{
    static const char* const pieces[] = {"(?=", "(?<=", "(?(", nullptr};
    return contains(pattern, pieces);
}

// The length of the valid UTF-8 sequence at p (at most `left` bytes), 0
// when it is not one, or is a byte order mark (U+FEFF: Qt drops it at the
// start of a text it decodes).
qsizetype validSequence(const uchar* p, qsizetype left)
{
    const uchar c = p[0];
    qsizetype length = 0;
    uchar low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    }
    if (length == 3 && c == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        return 0;
    return length;
}

} // namespace

qsizetype FirstLineTrouble(QByteArrayView bytes, qsizetype from)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype size = bytes.size();
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 tops = 0x8080808080808080ULL;
    qsizetype i = from;
    while (i < size) {
        // Eight bytes at a time while they are ASCII without a carriage
        // return (a zero byte in word ^ CRs tells one is there).
        if (i + 8 <= size) {
            quint64 word;
            std::memcpy(&word, p + i, 8);
            const quint64 crs = word ^ (ones * '\r');
            if ((word & tops) == 0 && ((crs - ones) & ~crs & tops) == 0) {
                i += 8;
                continue;
            }
        }
        const uchar c = p[i];
        if (c < 0x80) {
            if (c == '\r' && i + 1 < size && p[i + 1] != '\n')
                return i;
            ++i;
            continue;
        }
        const qsizetype length = validSequence(p + i, size - i);
        if (length == 0)
            return i;
        i += length;
    }
    return size;
}

// One scan of a block: where the lines are, and their numbers counted as
// the scan goes (positions asked for never go back).
class BlockRegex::Scan {
public:
    Scan(const BlockRegex& regex, QByteArrayView block, qint64 firstLine, const Hit& hit,
         const TooComplex& tooComplex)
        : m_regex(regex), m_block(block), m_data(block.data()), m_size(block.size()),
          m_line(firstLine), m_hit(hit), m_tooComplex(tooComplex)
    {}

    qint64 run()
    {
        const qint64 firstLine = m_line;
        qsizetype trouble = -1;
        qsizetype pos = 0;
        while (pos < m_size) {
            if (trouble < pos)
                trouble = FirstLineTrouble(m_block, pos);
            const qsizetype end = lineEnd(pos);
            if (!m_regex.m_runCode || trouble < end) {
                onItsOwn(pos, end, trouble < end);
                pos = end + 1;
                continue;
            }
            // Clean lines up to the one holding the trouble, about a run.
            qsizetype stop = m_size;
            if (trouble < m_size) {
                const void* feed = memrchr(m_data + pos, '\n', size_t(trouble - pos));
                stop = static_cast<const char*>(feed) - m_data + 1;
            }
            if (stop - pos > kRunBytes) {
                const qsizetype cut = lineEnd(pos + kRunBytes);
                stop = cut < m_size ? cut + 1 : m_size;
            }
            pos = searchRun(pos, stop);
        }
        lineNumber(m_size);
        return m_line - firstLine;
    }

private:
    // The position of the line feed ending the line at `from`, or the
    // block's end.
    qsizetype lineEnd(qsizetype from) const
    {
        const void* feed = std::memchr(m_data + from, '\n', size_t(m_size - from));
        return feed ? static_cast<const char*>(feed) - m_data : m_size;
    }

    // The end of a line's text: before the carriage return of CR LF (or
    // of the block's last line).
    qsizetype textEnd(qsizetype start, qsizetype end) const
    {
        return end > start && m_data[end - 1] == '\r' ? end - 1 : end;
    }

    qint64 lineNumber(qsizetype at)
    {
        const char* from = m_data + m_counted;
        const char* to = m_data + at;
        while (from < to) {
            const void* feed = std::memchr(from, '\n', size_t(to - from));
            if (!feed)
                break;
            ++m_line;
            from = static_cast<const char*>(feed) + 1;
        }
        m_counted = at;
        return m_line;
    }

    Result onItsOwn(qsizetype start, qsizetype end, bool decode)
    {
        const QByteArrayView text(m_data + start, textEnd(start, end) - start);
        const Result result = m_regex.matchLine(text, decode);
        if (result == Result::Match)
            m_hit(lineNumber(start), text);
        else if (result == Result::TooComplex && m_tooComplex)
            m_tooComplex(lineNumber(start));
        return result;
    }

    // Searches the clean lines [start, stop) (stop after a line feed or at
    // the block's end); returns stop.
    qsizetype searchRun(qsizetype start, qsizetype stop)
    {
        const char* subject = m_data + start;
        const qsizetype length = stop - start;
        qsizetype from = 0;
        while (from < length) {
            qsizetype matchStart = 0, matchEnd = 0;
            bool gaveUp = false;
            if (!find(m_regex.m_runCode, subject, length, from, &matchStart, &matchEnd, &gaveUp)) {
                if (!gaveUp)
                    break;
                // Somewhere in the run PCRE2 gave up: the lines on their own,
                // up to the one it gives up on by itself.
                qsizetype pos = start + from;
                while (pos < stop) {
                    const qsizetype end = lineEnd(pos);
                    const Result result = onItsOwn(pos, end, false);
                    pos = end + 1;
                    if (result == Result::TooComplex)
                        break;
                }
                from = pos - start;
                continue;
            }
            const qsizetype at = start + matchStart;
            // An empty match after the run's last line feed is on no line.
            if (at >= stop && m_data[stop - 1] == '\n')
                break;
            const void* feed = at > start ? memrchr(subject, '\n', size_t(at - start)) : nullptr;
            const qsizetype lineStart = feed ? static_cast<const char*>(feed) - m_data + 1 : start;
            const qsizetype end = lineEnd(at);
            const qsizetype text = textEnd(lineStart, end);
            if (!m_regex.m_verifyInside && start + matchEnd <= text) {
                m_hit(lineNumber(lineStart), QByteArrayView(m_data + lineStart, text - lineStart));
                from = end + 1 - start;
                continue;
            }
            // The lines the match touches, each on its own.
            const qsizetype last = matchEnd > matchStart ? start + matchEnd - 1 : at;
            qsizetype pos = lineStart;
            do {
                const qsizetype lineStop = lineEnd(pos);
                onItsOwn(pos, lineStop, false);
                pos = lineStop + 1;
            } while (pos <= last && pos < stop);
            from = pos - start;
        }
        return stop;
    }

    const BlockRegex& m_regex;
    QByteArrayView m_block;
    const char* m_data;
    qsizetype m_size;
    qint64 m_line; // the number of the line at m_counted
    qsizetype m_counted = 0;
    const Hit& m_hit;
    const TooComplex& m_tooComplex;
};

std::shared_ptr<const BlockRegex> BlockRegex::create(const QString& pattern, bool caseless,
                                                     const QString& userPattern)
{
    // \C is one code unit: a byte here, a UTF-16 unit to QRegularExpression.
    if (userPattern.contains(QLatin1StringView("\\C")))
        return nullptr;
    const QByteArray bytes = pattern.toUtf8();
    const uint32_t options = PCRE2_UTF | (caseless ? PCRE2_CASELESS : 0);
    std::shared_ptr<BlockRegex> regex(new BlockRegex);
    // As QRegularExpression compiles it: the build's line end (LF) and no
    // multiline, so on a line alone "^" and "$" are its start and end.
    regex->m_lineCode = compile(bytes, options, nullptr);
    if (!regex->m_lineCode)
        return nullptr;
    if (!lineBound(userPattern)) {
        // For runs: "^" and "$" at every line's start and end, LF or CR LF.
        pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
        if (context) {
            pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
            regex->m_runCode = compile(bytes, options | PCRE2_MULTILINE, context);
            pcre2_compile_context_free(context);
        }
        regex->m_verifyInside = looksAround(userPattern);
    }
    return regex;
}

BlockRegex::~BlockRegex()
{
    pcre2_code_free(m_runCode);
    pcre2_code_free(m_lineCode);
}

BlockRegex::Result BlockRegex::matchLine(QByteArrayView text, bool decode) const
{
    // A line with bytes that are not UTF-8 (or a byte order mark) is matched
    // as the text it decodes to, as the rows have always been found.
    QByteArray decoded;
    if (decode) {
        decoded = QString::fromUtf8(text).toUtf8();
        text = decoded;
    }
    qsizetype start = 0, end = 0;
    bool gaveUp = false;
    if (find(m_lineCode, text.data(), text.size(), 0, &start, &end, &gaveUp))
        return Result::Match;
    return gaveUp ? Result::TooComplex : Result::NoMatch;
}

qint64 BlockRegex::scan(QByteArrayView block, qint64 firstLine, const Hit& hit,
                        const TooComplex& tooComplex) const
{
    return Scan(*this, block, firstLine, hit, tooComplex).run();
}
