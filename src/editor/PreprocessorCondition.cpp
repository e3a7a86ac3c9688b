#include "editor/PreprocessorCondition.h"

#include <cstdint>
#include <set>

namespace {

using Tokens = std::vector<std::string>;

bool isAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool isNameStart(unsigned char c)
{
    return isAsciiLetter(c) || c == '_' || c == '$' || c >= 0x80;
}

bool isNameByte(unsigned char c)
{
    return isNameStart(c) || isDigit(c);
}

// The tokens of an expression: names, numbers (as the preprocessor reads
// them: a digit, or '.' and a digit, then letters, digits, '.', '\'' and an
// exponent's sign), character constants, and operators, the longest first.
// A byte that starts none of these (a string, a backslash, "#") makes the
// text no expression: nothing.
std::optional<Tokens> expressionTokens(std::string_view text)
{
    static const char* const operators[] = {"||", "&&", "==", "!=", "<=", ">=", "<<", ">>", "(", ")", "!", "~", "+",
                                            "-",  "*",  "/",  "%",  "<",  ">",  "&",  "^",  "|",  "?", ":", ","};
    Tokens tokens;
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t start = i;
        if (isBlank(char(c))) {
            ++i;
            continue;
        }
        if (isNameStart(c)) {
            while (i < text.size() && isNameByte(static_cast<unsigned char>(text[i])))
                ++i;
        } else if (isDigit(c) || (c == '.' && i + 1 < text.size() && isDigit(static_cast<unsigned char>(text[i + 1])))) {
            for (++i; i < text.size(); ++i) {
                const auto d = static_cast<unsigned char>(text[i]);
                const char before = text[i - 1];
                if (isNameByte(d) || d == '.' || d == '\''
                    || ((d == '+' || d == '-') && (before == 'e' || before == 'E' || before == 'p' || before == 'P')))
                    continue;
                break;
            }
        } else if (c == '\'') {
            for (++i; i < text.size() && text[i] != '\''; ++i) {
                if (text[i] == '\\')
                    ++i;
            }
            if (i >= text.size())
                return std::nullopt;
            ++i;
        } else {
            bool found = false;
            for (const char* op : operators) {
                const std::string_view o(op);
                if (text.substr(i, o.size()) == o) {
                    i += o.size();
                    found = true;
                    break;
                }
            }
            if (!found)
                return std::nullopt;
        }
        tokens.emplace_back(text.substr(start, i - start));
    }
    return tokens;
}

// A value of the arithmetic: known or not, and in which type ("#if" works
// in intmax_t and uintmax_t).
struct Value {
    bool known = false;
    bool isUnsigned = false;
    std::uint64_t bits = 0;

    static Value of(std::int64_t v) { return {true, false, std::uint64_t(v)}; }
    static Value unknown() { return {}; }
    std::int64_t signedValue() const { return std::int64_t(bits); }
    bool truth() const { return bits != 0; }
};

