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

// The text of a condition from `from` to the line's end, a "/* */"
// comment in it as a blank, up to a "//" comment; a comment left open or a
// line joined to the next makes it no expression ("\\").
std::string StyleRun::conditionText(Pos from) const
{
    std::string text;
    for (Pos p = from; p < docLength; ++p) {
        const int c = at(p);
        if (c == '\r' || c == '\n')
            break;
        const int next = p + 1 < docLength ? at(p + 1) : '\n';
        if (c == '/' && next == '/')
            break;
        if (c == '/' && next == '*') {
            Pos q = p + 2;
            while (q + 1 < docLength && at(q) != '\n' && at(q) != '\r' && !(at(q) == '*' && at(q + 1) == '/'))
                ++q;
            if (!(q + 1 < docLength && at(q) == '*' && at(q + 1) == '/'))
                return "\\";
            text += ' ';
            p = q + 1;
            continue;
        }
        text += static_cast<char>(c);
    }
    return text;
}

// A '#' first on its line: the directive's name decides on "#if" blocks
// and definitions. A branch is left out (grey) only when that is certain:
// its condition fails, or an earlier branch of its "#if" was certainly
// taken; a branch that hangs on what Tarn cannot know is drawn as code.
void StyleRun::directive()
{
    SourceStyler::Conditionals& cond = conditionals;
    auto levelMask = [&cond] { return 1u << (cond.level & 31); };
    auto validLevel = [&cond] { return cond.level >= 0 && cond.level < 32; };
    // Enters a branch whose own condition is `holds` (nothing: unknown).
    auto enterBranch = [&](std::optional<bool> holds) {
        const std::uint32_t m = levelMask();
        cond.uncertain &= ~m;
        if (!holds || (*holds && (cond.maybeTaken & m))) {
            // Taken if its condition holds and no earlier branch was.
            cond.inactive &= ~m;
            cond.uncertain |= m;
            if (!holds)
                cond.maybeTaken |= m;
            else
                cond.taken |= m; // no later branch is taken, either way
        } else if (*holds) {
            cond.inactive &= ~m;
            cond.taken |= m;
        } else {
            cond.inactive |= m;
        }
    };
    auto startSection = [&](std::optional<bool> holds) {
        ++cond.level;
        if (validLevel()) {
            const std::uint32_t m = levelMask();
            cond.inactive &= ~m;
            cond.taken &= ~m;
            cond.uncertain &= ~m;
            cond.maybeTaken &= ~m;
            enterBranch(holds);
        }
    };
    // "#elif" and "#else": a branch after one certainly taken is left out.
    auto nextBranch = [&](const std::function<std::optional<bool>()>& holds) {
        if (validLevel()) {
            if (cond.taken & levelMask()) {
                cond.inactive |= levelMask();
                cond.uncertain &= ~levelMask();
            } else {
                enterBranch(holds());
            }
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
        const std::vector<std::string> tokens = preprocessorTokens(conditionText(pos + (ifdef ? 6 : 7)));
        std::vector<std::string> words;
        for (const std::string& token : tokens) {
            if (token[0] != ' ' && token[0] != '\t')
                words.push_back(token);
        }
        std::optional<bool> holds;
        if (words.size() == 1 && isSourceWordStartByte(static_cast<unsigned char>(words[0][0])))
            holds = preprocessorNameDefined(words[0], st.m_symbols);
        if (holds && !ifdef)
            holds = !*holds;
        startSection(holds);
    } else if (match("if")) {
        startSection(preprocessorCondition(conditionText(pos + 2), st.m_symbols));
    } else if (match("else")) {
        nextBranch([] { return std::optional<bool>(true); });
    } else if (match("elif")) {
        nextBranch([&] { return preprocessorCondition(conditionText(pos + 4), st.m_symbols); });
    } else if (match("endif")) {
        if (validLevel()) {
            const std::uint32_t m = levelMask();
            cond.inactive &= ~m;
            cond.taken &= ~m;
            cond.uncertain &= ~m;
            cond.maybeTaken &= ~m;
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
        if (nameEnd == name)
            return;
        SourceStyler::Definition def{line, rest.substr(name, nameEnd - name), {}};
        size_t value = nameEnd;
        if (nameEnd < rest.size() && rest[nameEnd] == '(') { // a macro
            size_t close = nameEnd;
            while (close < rest.size() && rest[close] != ')')
                ++close;
            def.symbol.functionLike = true;
            def.symbol.parameters = rest.substr(nameEnd + 1, close - nameEnd - 1);
            value = close + 1;
        }
        while (value < rest.size() && (rest[value] == ' ' || rest[value] == '\t'))
            ++value;
        if (value < rest.size())
            def.symbol.value = rest.substr(value);
        // A definition in a branch that may not be taken leaves the name
        // unknown.
        if (cond.uncertain)
            def.symbol.state = PreprocessorSymbol::State::Unknown;
        st.m_symbols[def.name] = def.symbol;
        st.m_definitions.push_back(std::move(def));
    } else if (match("undef")) {
        if (cond.inactive)
            return;
        const std::vector<std::string> tokens = preprocessorTokens(restOfLine(pos + 5, false));
        if (!tokens.empty() && isSourceWordStartByte(static_cast<unsigned char>(tokens[0][0]))) {
            PreprocessorSymbol gone;
            gone.state = cond.uncertain ? PreprocessorSymbol::State::Unknown : PreprocessorSymbol::State::Undefined;
            st.m_symbols[tokens[0]] = gone;
            st.m_definitions.push_back({line, tokens[0], gone});
        }
    }
}

} // namespace sourcestyle
