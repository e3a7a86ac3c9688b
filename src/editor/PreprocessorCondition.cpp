#include "editor/PreprocessorCondition.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using Tokens = std::vector<std::string>;

bool isAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isBlankToken(const std::string& token)
{
    return std::all_of(token.begin(), token.end(), isBlank);
}

void dropBlankTokens(Tokens& tokens)
{
    tokens.erase(std::remove_if(tokens.begin(), tokens.end(), isBlankToken), tokens.end());
}

bool startsName(const std::string& token)
{
    return !token.empty() && isSourceWordStartByte(static_cast<unsigned char>(token[0]));
}

// The value of a number token as the C library reads it into an int: "12"
// is 12, "0x10" is 0, "abc" is 0, and a value beyond 32 bits keeps its low
// bits (so the result matches what the colouring always computed).
int numberOf(const std::string& token)
{
    return static_cast<int>(static_cast<std::uint32_t>(std::strtoll(token.c_str(), nullptr, 10)));
}

int wrapped(std::int64_t value)
{
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::vector<std::string> splitAtCommas(const std::string& text)
{
    std::vector<std::string> parts;
    if (text.empty())
        return parts;
    parts.emplace_back();
    for (char c : text) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// "defined NAME", "defined(NAME)" and "defined()" become "1" or "0".
void replaceDefined(Tokens& tokens, const PreprocessorSymbols& symbols)
{
    for (size_t i = 0; i + 1 < tokens.size();) {
        if (tokens[i] != "defined") {
            ++i;
            continue;
        }
        bool known = false;
        if (tokens[i + 1] == "(") {
            if (i + 2 < tokens.size() && tokens[i + 2] == ")") {
                tokens.erase(tokens.begin() + long(i) + 1, tokens.begin() + long(i) + 3);
            } else if (i + 3 < tokens.size() && tokens[i + 3] == ")") {
                known = symbols.find(tokens[i + 2]) != symbols.end();
                tokens.erase(tokens.begin() + long(i) + 1, tokens.begin() + long(i) + 4);
            } else {
                tokens.erase(tokens.begin() + long(i) + 1);
            }
        } else {
            known = symbols.find(tokens[i + 1]) != symbols.end();
            tokens.erase(tokens.begin() + long(i) + 1);
        }
        tokens[i].assign(1, known ? '1' : '0');
    }
}

// A known name gives way to the tokens of its value, a macro called with
// arguments to its body with the arguments put in; an unknown name is 0.
// At most 100 steps, so a macro defined through itself ends.
void replaceNames(Tokens& tokens, const PreprocessorSymbols& symbols)
{
    size_t steps = 0;
    for (size_t i = 0; i < tokens.size() && steps < 100;) {
        ++steps;
        if (!startsName(tokens[i])) {
            ++i;
            continue;
        }
        const auto symbol = symbols.find(tokens[i]);
        if (symbol == symbols.end()) {
            tokens[i].assign(1, '0');
            continue;
        }
        Tokens body = preprocessorTokens(symbol->second.value);
        if (symbol->second.parameters.empty()) {
            tokens.erase(tokens.begin() + long(i));
            tokens.insert(tokens.begin() + long(i), body.begin(), body.end());
            continue;
        }
        if (i + 1 >= tokens.size() || tokens[i + 1] != "(") {
            ++i;
            continue;
        }
        const std::vector<std::string> names = splitAtCommas(symbol->second.parameters);
        std::map<std::string, std::string> arguments;
        size_t given = 0;
        size_t t = i + 2;
        for (; t < tokens.size() && given < names.size() && tokens[t] != ")"; ++t) {
            if (tokens[t] != ",")
                arguments[names[given++]] = tokens[t];
        }
        tokens.erase(tokens.begin() + long(i), tokens.begin() + long(std::min(t + 1, tokens.size())));
        dropBlankTokens(body);
        for (std::string& token : body) {
            if (!startsName(token))
                continue;
            const auto argument = arguments.find(token);
            if (argument != arguments.end())
                token = argument->second;
        }
        tokens.insert(tokens.begin() + long(i), body.begin(), body.end());
    }
}

// The first "(" and the ")" that closes it, or {npos, npos}.
std::pair<size_t, size_t> firstBracketPair(const Tokens& tokens)
{
    const auto open = std::find(tokens.begin(), tokens.end(), "(");
    if (open == tokens.end())
        return {std::string::npos, std::string::npos};
    size_t depth = 0;
    for (auto it = open; it != tokens.end(); ++it) {
        if (*it == "(") {
            ++depth;
        } else if (*it == ")" && --depth == 0) {
            return {size_t(open - tokens.begin()), size_t(it - tokens.begin())};
        }
    }
    return {std::string::npos, std::string::npos};
}

bool isOperatorOf(int level, char c)
{
    switch (level) {
    case 0:
        return c == '+' || c == '-' || c == '/' || c == '*' || c == '%';
    case 1:
        return c == '=' || c == '!' || c == '<' || c == '>';
    default:
        return c == '|' || c == '&';
    }
}

int apply(const std::string& op, int a, int b)
{
    const std::int64_t x = a;
    const std::int64_t y = b;
    if (op == "+")
        return wrapped(x + y);
    if (op == "-")
        return wrapped(x - y);
    if (op == "*")
        return wrapped(x * y);
    if (op == "/")
        return wrapped(x / (y ? y : 1));
    if (op == "%")
        return wrapped(x % (y ? y : 1));
    if (op == "<")
        return a < b;
    if (op == "<=")
        return a <= b;
    if (op == ">")
        return a > b;
    if (op == ">=")
        return a >= b;
    if (op == "==")
        return a == b;
    if (op == "!=")
        return a != b;
    if (op == "||")
        return a || b;
    if (op == "&&")
        return a && b;
    return 0; // "=", "|", "=<" and the like
}

void evaluate(Tokens& tokens, const PreprocessorSymbols& symbols, int depth)
{
    dropBlankTokens(tokens);
    replaceDefined(tokens, symbols);
    replaceNames(tokens, symbols);

    // Brackets from the first: the inside is worked out and put in place of
    // the bracketed part. (Bounded: text nested deeper is left as it is.)
    for (int rounds = 0; rounds < 1000 && depth < 100; ++rounds) {
        auto [open, close] = firstBracketPair(tokens);
        if (open == std::string::npos)
            break;
        Tokens inside(tokens.begin() + long(open) + 1, tokens.begin() + long(close));
        evaluate(inside, symbols, depth + 1);
        tokens.insert(tokens.begin() + long(open), inside.begin(), inside.end());
        std::tie(open, close) = firstBracketPair(tokens);
        tokens.erase(tokens.begin() + long(open), tokens.begin() + long(close) + 1);
    }

    // "!x" is 1 or 0; any token starting with '!' ("!=" too) takes the
    // token after it, keeping its truth unless it is "!" itself.
    for (size_t j = 0; j + 1 < tokens.size();) {
        if (tokens[j].empty() || tokens[j][0] != '!') {
            ++j;
            continue;
        }
        bool truth = numberOf(tokens[j + 1]) != 0;
        if (tokens[j] == "!")
            truth = !truth;
        tokens.erase(tokens.begin() + long(j), tokens.begin() + long(j) + 2);
        tokens.insert(tokens.begin() + long(j), truth ? "1" : "0");
    }

    for (int level = 0; level < 3; ++level) {
        for (size_t k = 0; k + 2 < tokens.size();) {
            const std::string& op = tokens[k + 1];
            if (op.empty() || !isOperatorOf(level, op[0])) {
                ++k;
                continue;
            }
            const int result = apply(op, numberOf(tokens[k]), numberOf(tokens[k + 2]));
            tokens.erase(tokens.begin() + long(k), tokens.begin() + long(k) + 3);
            tokens.insert(tokens.begin() + long(k), std::to_string(result));
        }
    }
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
        } else if (isBlank(c)) {
            while (i < text.size() && isBlank(text[i]))
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

bool preprocessorConditionHolds(std::string_view text, const PreprocessorSymbols& symbols)
{
    // "#if 0" and "#if 1", the common cases, without the token lists.
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    if (first != std::string_view::npos) {
        const std::string_view word = text.substr(first, last - first + 1);
        if (std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return word != "0";
    }
    Tokens tokens = preprocessorTokens(text);
    evaluate(tokens, symbols, 0);
    return !(tokens.empty() || (tokens.size() == 1 && (tokens[0].empty() || tokens[0] == "0")));
}