// The value of a number token; unknown for a floating number, a suffix
// other than u and l, or a value too large.
Value numberValue(const std::string& token)
{
    std::string digits;
    for (char c : token) {
        if (c != '\'')
            digits += c;
    }
    size_t i = 0;
    int base = 10;
    if (digits.size() > 1 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        i = 2;
    } else if (digits.size() > 1 && digits[0] == '0' && (digits[1] == 'b' || digits[1] == 'B')) {
        base = 2;
        i = 2;
    } else if (digits[0] == '0') {
        base = 8;
    }
    const size_t first = i;
    std::uint64_t value = 0;
    for (; i < digits.size(); ++i) {
        const char c = digits[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        if (d >= base)
            break;
        if (value > (UINT64_MAX - std::uint64_t(d)) / std::uint64_t(base))
            return Value::unknown();
        value = value * std::uint64_t(base) + std::uint64_t(d);
    }
    if (i == first)
        return Value::unknown();
    bool isUnsigned = false;
    int longs = 0;
    for (; i < digits.size(); ++i) {
        const char c = digits[i];
        if ((c == 'u' || c == 'U') && !isUnsigned)
            isUnsigned = true;
        else if ((c == 'l' || c == 'L') && longs < 2)
            ++longs;
        else
            return Value::unknown(); // a floating number, another suffix
    }
    if (!isUnsigned && value > std::uint64_t(INT64_MAX))
        return Value::unknown();
    return {true, isUnsigned, value};
}

Value characterValue(const std::string& token)
{
    // 'x', and the common escapes; anything else is not worked out.
    const std::string_view inside = std::string_view(token).substr(1, token.size() - 2);
    if (inside.size() == 1 && inside[0] != '\\')
        return Value::of(static_cast<signed char>(inside[0]));
    if (inside.size() == 2 && inside[0] == '\\') {
        switch (inside[1]) {
        case 'n': return Value::of('\n');
        case 't': return Value::of('\t');
        case 'r': return Value::of('\r');
        case '0': return Value::of(0);
        case '\\': return Value::of('\\');
        case '\'': return Value::of('\'');
        case '"': return Value::of('"');
        default: break;
        }
    }
    return Value::unknown();
}

// "defined NAME" and "defined(NAME)" replaced by 1, 0 or "?" (unknown),
// then the names by their values, again and again: a name with no value
// known, or a call of a function-like macro, is "?"; a name known to be
// undefined is 0. Nothing when the text is no expression.
std::optional<Tokens> expand(const Tokens& in, const PreprocessorSymbols& symbols, std::set<std::string>& active,
                             int depth)
{
    if (depth > 64)
        return Tokens{"?"};
    Tokens out;
    for (size_t i = 0; i < in.size(); ++i) {
        const std::string& t = in[i];
        if (!isNameStart(static_cast<unsigned char>(t[0]))) {
            out.push_back(t);
            continue;
        }
        if (t == "defined") {
            std::string name;
            if (i + 1 < in.size() && in[i + 1] == "(") {
                if (i + 3 >= in.size() || in[i + 3] != ")")
                    return std::nullopt;
                name = in[i + 2];
                i += 3;
            } else if (i + 1 < in.size()) {
                name = in[i + 1];
                i += 1;
            } else {
                return std::nullopt;
            }
            if (!isNameStart(static_cast<unsigned char>(name[0])))
                return std::nullopt;
            const std::optional<bool> is = preprocessorNameDefined(name, symbols);
            out.emplace_back(!is ? "?" : *is ? "1" : "0");
            continue;
        }
        const auto found = symbols.find(t);
        if (found == symbols.end() || found->second.state == PreprocessorSymbol::State::Unknown
            || found->second.functionLike || active.count(t)) {
            out.emplace_back("?");
            // A call's arguments go with it.
            if (i + 1 < in.size() && in[i + 1] == "(") {
                int open = 0;
                for (++i; i < in.size(); ++i) {
                    if (in[i] == "(")
                        ++open;
                    else if (in[i] == ")" && --open == 0)
                        break;
                }
                if (i >= in.size())
                    return std::nullopt;
            }
            continue;
        }
        if (found->second.state == PreprocessorSymbol::State::Undefined) {
            out.emplace_back("0");
            continue;
        }
        const std::optional<Tokens> value = expressionTokens(found->second.value);
        if (!value) {
            out.emplace_back("?");
            continue;
        }
        active.insert(t);
        const std::optional<Tokens> expanded = expand(*value, symbols, active, depth + 1);
        active.erase(t);
        if (!expanded)
            return std::nullopt;
        // (An empty value leaves nothing, as the preprocessor does.)
        out.insert(out.end(), expanded->begin(), expanded->end());
    }
    return out;
}

// A recursive descent over the expanded tokens, by C's precedence. Every
// operator works on unknown values too: the result is unknown unless the
// known operands decide it.
class Evaluator {
public:
    explicit Evaluator(const Tokens& tokens) : m_tokens(tokens) {}

    std::optional<Value> whole()
    {
        const Value v = conditional();
        if (m_failed || m_at != m_tokens.size())
            return std::nullopt;
        return v;
    }

private:
    const std::string& peek() const
    {
        static const std::string end;
        return m_at < m_tokens.size() ? m_tokens[m_at] : end;
    }
    bool take(const char* op)
    {
        if (peek() != op)
            return false;
        ++m_at;
        return true;
    }
    Value fail()
    {
        m_failed = true;
        return Value::unknown();
    }

    Value conditional()
    {
        const Value c = logicalOr();
        if (!take("?"))
            return c;
        const Value a = conditional();
        if (!take(":"))
            return fail();
        const Value b = conditional();
        if (c.known)
            return c.truth() ? a : b;
        if (a.known && b.known && a.bits == b.bits && a.isUnsigned == b.isUnsigned)
            return a;
        return Value::unknown();
    }
    Value logicalOr()
    {
        Value a = logicalAnd();
        while (take("||")) {
            const Value b = logicalAnd();
            if ((a.known && a.truth()) || (b.known && b.truth()))
                a = Value::of(1);
            else if (a.known && b.known)
                a = Value::of(0);
            else
                a = Value::unknown();
        }
        return a;
    }
    Value logicalAnd()
    {
        Value a = binary(0);
        while (take("&&")) {
            const Value b = binary(0);
            if ((a.known && !a.truth()) || (b.known && !b.truth()))
                a = Value::of(0);
            else if (a.known && b.known)
                a = Value::of(1);
            else
                a = Value::unknown();
        }
        return a;
    }

    // The binary operators from | to * by level.
    Value binary(int level)
    {
        static const std::vector<std::vector<std::string>> levels = {
            {"|"}, {"^"}, {"&"}, {"==", "!="}, {"<", ">", "<=", ">="}, {"<<", ">>"}, {"+", "-"}, {"*", "/", "%"},
        };
        if (level == int(levels.size()))
            return unary();
        Value a = binary(level + 1);
        for (;;) {
            const std::string& next = peek();
            if (next.empty() || next.size() > 2 || isNameByte(static_cast<unsigned char>(next[0])))
                return a;
            std::string op;
            for (const std::string& o : levels[size_t(level)]) {
                if (next == o)
                    op = o;
            }
            if (op.empty())
                return a;
            ++m_at;
            const Value b = binary(level + 1);
            a = apply(op, a, b);
        }
    }

    static Value apply(const std::string& op, Value a, Value b)
    {
        if (!a.known || !b.known)
            return Value::unknown();
        const bool u = a.isUnsigned || b.isUnsigned;
        const std::uint64_t x = a.bits;
        const std::uint64_t y = b.bits;
        const std::int64_t sx = a.signedValue();
        const std::int64_t sy = b.signedValue();
        auto result = [u](std::uint64_t bits) { return Value{true, u, bits}; };
        auto truth = [](bool t) { return Value::of(t ? 1 : 0); };
        if (op == "|")
            return result(x | y);
        if (op == "^")
            return result(x ^ y);
        if (op == "&")
            return result(x & y);
        if (op == "==")
            return truth(x == y);
        if (op == "!=")
            return truth(x != y);
        if (op == "<")
            return truth(u ? x < y : sx < sy);
        if (op == ">")
            return truth(u ? x > y : sx > sy);
        if (op == "<=")
            return truth(u ? x <= y : sx <= sy);
        if (op == ">=")
            return truth(u ? x >= y : sx >= sy);
        if (op == "<<" || op == ">>") {
            if (!b.isUnsigned && sy < 0)
                return Value::unknown();
            if (y >= 64)
                return Value::unknown();
            if (op == "<<")
                return Value{true, a.isUnsigned, x << y};
            return Value{true, a.isUnsigned, a.isUnsigned ? x >> y : std::uint64_t(sx >> y)};
        }
        if (op == "+")
            return result(x + y);
        if (op == "-")
            return result(x - y);
        if (op == "*")
            return result(x * y);
        // "/" and "%": dividing by zero is an error the compiler reports.
        if (y == 0 || (!u && sx == INT64_MIN && sy == -1))
            return Value::unknown();
        if (op == "/")
            return result(u ? x / y : std::uint64_t(sx / sy));
        return result(u ? x % y : std::uint64_t(sx % sy));
    }

    Value unary()
    {
        if (take("!")) {
            const Value v = unary();
            return v.known ? Value::of(v.truth() ? 0 : 1) : v;
        }
        if (take("~")) {
            const Value v = unary();
            return v.known ? Value{true, v.isUnsigned, ~v.bits} : v;
        }
        if (take("-")) {
            const Value v = unary();
            return v.known ? Value{true, v.isUnsigned, std::uint64_t(0) - v.bits} : v;
        }
        if (take("+"))
            return unary();
        return primary();
    }

    Value primary()
    {
        if (take("(")) {
            const Value v = conditional();
            if (!take(")"))
                return fail();
            return v;
        }
        if (m_at >= m_tokens.size())
            return fail();
        const std::string& t = m_tokens[m_at++];
        if (t == "?")
            return Value::unknown();
        if (isDigit(static_cast<unsigned char>(t[0])) || t[0] == '.')
            return numberValue(t);
        if (t[0] == '\'')
            return characterValue(t);
        return fail();
    }

    const Tokens& m_tokens;
    size_t m_at = 0;
    bool m_failed = false;
};

// The option words split as a shell would.
std::vector<std::string> shellWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '\'' || c == '"') {
            inWord = true;
            for (++i; i < text.size() && text[i] != c; ++i) {
                if (c == '"' && text[i] == '\\' && i + 1 < text.size()
                    && (text[i + 1] == '"' || text[i + 1] == '\\' || text[i + 1] == '$'))
                    ++i;
                word += text[i];
            }
        } else if (c == '\\' && i + 1 < text.size()) {
            inWord = true;
            word += text[++i];
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

} // namespace

