#include "editor/SourceStyler.h"

#include <algorithm>
#include <cstring>

// The pass follows QScintilla's C++ lexer step for step where that decides a
// style: a byte is looked at once at the top of the loop (line start, line
// continuation), then the current state may end at it, then, in the default
// state, a new one may start at it. "setState" closes the running stretch of
// bytes in its style; "changeState" re-styles the running stretch, as the
// lexer does for a keyword or a string left open at the line's end. Runs of
// bytes that cannot end a state (inside names, comments, strings) are
// skipped in tight loops; everything else takes the general step.

namespace {

using Pos = SourceStyler::Pos;
constexpr int kInactive = CStyle::Inactive;

enum LineFlag : unsigned char {
    Valid = 1,             // styling can start again here
    Continued = 2,         // the previous line ended with a backslash
    InactiveSet = 4,       // styles carry the inactive bit
    StringInDirective = 8, // a directive's string goes on
    DocKeywordBrace = 16,  // a doc keyword's "[" or "{" was seen
};

// Byte classes.
enum : unsigned short {
    Word = 1,       // name and number bytes: letters, digits, . _ $ and bytes >= 0x80
    WordStart = 2,  // letters, _ $ and bytes >= 0x80
    Space = 4,      // ' ' and \t..\r
    Digit = 8,
    OperatorC = 16, // % ^ & * ( ) - + = | { } [ ] : ; < > , / ? ! . ~
    Doxygen = 32,   // what a doc keyword holds: letters and $ @ \ & < > # { } [ ]
    BeforeRegex = 64,
    RawFirstBad = 128, // may not follow R" in a raw string
    StopComment = 256, // ends a skip inside /* */: * \ \r \n (and @ in a doc comment)
    StopDoc = 512,
    StopLine = 1024,   // inside //: \ \r \n (and @ in a doc comment)
    StopString = 2048, // inside "": " \ \r \n
    StopChar = 4096,   // inside '': ' \ \r \n
};

struct ByteClasses {
    unsigned short of[256] = {};
    constexpr ByteClasses()
    {
        for (int c = 0; c < 256; ++c) {
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            const bool digit = c >= '0' && c <= '9';
            unsigned short k = 0;
            if (letter || c == '_' || c == '$' || c >= 0x80)
                k |= Word | WordStart;
            if (digit || c == '.')
                k |= Word;
            if (digit)
                k |= Digit;
            if (c == ' ' || (c >= 0x09 && c <= 0x0d))
                k |= Space;
            if (letter)
                k |= Doxygen;
            of[c] = k;
        }
        for (const char* s = "%^&*()-+=|{}[]:;<>,/?!.~"; *s; ++s)
            of[static_cast<unsigned char>(*s)] |= OperatorC;
        for (const char* s = "$@\\&<>#{}[]"; *s; ++s)
            of[static_cast<unsigned char>(*s)] |= Doxygen;
        for (const char* s = "([{=,:;!%^&*|?~+-"; *s; ++s)
            of[static_cast<unsigned char>(*s)] |= BeforeRegex;
        for (const char* s = " )\\\t\v\f\n"; *s; ++s)
            of[static_cast<unsigned char>(*s)] |= RawFirstBad;
        for (const char* s = "\\\r\n"; *s; ++s)
            of[static_cast<unsigned char>(*s)] |= StopComment | StopDoc | StopLine | StopString | StopChar;
        of['*'] |= StopComment | StopDoc;
        of['@'] |= StopDoc;
        of['"'] |= StopString;
        of['\''] |= StopChar;
    }
};
constexpr ByteClasses kClasses;

inline bool is(int c, unsigned short k)
{
    return (kClasses.of[c & 0xff] & k) != 0;
}

inline int masked(int state)
{
    return state & ~kInactive;
}

// Comments count as blank: the byte before a '/' decides whether it opens a
// regular expression, and '#' opens a directive only after blanks.
inline bool isBlankState(int state)
{
    return state <= CStyle::CommentDoc || state == CStyle::CommentLineDoc || state == CStyle::DocKeyword
           || state == CStyle::DocKeywordError;
}

} // namespace

SourceWordSet::SourceWordSet(std::string_view spaceSeparated)
{
    m_first.fill(-1);
    size_t i = 0;
    while (i < spaceSeparated.size()) {
        while (i < spaceSeparated.size() && is(spaceSeparated[i], Space))
            ++i;
        const size_t start = i;
        while (i < spaceSeparated.size() && !is(spaceSeparated[i], Space))
            ++i;
        if (i == start)
            continue;
        const std::string_view word = spaceSeparated.substr(start, i - start);
        if (contains(word))
            continue;
        m_words.emplace_back(word);
        if (word.size() < 32)
            m_lengths |= 1u << word.size();
        if (word.size() > 16) {
            m_long.emplace_back(word);
            continue;
        }
        Entry entry;
        entry.key = keyOf(word);
        entry.length = std::uint32_t(word.size());
        const unsigned slot = slotOf(entry.key, word.size());
        entry.next = m_first[slot];
        m_first[slot] = std::int32_t(m_entries.size());
        m_entries.push_back(entry);
    }
}

