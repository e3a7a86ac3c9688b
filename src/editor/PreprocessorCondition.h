#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// The "#if" arithmetic behind the greying of left-out C code. It follows the
// rules the colouring has always used (those of QScintilla's C++ lexer), so
// a file greys the same blocks as before, faults included: the text of the
// line is cut into tokens, "defined" and known names are replaced by their
// values, unknown names by 0, brackets are worked out first, then "!",
// then + - * / %, comparisons, && and || strictly left to right; the line
// holds when one token other than "0" is left or more than one is.

// A name a "#define" line gave a value; a macro has parameter names.
struct PreprocessorSymbol {
    std::string value;
    std::string parameters; // "a,b" for "#define M(a,b) ..."; empty: no macro
};
using PreprocessorSymbols = std::map<std::string, PreprocessorSymbol, std::less<>>;

// Characters of names and numbers in C colouring (every byte of a
// multibyte character counts as a letter), and those a name may start with
// (these and '$': "a$b" is two names, as QScintilla's lexer has it).
bool isSourceWordByte(unsigned char c);
bool isSourceWordStartByte(unsigned char c);

// Tokens of a directive's text: runs of name characters, runs of blanks,
// one or two of "=!<>", one or two of "|&", any other single byte.
std::vector<std::string> preprocessorTokens(std::string_view text);

// Whether "#if TEXT" takes its block, given the names defined so far.
bool preprocessorConditionHolds(std::string_view text, const PreprocessorSymbols& symbols);