bool isSourceWordStartByte(unsigned char c)
{
    return isAsciiLetter(c) || c == '_' || c == '$' || c >= 0x80;
}

bool isSourceWordByte(unsigned char c)
{
    return isAsciiLetter(c) || c == '_' || c >= 0x80 || (c >= '0' && c <= '9') || c == '.';
}

std::vector<std::string> preprocessorTokens(std::string_view text)
{
    auto isRelation = [](char c) { return c == '=' || c == '!' || c == '<' || c == '>'; };
    auto isLogic = [](char c) { return c == '|' || c == '&'; };
    text = text.substr(0, text.find('\0')); // the directive's text ends at a zero byte
    Tokens tokens;
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        const char c = text[i];
        if (isSourceWordByte(static_cast<unsigned char>(c))) {
            while (i < text.size() && isSourceWordByte(static_cast<unsigned char>(text[i])))
                ++i;
        } else if (c == ' ' || c == '\t') {
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
                ++i;
        } else if (isRelation(c)) {
            ++i;
            if (i < text.size() && isRelation(text[i]))
                ++i;
        } else if (isLogic(c)) {
            ++i;
            if (i < text.size() && isLogic(text[i]))
                ++i;
        } else {
            ++i;
        }
        tokens.emplace_back(text.substr(start, i - start));
    }
    return tokens;
}