SourceWordSet::Key SourceWordSet::keyOf(std::string_view word)
{
    char bytes[16] = {};
    std::memcpy(bytes, word.data(), std::min<size_t>(word.size(), 16));
    Key key;
    std::memcpy(&key.low, bytes, 8);
    std::memcpy(&key.high, bytes + 8, 8);
    return key;
}

unsigned SourceWordSet::slotOf(const Key& key, size_t length)
{
    const std::uint64_t h = (key.low ^ (key.high * 0x9e3779b97f4a7c15ull) ^ length) * 0xff51afd7ed558ccdull;
    return unsigned(h >> 54);
}

bool SourceWordSet::contains(std::string_view word) const
{
    if (word.empty() || (word.size() < 32 && !(m_lengths >> word.size() & 1)))
        return false;
    if (word.size() > 16)
        return std::find(m_long.begin(), m_long.end(), word) != m_long.end();
    char bytes[16] = {};
    std::memcpy(bytes, word.data(), word.size());
    return containsShort(bytes, word.size());
}

// One styling pass; see the comment at the top of the file.
struct StyleRun {
    SourceStyler& st;
    const SourceStyler::Text& text;
    const SourceStyler::Sink& sink;
    const unsigned char* bytes;
    const Pos docLength;
    Pos limit;      // the position after the last one looked at
    Pos pieceStart; // styles[0] is the style of this position
    Pos piece;
    std::vector<SourceStyler::StyleByte>& styles;

    Pos pos;
    int ch = 0;
    int chNext = 0;
    int chPrev = 0;
    bool atLineStart = true;
    bool atLineEnd = false;
    bool clamped = false;
    int line;

    int state = CStyle::Default;
    Pos segmentStart;
    int activity = 0;
    SourceStyler::Conditionals conditionals;
    SourceStyler::Conditionals recordedConditionals;
    bool continued = false;
    bool inInclude = false;
    bool stringInDirective = false;
    bool inRegexRange = false;
    bool lastWordWasUuid = false;
    int visibleChars = 0;
    int prevNonBlank = ' ';
    int docStyle = CStyle::Default;
    bool docKeywordBrace = false;
    std::string rawEnd;

    StyleRun(SourceStyler& styler, const SourceStyler::Text& t, Pos end, const SourceStyler::Sink& s, Pos pieceSize,
             int firstLine)
        : st(styler), text(t), sink(s), bytes(reinterpret_cast<const unsigned char*>(t.bytes)),
          docLength(t.docLength), limit(end >= t.docLength ? t.docLength + 1 : end), pieceStart(t.start),
          piece(pieceSize), styles(styler.m_styles), pos(t.start), line(firstLine), segmentStart(t.start)
    {
    }

    // -- The text.
    int at(Pos p) const
    {
        const Pos i = p - text.start;
        if (i >= 0 && i < text.size)
            return bytes[i];
        if (p < 0 || p >= docLength)
            return 0;
        return static_cast<unsigned char>(text.byteAt(p));
    }
    bool lineEndAt(Pos p, int c, int next) const
    {
        return p >= docLength || c == '\n' || (c == '\r' && next != '\n');
    }
    void load()
    {
        chPrev = pos > 0 ? at(pos - 1) : 0;
        ch = at(pos);
        chNext = at(pos + 1);
        atLineEnd = lineEndAt(pos, ch, chNext);
    }
    void forward()
    {
        if (pos < limit) {
            atLineStart = atLineEnd;
            if (atLineStart)
                ++line;
            chPrev = ch;
            ++pos;
            ch = chNext;
            chNext = at(pos + 1);
            atLineEnd = lineEndAt(pos, ch, chNext);
        } else {
            clamped = true;
            atLineStart = false;
            chPrev = ' ';
            ch = ' ';
            chNext = ' ';
            atLineEnd = true;
        }
    }
    bool match(const char* s) const
    {
        if (ch != static_cast<unsigned char>(s[0]))
            return false;
        if (!s[1])
            return true;
        if (chNext != static_cast<unsigned char>(s[1]))
            return false;
        for (Pos n = 2; s[n]; ++n) {
            if (at(pos + n) != static_cast<unsigned char>(s[n]))
                return false;
        }
        return true;
    }
    // The running stretch's bytes, at most max - 1 of them, up to a zero
    // byte (the lexer reads them as a C string).
    std::string_view stretch(size_t max, std::string& scratch) const
    {
        const Pos to = std::min(pos, segmentStart + Pos(max) - 1);
        std::string_view s;
        if (segmentStart >= text.start && to <= text.start + text.size) {
            s = std::string_view(text.bytes + (segmentStart - text.start), size_t(std::max<Pos>(to - segmentStart, 0)));
        } else {
            scratch.clear();
            for (Pos p = segmentStart; p < to; ++p)
                scratch += static_cast<char>(at(p));
            s = scratch;
        }
        return s.substr(0, s.find('\0'));
    }

