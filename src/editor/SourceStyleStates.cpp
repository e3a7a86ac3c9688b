// The styling pass's states: where each ends, which starts in the default
// state, and the directives that decide on "#if" blocks and definitions.
#include "editor/SourceStyleRun.h"

namespace sourcestyle {

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

} // namespace sourcestyle