std::optional<bool> preprocessorNameDefined(std::string_view name, const PreprocessorSymbols& symbols)
{
    const auto found = symbols.find(name);
    if (found == symbols.end() || found->second.state == PreprocessorSymbol::State::Unknown)
        return std::nullopt;
    return found->second.state == PreprocessorSymbol::State::Defined;
}

std::optional<bool> preprocessorCondition(std::string_view text, const PreprocessorSymbols& symbols)
{
    // "#if 0" and "#if 1", the common cases, at once.
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    if (last - first == 1 && isDigit(static_cast<unsigned char>(text[first])))
        return text[first] != '0';
    const std::optional<Tokens> tokens = expressionTokens(text);
    if (!tokens || tokens->empty())
        return std::nullopt;
    std::set<std::string> active;
    const std::optional<Tokens> expanded = expand(*tokens, symbols, active, 0);
    if (!expanded || expanded->empty())
        return std::nullopt;
    const std::optional<Value> value = Evaluator(*expanded).whole();
    if (!value || !value->known)
        return std::nullopt;
    return value->truth();
}

PreprocessorSymbols preprocessorSymbolsOfOptions(std::string_view options)
{
    PreprocessorSymbols symbols;
    const std::vector<std::string> words = shellWords(options);
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 2 || word[0] != '-' || (word[1] != 'D' && word[1] != 'U'))
            continue;
        std::string rest = word.substr(2);
        if (rest.empty()) {
            if (i + 1 >= words.size())
                break;
            rest = words[++i];
        }
        size_t nameEnd = 0;
        while (nameEnd < rest.size() && isNameByte(static_cast<unsigned char>(rest[nameEnd])))
            ++nameEnd;
        if (nameEnd == 0 || !isNameStart(static_cast<unsigned char>(rest[0])))
            continue;
        const std::string name = rest.substr(0, nameEnd);
        PreprocessorSymbol symbol;
        if (word[1] == 'U') {
            symbol.state = PreprocessorSymbol::State::Undefined;
            symbols[name] = symbol;
            continue;
        }
        size_t value = nameEnd;
        if (value < rest.size() && rest[value] == '(') {
            const size_t close = rest.find(')', value);
            if (close == std::string::npos)
                continue;
            symbol.functionLike = true;
            symbol.parameters = rest.substr(value + 1, close - value - 1);
            value = close + 1;
        }
        if (value < rest.size() && rest[value] == '=')
            symbol.value = rest.substr(value + 1);
        else if (value == rest.size())
            symbol.value.assign(1, '1'); // -DNAME
        else
            continue; // not a definition gcc takes
        symbols[name] = symbol;
    }
    return symbols;
}