    // -- Styling.
    [[gnu::always_inline]] void fill(Pos from, Pos to, int style)
    {
        if (to <= from)
            return;
        const size_t end = size_t(to - pieceStart);
        if (end > styles.size())
            styles.resize(std::max(end, styles.size() * 2));
        SourceStyler::StyleByte* out = styles.data() + (from - pieceStart);
        const size_t n = size_t(to - from);
        const auto value = static_cast<SourceStyler::StyleByte>(style);
        if (n < 8) {
            for (size_t i = 0; i < n; ++i)
                out[i] = value;
        } else if (n <= 256) { // eight at a time, the last eight overlapping
            struct Eight {
                SourceStyler::StyleByte b[8];
            };
            Eight eight;
            for (auto& b : eight.b)
                b = value;
            for (size_t i = 0; i + 8 < n; i += 8)
                std::memcpy(static_cast<void*>(out + i), &eight, 8);
            std::memcpy(static_cast<void*>(out + n - 8), &eight, 8);
        } else {
            std::memset(static_cast<void*>(out), style, n);
        }
    }
    // Closes the running default stretch before `from`, styles [from, to)
    // and goes on in the default state.
    [[gnu::always_inline]] void token(Pos from, Pos to, int style)
    {
        fill(segmentStart, from, state);
        fill(from, to, style);
        segmentStart = to;
        state = CStyle::Default | activity;
    }
    void setState(int s)
    {
        fill(segmentStart, pos, state);
        segmentStart = pos;
        state = s;
    }
    void changeState(int s) { state = s; }
    void forwardSetState(int s)
    {
        forward();
        setState(s);
    }
    int styleAt(Pos p) const { return p >= pieceStart ? static_cast<unsigned char>(styles[size_t(p - pieceStart)]) : 0; }

    // -- Lines.
    void recordLine();
    void handOver();
    void lineStart();

    // -- States.
    bool endState(); // false: look at the current byte again
    void endIdentifier();
    void endDocKeyword();
    void enterState();
    void directive();
    bool followsReturn() const;
    bool followsPostfixOperator() const;
    std::string restOfLine(Pos from, bool keepSpaces) const;
    void skipRun();
    void runDefault();
    void reload(Pos at);

    void run();
};

// Keeps what a restart needs, at every kLinesPerRecord-th line.
void StyleRun::recordLine()
{
    if (line % SourceStyler::kLinesPerRecord)
        return;
    auto& lines = st.m_lines;
    const size_t index = size_t(line / SourceStyler::kLinesPerRecord);
    if (index >= lines.size())
        lines.resize(std::max(index + 1, lines.size() * 2));
    SourceStyler::LineStart& rec = lines[index];
    rec.state = static_cast<unsigned char>(state);
    rec.flags = static_cast<unsigned char>((continued ? Continued : Valid) | (activity ? InactiveSet : 0)
                                           | (stringInDirective ? StringInDirective : 0)
                                           | (docKeywordBrace ? DocKeywordBrace : 0));
    rec.prevNonBlank = static_cast<unsigned char>(prevNonBlank);
    rec.docStyle = static_cast<unsigned char>(docStyle);
    if (!(conditionals == recordedConditionals)) {
        st.m_conditionals.emplace_back(line, conditionals);
        recordedConditionals = conditionals;
    }
    if (!rawEnd.empty())
        st.m_rawEnds[line] = rawEnd;
}

// Hands the styles so far to the sink at the start of a line where the
// running stretch may be split.
void StyleRun::handOver()
{
    fill(segmentStart, pos, state);
    segmentStart = pos;
    sink(pieceStart, reinterpret_cast<const char*>(styles.data()), size_t(pos - pieceStart));
    pieceStart = pos;
}

void StyleRun::lineStart()
{
    if (state == CStyle::String || state == CStyle::Character)
        setState(state); // an open string's end-of-line style stays on its line
    if (masked(state) == CStyle::Preprocessor && !continued)
        setState(CStyle::Default | activity);
    visibleChars = 0;
    lastWordWasUuid = false;
    inInclude = false;
    inRegexRange = false;
    if (conditionals.inactive) {
        activity = kInactive;
        setState(state | activity);
    }
}

void StyleRun::run()
{
    load();
    if (styles.size() < size_t(std::min(piece, limit - pos) + 4096))
        styles.resize(size_t(std::min(piece, limit - pos) + 4096));
    while (pos < limit) {
        if (atLineStart) {
            if (!continued && pos - pieceStart >= piece)
                handOver();
            recordLine();
            lineStart();
        }
        if (masked(state) == CStyle::Default && !atLineStart) {
            runDefault();
            if (pos >= limit)
                break;
        }
        // A backslash at the end of a line joins the next line to it.
        if (ch == '\\' && (pos + 1 >= docLength || chNext == '\n' || chNext == '\r')) {
            forward();
            if (ch == '\r' && chNext == '\n')
                forward();
            continued = true;
            forward();
            continue;
        }
        if (!endState())
            continue;
        if (masked(state) == CStyle::Default)
            enterState();
        if (!is(ch, Space) && !isBlankState(masked(state))) {
            prevNonBlank = ch;
            ++visibleChars;
        }
        continued = false;
        forward();
        skipRun();
    }
    if (!clamped && atLineStart && pos < docLength)
        recordLine();
    fill(segmentStart, std::min(pos, docLength), state);
    sink(pieceStart, reinterpret_cast<const char*>(styles.data()), size_t(std::min(pos, docLength) - pieceStart));
}

