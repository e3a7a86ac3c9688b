#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The "#if" arithmetic behind the greying of left-out C code. Code is greyed
// only when it is certainly left out, so a condition has three answers:
// holds, fails, or unknown. What Tarn knows of a name comes from the
// "#define" and "#undef" lines of the file and the -D and -U options the
// file is compiled with; a name it knows nothing of (a compiler's own
// macro, one from a header) makes the condition unknown unless the rest of
// it decides alone ("0 && X" fails, "1 || X" holds). So do what Tarn does
// not evaluate: calls of function-like macros, __has_include and the like,
// casts, floating numbers, and any text that is not a valid expression.

// What Tarn knows of a name.
struct PreprocessorSymbol {
    enum class State { Defined, Undefined, Unknown };
    State state = State::Defined;
    std::string value;        // of a defined name
    bool functionLike = false; // "#define M(a, b) ..."
    std::string parameters;   // "a, b" for "#define M(a, b) ..."
};
// Names not in the map are unknown.
using PreprocessorSymbols = std::map<std::string, PreprocessorSymbol, std::less<>>;

// Characters of names and numbers in C colouring (every byte of a
// multibyte character counts as a letter), and those a name may start with
// (these and '$': "a$b" is two names, as QScintilla's lexer has it).
bool isSourceWordByte(unsigned char c);
bool isSourceWordStartByte(unsigned char c);

// Tokens of a directive's text: runs of name characters, runs of blanks,
// one or two of "=!<>", one or two of "|&", any other single byte.
std::vector<std::string> preprocessorTokens(std::string_view text);

// Whether "#if TEXT" takes its block, given what is known of the names:
// nothing when that cannot be known.
std::optional<bool> preprocessorCondition(std::string_view text, const PreprocessorSymbols& symbols);

// Whether "#ifdef NAME" takes its block; nothing when unknown.
std::optional<bool> preprocessorNameDefined(std::string_view name, const PreprocessorSymbols& symbols);

// The names that compile options set: "-DNAME", "-DNAME=VALUE",
// "-D NAME", "-DF(x)=..." and "-UNAME", later words winning, the words
// split as a shell would (quotes and backslashes).
PreprocessorSymbols preprocessorSymbolsOfOptions(std::string_view options);
