#pragma once

// The inside of SourceStyler: one styling pass and the byte classes it
// uses. For SourceStyler's files only.
#include "editor/SourceStyler.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

// The pass follows QScintilla's C++ lexer step for step where that decides a
// style: a byte is looked at once at the top of the loop (line start, line
// continuation), then the current state may end at it, then, in the default
// state, a new one may start at it. "setState" closes the running stretch of
// bytes in its style; "changeState" re-styles the running stretch, as the
// lexer does for a keyword or a string left open at the line's end. Runs of
// bytes that cannot end a state (inside names, comments, strings) are
// skipped in tight loops; everything else takes the general step.

namespace sourcestyle {

using Pos = SourceStyler::Pos;
constexpr int kInactive = CStyle::Inactive;

namespace lineflag {
enum LineFlag : unsigned char {
    Valid = 1,             // styling can start again here
    Continued = 2,         // the previous line ended with a backslash
    InactiveSet = 4,       // styles carry the inactive bit
    StringInDirective = 8, // a directive's string goes on
    DocKeywordBrace = 16,  // a doc keyword's "[" or "{" was seen
};
} // namespace lineflag
using namespace lineflag;

// Byte classes.
enum : unsigned short {
    Word = 1,       // name and number bytes: letters, digits, . _ and bytes >= 0x80
    WordStart = 2,  // letters, _ $ and bytes >= 0x80
    Space = 4,      // ' ' and \t..\r
    Digit = 8,
    OperatorC = 16, // % ^ & * ( ) - + = | { } [ ] : ; < > , / ? ! . ~
    Doxygen = 32,   // what a doc keyword holds: letters and $ @ \ & < > # { } [ ]
    BeforeRegex = 64,  // after one of these a '/' opens a regular expression
    RawFirstBad = 128, // may not follow R" in a raw string
    StopComment = 256, // ends a skip inside /* */: * \ \r \n (and @ in a doc comment)
    StopDoc = 512,
    StopLine = 1024,   // inside //: \ \r \n (and @ in a doc comment)
    StopString = 2048, // inside "": " \ \r \n
    StopChar = 4096,   // inside '': ' \ \r \n
    StopDirective = 8192, // inside a directive: \ \r \n " < > /
};

struct ByteClasses {
    unsigned short of[256] = {};
    constexpr ByteClasses()
    {
        for (int c = 0; c < 256; ++c) {
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            const bool digit = c >= '0' && c <= '9';
            unsigned short k = 0;
            if (letter || c == '_' || c >= 0x80)
                k |= Word | WordStart;
            if (c == '$') // starts a name but does not go on with one
                k |= WordStart;
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
        of[int('*')] |= StopComment | StopDoc;
        of[int('@')] |= StopDoc;
        of[int('"')] |= StopString;
        of[int('\'')] |= StopChar;
        for (const char* s = "\\\r\n\"<>/"; *s; ++s)
            of[static_cast<unsigned char>(*s)] |= StopDirective;
    }
};
inline constexpr ByteClasses kClasses;

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

// One styling pass; see the comment at the top of this file.
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
    std::string conditionText(Pos from) const;
    void skipRun();
    void runDefault();
    void reload(Pos to);

    void run();
};

} // namespace sourcestyle