void StyleRun::reload(Pos at)
{
    pos = at;
    chPrev = this->at(pos - 1);
    ch = this->at(pos);
    chNext = this->at(pos + 1);
    atLineStart = false;
    atLineEnd = lineEndAt(pos, ch, chNext);
}

// The default state's common tokens in one loop: blanks, line ends, names
// and keywords, numbers, operators, "//" comments, strings and characters
// on one line. A token is styled as the general step would style it, and
// the same is remembered of it (the last byte that was not blank, for one);
// anything else (comments over lines, directives, a backslash at a line's
// end, a literal's prefix) goes back to the general step, in the state the
// general step would be in.
void StyleRun::runDefault()
{
    if (lastWordWasUuid || inInclude)
        return;
    // Up to 16 bytes before the end of what is looked at and at hand, so
    // a keyword can be read in two 8-byte loads.
    const Pos end = std::min(limit, text.start + text.size - 16);
    const unsigned char* const b = bytes - text.start; // b[p] is the byte at p
    int act = activity;
    Pos p = pos;
    bool moved = false;
    auto isLineEnd = [](int c) { return c == '\n' || c == '\r'; };
    while (p < end) {
        const int c = b[p];
        if (c == ' ' || c == '\t' || (c == '\r' && b[p + 1] == '\n')) {
            ++p;
            moved = true;
            continue;
        }
        if (isLineEnd(c)) {
            // The line's end, then the next line's start, as the general
            // step takes them.
            pos = p + 1;
            ++line;
            moved = true;
            if (pos - pieceStart >= piece)
                handOver();
            recordLine();
            lineStart();
            act = activity;
            p = pos;
            continue;
        }
        const bool number = is(c, Digit) || (c == '.' && is(b[p + 1], Digit));
        if (number || is(c, WordStart)) {
            Pos q = p + 1;
            if (number) {
                for (;; ++q) {
                    const int d = b[q];
                    if ((is(d, Word) && d != '_') || d == '\''
                        || ((d == '+' || d == '-')
                            && (b[q - 1] == 'e' || b[q - 1] == 'E' || b[q - 1] == 'p' || b[q - 1] == 'P')))
                        continue;
                    break;
                }
            } else {
                while (is(b[q], Word) && b[q] != '.')
                    ++q;
            }
            if (q >= end)
                break;
            const int after = b[q];
            if (after == '\\' || (number ? after == '_' : (after == '"' || after == '\''))) {
                // The general step decides: a line joined, a user literal,
                // a string or character prefix.
                fill(segmentStart, p, state);
                prevNonBlank = b[q - 1];
                ++visibleChars;
                segmentStart = p;
                state = (number ? CStyle::Number : CStyle::Identifier) | act;
                reload(q);
                return;
            }
            int style = CStyle::Number;
            if (!number) {
                const char* word = reinterpret_cast<const char*>(b + p);
                const size_t length = size_t(q - p);
                auto holds = [&](const SourceWordSet& set) {
                    return length <= 16 ? set.containsShort(word, length) : set.contains({word, length});
                };
                style = CStyle::Identifier;
                if (holds(st.m_keywords)) {
                    style = CStyle::Keyword;
                    lastWordWasUuid = std::string_view(word, length) == "uuid";
                } else if (!st.m_keywords2.empty() && holds(st.m_keywords2)) {
                    style = CStyle::Keyword2;
                } else if (!st.m_globalClasses.empty() && holds(st.m_globalClasses)) {
                    style = CStyle::GlobalClass;
                }
            }
            token(p, q, style | act);
            moved = true;
            prevNonBlank = b[q - 1];
            ++visibleChars;
            p = q;
            if (lastWordWasUuid)
                break;
            continue;
        }
        if (c == '/' && b[p + 1] == '/' && b[p + 2] != '/' && b[p + 2] != '!') {
            // A plain line comment to the line's end, unless a backslash
            // joins the next line to it. Its line end is the comment's.
            Pos q = p + 2;
            while (q < end && !isLineEnd(b[q]))
                ++q;
            if (q >= end || b[q - 1] == '\\')
                break;
            const Pos next = (b[q] == '\r' && b[q + 1] == '\n') ? q + 2 : q + 1;
            if (next >= end)
                break;
            fill(segmentStart, p, state);
            segmentStart = p;
            state = CStyle::CommentLine | act;
            pos = next;
            ++line;
            moved = true;
            if (pos - pieceStart >= piece)
                handOver();
            recordLine();
            lineStart();
            act = activity;
            setState(CStyle::Default | act);
            p = pos;
            continue;
        }
        if ((c == '"' && b[p - 1] != 'R') || c == '\'') {
            // A string or character closed on its line. The byte after the
            // closing quote is looked at in the same step, without the
            // line-joining rule; a backslash there is a plain byte.
            Pos q = p + 1;
            int last = c;
            bool closed = false;
            while (q < end) {
                const int d = b[q];
                if (d == c) {
                    closed = true;
                    break;
                }
                if (isLineEnd(d))
                    break;
                if (d == '\\') {
                    if (isLineEnd(b[q + 1]))
                        break;
                    if (c == '"' || b[q + 1] == '"' || b[q + 1] == '\'' || b[q + 1] == '\\') {
                        ++q; // the escaped byte is the one looked at
                        if (!is(b[q], Space))
                            last = b[q];
                        ++q;
                        continue;
                    }
                }
                if (!is(d, Space))
                    last = d;
                ++q;
            }
            if (!closed || q + 1 >= end || b[q + 1] == '_')
                break;
            token(p, q + 1, (c == '"' ? CStyle::String : CStyle::Character) | act);
            moved = true;
            prevNonBlank = last;
            ++visibleChars;
            p = q + 1;
            if (b[p] == '\\')
                ++p;
            continue;
        }
        if (is(c, OperatorC) && c != '/') {
            token(p, p + 1, CStyle::Operator | act);
            moved = true;
            prevNonBlank = c;
            ++visibleChars;
            ++p;
            continue;
        }
        break;
    }
    if (moved)
        reload(p);
}

