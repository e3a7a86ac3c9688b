// The styling pass's loop: line starts, the general step, and the tight
// loops for the default state and for runs inside names, comments and
// strings.
#include "editor/SourceStyleRun.h"

namespace sourcestyle {

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

// Goes on at `to`, a byte not at a line's start.
void StyleRun::reload(Pos to)
{
    pos = to;
    chPrev = at(pos - 1);
    ch = at(pos);
    chNext = at(pos + 1);
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
            // Both scans stop at `end` at the latest: a name or number
            // that runs on there (or to the text's end) is the general
            // step's.
            Pos q = p + 1;
            if (number) {
                for (; q < end; ++q) {
                    const int d = b[q];
                    if ((is(d, Word) && d != '_') || d == '\''
                        || ((d == '+' || d == '-')
                            && (b[q - 1] == 'e' || b[q - 1] == 'E' || b[q - 1] == 'p' || b[q - 1] == 'P')))
                        continue;
                    break;
                }
            } else {
                while (q < end && is(b[q], Word) && b[q] != '.')
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
            // (A backslash first on the next line is looked at while the
            // comment still runs: the general step takes it.)
            if (next >= end || b[next] == '\\')
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
        // (An operator before a backslash stays the general step's: a line
        // joined there goes on in the operator's style.)
        if (is(c, OperatorC) && c != '/' && b[p + 1] != '\\') {
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
    case CStyle::Character:
    case CStyle::Preprocessor: {
        if (inInclude && masked(state) == CStyle::String)
            return;
        const unsigned short stops = masked(state) == CStyle::String      ? StopString
                                     : masked(state) == CStyle::Character ? StopChar
                                                                          : StopDirective;
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

} // namespace sourcestyle