// Moves over bytes that the general step would only pass by: more of a
// name or number, blanks, the inside of a comment or string. Stops before
// any byte that could end the state, start a line or join lines.
void StyleRun::skipRun()
{
    if (atLineStart || atLineEnd)
        return;
    // Up to two bytes before the end of what is looked at and what is at
    // hand, so the byte after the stop can be read as well.
    const Pos end = std::min(limit, text.start + text.size) - 2;
    if (pos >= end)
        return;
    const unsigned char* p = bytes + (pos - text.start);
    const unsigned char* const stop = bytes + (end - text.start);
    const unsigned char* q = p;
    switch (masked(state)) {
    case CStyle::Identifier:
        while (q < stop && is(*q, Word) && *q != '.')
            ++q;
        if (q > p) {
            prevNonBlank = q[-1];
            ++visibleChars;
        }
        break;
    case CStyle::Number:
        while (q < stop && is(*q, Word) && *q != '_')
            ++q;
        if (q > p) {
            prevNonBlank = q[-1];
            ++visibleChars;
        }
        break;
    case CStyle::Default:
        while (q < stop && (*q == ' ' || *q == '\t'))
            ++q;
        break;
    case CStyle::Comment:
    case CStyle::CommentDoc:
    case CStyle::CommentLine:
    case CStyle::CommentLineDoc: {
        static constexpr unsigned short stopOf[] = {0, StopComment, StopLine, StopDoc};
        const int m = masked(state);
        const unsigned short stops = m == CStyle::CommentLineDoc ? (StopLine | StopDoc) : stopOf[m];
        while (q < stop && !is(*q, stops))
            ++q;
        break;
    }
    case CStyle::String:
    case CStyle::Character: {
        if (inInclude)
            return;
        const unsigned short stops = masked(state) == CStyle::String ? StopString : StopChar;
        int last = -1;
        while (q < stop && !is(*q, stops)) {
            if (!is(*q, Space))
                last = *q;
            ++q;
        }
        if (last >= 0) {
            prevNonBlank = last;
            ++visibleChars;
        }
        break;
    }
    default:
        return;
    }
    if (q == p)
        return;
    // The byte before the stop is one the step would have passed, and not a
    // line end (those are stops).
    pos += q - p;
    chPrev = q[-1];
    ch = q[0];
    chNext = q[1];
    atLineStart = false;
    atLineEnd = lineEndAt(pos, ch, chNext);
}

bool StyleRun::endState()
{
    const int act = activity;
    switch (masked(state)) {
    case CStyle::Operator:
        setState(CStyle::Default | act);
        break;
    case CStyle::Number:
        if (ch == '_') {
            changeState(CStyle::UserLiteral | act);
        } else if (!(is(ch, Word) || ch == '\''
                     || ((ch == '+' || ch == '-')
                         && (chPrev == 'e' || chPrev == 'E' || chPrev == 'p' || chPrev == 'P')))) {
            setState(CStyle::Default | act);
        }
        break;
    case CStyle::UserLiteral:
        if (!is(ch, Word))
            setState(CStyle::Default | act);
        break;
    case CStyle::Identifier:
        if (atLineStart || atLineEnd || !is(ch, Word) || ch == '.')
            endIdentifier();
        break;
    case CStyle::Preprocessor:
        // The whole directive is one style; only its comments differ. A
        // string's or <file>'s "//" and "/*" are not comments.
        if (stringInDirective && (ch == '>' || ch == '"' || atLineEnd)) {
            stringInDirective = false;
        } else if (!stringInDirective) {
            if ((inInclude && ch == '<') || ch == '"') {
                stringInDirective = true;
            } else if (ch == '/' && chNext == '*') {
                setState((match("/**") || match("/*!") ? CStyle::PreprocessorCommentDoc : CStyle::PreprocessorComment)
                         | act);
                forward();
            } else if (ch == '/' && chNext == '/') {
                setState(CStyle::Default | act);
            }
        }
        break;
    case CStyle::PreprocessorComment:
    case CStyle::PreprocessorCommentDoc:
        if (ch == '*' && chNext == '/') {
            forward();
            forwardSetState(CStyle::Preprocessor | act);
            return false;
        }
        break;
    case CStyle::Comment:
        if (ch == '*' && chNext == '/') {
            forward();
            forwardSetState(CStyle::Default | act);
        }
        break;
    case CStyle::CommentDoc:
        if (ch == '*' && chNext == '/') {
            forward();
            forwardSetState(CStyle::Default | act);
        } else if ((ch == '@' || ch == '\\') && (is(chPrev, Space) || chPrev == '*') && !is(chNext, Space)) {
            docStyle = CStyle::CommentDoc;
            setState(CStyle::DocKeyword | act);
        }
        break;
    case CStyle::CommentLine:
        if (atLineStart && !continued)
            setState(CStyle::Default | act);
        break;
    case CStyle::CommentLineDoc:
        if (atLineStart && !continued) {
            setState(CStyle::Default | act);
        } else if ((ch == '@' || ch == '\\') && (is(chPrev, Space) || chPrev == '/' || chPrev == '!')
                   && !is(chNext, Space)) {
            docStyle = CStyle::CommentLineDoc;
            setState(CStyle::DocKeyword | act);
        }
        break;
    case CStyle::DocKeyword:
        endDocKeyword();
        break;
    case CStyle::String:
        if (atLineEnd) {
            changeState(CStyle::UnclosedString | act);
        } else if (inInclude) {
            if (ch == '>') {
                forwardSetState(CStyle::Default | act);
                inInclude = false;
            }
        } else if (ch == '\\') {
            forward();
        } else if (ch == '"') {
            if (chNext == '_')
                changeState(CStyle::UserLiteral | act);
            else
                forwardSetState(CStyle::Default | act);
        }
        break;
    case CStyle::RawString:
        if (match(rawEnd.c_str())) {
            for (size_t n = rawEnd.size(); n; --n)
                forward();
            setState(CStyle::Default | act);
            rawEnd.clear();
        }
        break;
    case CStyle::Character:
        if (atLineEnd) {
            changeState(CStyle::UnclosedString | act);
        } else if (ch == '\\') {
            if (chNext == '"' || chNext == '\'' || chNext == '\\')
                forward();
        } else if (ch == '\'') {
            if (chNext == '_')
                changeState(CStyle::UserLiteral | act);
            else
                forwardSetState(CStyle::Default | act);
        }
        break;
    case CStyle::Regex:
        if (atLineStart) {
            setState(CStyle::Default | act);
        } else if (!inRegexRange && ch == '/') {
            forward();
            while (ch >= 'a' && ch <= 'z')
                forward(); // flags
            setState(CStyle::Default | act);
        } else if (ch == '\\') {
            forward(); // (a backslash before the line end joined the lines already)
        } else if (ch == '[') {
            inRegexRange = true;
        } else if (ch == ']') {
            inRegexRange = false;
        }
        break;
    case CStyle::UnclosedString:
        if (atLineStart)
            setState(CStyle::Default | act);
        break;
    case CStyle::Verbatim:
        if (ch == '"') {
            if (chNext == '"')
                forward();
            else
                forwardSetState(CStyle::Default | act);
        }
        break;
    case CStyle::Uuid:
        if (atLineEnd || ch == ')')
            setState(CStyle::Default | act);
        break;
    default:
        break;
    }
    return true;
}

// A name ends: a keyword, or the prefix of a string or character literal
// (L u U u8, and R for a raw string), or a plain name.
void StyleRun::endIdentifier()
{
    const int act = activity;
    std::string scratch;
    const std::string_view s = stretch(1000, scratch);
    if (st.m_keywords.contains(s)) {
        lastWordWasUuid = s == "uuid";
        changeState(CStyle::Keyword | act);
    } else if (st.m_keywords2.contains(s)) {
        changeState(CStyle::Keyword2 | act);
    } else if (st.m_globalClasses.contains(s)) {
        changeState(CStyle::GlobalClass | act);
    }
    const bool literalString = ch == '"';
    if (!literalString && ch != '\'') {
        setState(CStyle::Default | act);
        return;
    }
    size_t length = s.size();
    const bool raw = literalString && chPrev == 'R' && !is(chNext, RawFirstBad);
    if (raw)
        --length; // the R
    const bool prefix = length == 0 || (length == 1 && (s[0] == 'L' || s[0] == 'u' || s[0] == 'U'))
                        || (length == 2 && literalString && s[0] == 'u' && s[1] == '8');
    if (!prefix) {
        setState(CStyle::Default | act);
    } else if (!literalString) {
        changeState(CStyle::Character | act);
    } else if (raw) {
        // The prefix in the raw string's style; the quote then starts it.
        changeState(CStyle::RawString | act);
        setState(CStyle::Default | act);
    } else {
        changeState(CStyle::String | act);
    }
}

void StyleRun::endDocKeyword()
{
    const int act = activity;
    if (docStyle == CStyle::CommentDoc && ch == '*' && chNext == '/') {
        changeState(CStyle::DocKeywordError); // (without the inactive bit, as always)
        forward();
        forwardSetState(CStyle::Default | act);
        docKeywordBrace = false;
    } else if (ch == '[' || ch == '{') {
        docKeywordBrace = true;
    } else if (!is(ch, Doxygen) && !(docKeywordBrace && (ch == ',' || ch == '.'))) {
        std::string scratch;
        const std::string_view s = stretch(100, scratch);
        if (!(is(ch, Space) || ch == 0) || s.empty() || !st.m_docKeywords.contains(s.substr(1)))
            changeState(CStyle::DocKeywordError | act);
        setState(docStyle | act);
        docKeywordBrace = false;
    }
}

void StyleRun::enterState()
{
    const int act = activity;
    if (ch == '@' && chNext == '"') {
        setState(CStyle::Verbatim | act);
        forward();
    } else if (is(ch, Digit) || (ch == '.' && is(chNext, Digit))) {
        setState((lastWordWasUuid ? CStyle::Uuid : CStyle::Number) | act);
        lastWordWasUuid = false;
    } else if (!atLineEnd && (is(ch, WordStart) || ch == '@')) {
        setState((lastWordWasUuid ? CStyle::Uuid : CStyle::Identifier) | act);
        lastWordWasUuid = false;
    } else if (ch == '/' && chNext == '*') {
        setState((match("/**") || match("/*!") ? CStyle::CommentDoc : CStyle::Comment) | act);
        forward(); // the '*' cannot close the comment
    } else if (ch == '/' && chNext == '/') {
        const bool doc = (match("///") && !match("////")) || match("//!");
        setState((doc ? CStyle::CommentLineDoc : CStyle::CommentLine) | act);
    } else if (ch == '/' && (is(prevNonBlank, BeforeRegex) || followsReturn())
               && (!(prevNonBlank == '+' || prevNonBlank == '-') || !followsPostfixOperator())) {
        setState(CStyle::Regex | act);
        inRegexRange = false;
    } else if (ch == '"') {
        if (chPrev == 'R' && masked(styleAt(pos - 1)) == CStyle::RawString) {
            setState(CStyle::RawString | act);
            // R"xyz( ... )xyz"
            rawEnd.assign(1, ')');
            for (Pos p = pos + 1; p < docLength && at(p) != '('; ++p)
                rawEnd += static_cast<char>(at(p));
            rawEnd += '"';
        } else {
            setState(CStyle::String | act);
        }
        inInclude = false;
    } else if (inInclude && ch == '<') {
        setState(CStyle::String | act);
    } else if (ch == '\'') {
        setState(CStyle::Character | act);
    } else if (ch == '#' && visibleChars == 0) {
        directive();
    } else if (is(ch, OperatorC)) {
        setState(CStyle::Operator | act);
    }
}

bool StyleRun::followsReturn() const
{
    Pos lineBegin = pos;
    while (lineBegin > 0 && at(lineBegin - 1) != '\n' && at(lineBegin - 1) != '\r')
        --lineBegin;
    Pos p = pos;
    while (--p > lineBegin) {
        const int c = at(p);
        if (c != ' ' && c != '\t')
            break;
    }
    for (const char* s = "nruter"; *s; ++s, --p) {
        if (p < lineBegin || at(p) != *s)
            return false;
    }
    return true;
}

// Whether the '+' or '-' before the '/' is the end of "++" or "--".
bool StyleRun::followsPostfixOperator() const
{
    for (Pos p = pos - 1; p > 0; --p) {
        const int c = at(p);
        if (c == '+' || c == '-')
            return at(p - 1) == c;
    }
    return false;
}

// The rest of the line from `from`, up to a comment; blanks only if
// `keepSpaces` (tabs always). A position at or past the end of its line
// gives "".
std::string StyleRun::restOfLine(Pos from, bool keepSpaces) const
{
    std::string rest;
    for (Pos p = from; p < docLength; ++p) {
        const int c = at(p);
        if (c == '\r' || c == '\n')
            break;
        const int next = p + 1 < docLength ? at(p + 1) : '\n';
        if (c == '/' && (next == '/' || next == '*'))
            break;
        if (keepSpaces || c != ' ')
            rest += static_cast<char>(c);
    }
    return rest;
}

// A '#' first on its line: the directive's name decides on "#if" blocks
// and definitions.
void StyleRun::directive()
{
    SourceStyler::Conditionals& cond = conditionals;
    auto levelMask = [&cond] { return 1u << (cond.level & 31); };
    auto validLevel = [&cond] { return cond.level >= 0 && cond.level < 32; };
    auto startSection = [&](bool on) {
        ++cond.level;
        if (validLevel()) {
            if (on) {
                cond.inactive &= ~levelMask();
                cond.taken |= levelMask();
            } else {
                cond.inactive |= levelMask();
                cond.taken &= ~levelMask();
            }
        }
    };
    auto invert = [&] {
        if (validLevel()) {
            cond.inactive ^= levelMask();
            cond.taken |= levelMask();
        }
        activity = cond.inactive ? kInactive : 0;
        if (!activity)
            changeState(CStyle::Preprocessor);
    };

    setState(CStyle::Preprocessor | activity);
    do {
        forward();
    } while ((ch == ' ' || ch == '\t') && pos < limit);
    if (atLineEnd) {
        setState(CStyle::Default | activity);
    } else if (match("include")) {
        inInclude = true;
    } else if (match("ifdef") || match("ifndef")) {
        const bool ifdef = match("ifdef");
        const std::string name = restOfLine(pos + (ifdef ? 6 : 7), false);
        startSection(ifdef == (st.m_symbols.find(name) != st.m_symbols.end()));
    } else if (match("if")) {
        startSection(preprocessorConditionHolds(restOfLine(pos + 2, true), st.m_symbols));
    } else if (match("else")) {
        if (!(cond.taken & levelMask()) || !cond.inactive)
            invert();
    } else if (match("elif")) {
        if (!(cond.taken & levelMask())) {
            if (preprocessorConditionHolds(restOfLine(pos + 4, true), st.m_symbols))
                invert();
        } else if (!cond.inactive) {
            invert();
        }
    } else if (match("endif")) {
        if (validLevel()) {
            cond.inactive &= ~levelMask();
            cond.taken &= ~levelMask();
        }
        --cond.level;
        activity = cond.inactive ? kInactive : 0;
        changeState(CStyle::Preprocessor | activity);
    } else if (match("define")) {
        if (cond.inactive)
            return;
        const std::string rest = restOfLine(pos + 6, true);
        size_t name = 0;
        while (name < rest.size() && (rest[name] == ' ' || rest[name] == '\t'))
            ++name;
        size_t nameEnd = name;
        while (nameEnd < rest.size() && is(rest[nameEnd], Word))
            ++nameEnd;
        SourceStyler::Definition def{line, rest.substr(name, nameEnd - name), {}, false};
        size_t value = nameEnd;
        if (nameEnd < rest.size() && rest[nameEnd] == '(') { // a macro
            size_t close = nameEnd;
            while (close < rest.size() && rest[close] != ')')
                ++close;
            def.symbol.parameters = rest.substr(nameEnd + 1, close - nameEnd - 1);
            value = close + 1;
        }
        while (value < rest.size() && (rest[value] == ' ' || rest[value] == '\t'))
            ++value;
        if (value < rest.size())
            def.symbol.value = rest.substr(value);
        else if (def.symbol.parameters.empty())
            def.symbol.value.assign(1, '1'); // "#define NAME" alone
        st.m_symbols[def.name] = def.symbol;
        st.m_definitions.push_back(std::move(def));
    } else if (match("undef")) {
        if (cond.inactive)
            return;
        const std::vector<std::string> tokens = preprocessorTokens(restOfLine(pos + 5, false));
        if (!tokens.empty()) {
            st.m_symbols.erase(tokens[0]);
            st.m_definitions.push_back({line, tokens[0], {}, true});
        }
    }
}

SourceStyler::SourceStyler(const Words& words)
    : m_keywords(words.keywords), m_keywords2(words.keywords2), m_docKeywords(words.docKeywords),
      m_globalClasses(words.globalClasses)
{
}

void SourceStyler::forget()
{
    m_lines.clear();
    m_conditionals.clear();
    m_rawEnds.clear();
    m_definitions.clear();
    m_symbols.clear();
    m_symbolsLine = 0;
}

int SourceStyler::resumeLine(int line) const
{
    for (line -= line % kLinesPerRecord; line > 0; line -= kLinesPerRecord) {
        const size_t index = size_t(line / kLinesPerRecord);
        if (index < m_lines.size() && (m_lines[index].flags & Valid))
            return line;
    }
    return 0;
}

// Drops what was learnt from `line` on and sets the definitions to those
// made before it.
void SourceStyler::prepareFor(int line)
{
    while (!m_conditionals.empty() && m_conditionals.back().first > line)
        m_conditionals.pop_back();
    m_rawEnds.erase(m_rawEnds.upper_bound(line), m_rawEnds.end());
    const bool reuse = line == m_symbolsLine;
    while (!m_definitions.empty() && m_definitions.back().line >= line)
        m_definitions.pop_back();
    if (!reuse) {
        m_symbols.clear();
        for (const Definition& def : m_definitions) {
            if (def.undefine)
                m_symbols.erase(def.name);
            else
                m_symbols[def.name] = def.symbol;
        }
    }
    if (line == 0)
        m_lines.clear();
}

SourceStyler::Pos SourceStyler::style(int line, const Text& text, Pos end, const Sink& sink, Pos piece)
{
    prepareFor(line);
    StyleRun run(*this, text, end, sink, piece, line);
    if (line > 0 && size_t(line / kLinesPerRecord) < m_lines.size()) {
        const LineStart& rec = m_lines[size_t(line / kLinesPerRecord)];
        run.state = rec.state;
        run.continued = rec.flags & Continued;
        run.activity = (rec.flags & InactiveSet) ? kInactive : 0;
        run.stringInDirective = rec.flags & StringInDirective;
        run.docKeywordBrace = rec.flags & DocKeywordBrace;
        run.prevNonBlank = rec.prevNonBlank;
        run.docStyle = rec.docStyle;
        if (!m_conditionals.empty())
            run.conditionals = m_conditionals.back().second;
        const auto raw = m_rawEnds.find(line);
        if (raw != m_rawEnds.end())
            run.rawEnd = raw->second;
    }
    run.recordedConditionals = run.conditionals;
    run.run();
    // The definitions now are those made before the line styling stopped at.
    m_symbolsLine = (!run.clamped && run.atLineStart && run.pos < text.docLength) ? run.line : -1;
    return std::min(run.pos, text.docLength);
}
