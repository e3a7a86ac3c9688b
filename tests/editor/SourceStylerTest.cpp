// Tarn's C colouring against QScintilla's C++ lexer (with "#if" tracking,
// as Tarn used it before, given Tarn's keywords and the names the texts
// test for as undefined): the same style for every byte of a table of C and
// C++ snippets, with every kind of line end; the same after edits as when
// styled afresh; and the one place where Tarn differs on purpose. Where
// Tarn greys "#if" blocks differently (only when certain) is tested in
// SourceGreyingTest.
#include "editor/CSourceLexer.h"
#include "editor/SourceKind.h"
#include "editor/SourceStyler.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// The style of every byte of `text` as `lexer` gives it in a fresh control.
std::vector<int> stylesWith(QsciLexer* lexer, const QByteArray& text)
{
    QsciScintilla control;
    control.setUtf8(true);
    control.setLexer(lexer);
    if (!qobject_cast<CSourceLexer*>(lexer)) {
        control.SendScintilla(QsciScintillaBase::SCI_SETPROPERTY, "lexer.cpp.track.preprocessor", "1");
        control.SendScintilla(QsciScintillaBase::SCI_SETPROPERTY, "lexer.cpp.update.preprocessor", "1");
    }
    control.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.constData());
    control.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    std::vector<int> styles(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i)
        styles[size_t(i)] = int(control.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(i)));
    control.setLexer(nullptr);
    return styles;
}

// "" if both agree, else the first line where they differ, with the style
// of each byte.
std::string firstDifference(const QByteArray& text, const std::vector<int>& want, const std::vector<int>& got)
{
    for (size_t i = 0; i < want.size(); ++i) {
        if (want[i] == got[i])
            continue;
        const qsizetype begin = text.lastIndexOf('\n', qsizetype(i) - 1) + 1;
        qsizetype end = text.indexOf('\n', qsizetype(i));
        if (end < 0)
            end = text.size();
        std::string out = "at byte " + std::to_string(i) + " of line \"" + text.mid(begin, end - begin).toStdString()
                          + "\"\n  want:";
        for (qsizetype j = begin; j < end; ++j)
            out += " " + std::to_string(want[size_t(j)]);
        out += "\n  got: ";
        for (qsizetype j = begin; j < end; ++j)
            out += " " + std::to_string(got[size_t(j)]);
        return out;
    }
    return {};
}

// QScintilla's lexer with the keywords Tarn gives a window of either
// language, so the two colour the same words.
class ReferenceLexer : public QsciLexerCPP {
public:
    const char* keywords(int set) const override
    {
        return set == 1 ? SourceKeywordsOf(SourceLanguage::CAndCpp) : QsciLexerCPP::keywords(set);
    }
};

// QScintilla's lexer takes a name it was not given a "#define" for as 0;
// Tarn greys only what is certainly left out, so the names the texts here
// test for are given as undefined, as by -U options.
const char* const kUndefinedNames = "-UBAR -UFOO -UX -UUNKNOWN";

std::string compare(const QByteArray& text)
{
    ReferenceLexer reference;
    CSourceLexer tarn;
    tarn.setCompileOptions(QString::fromLatin1(kUndefinedNames));
    return firstDifference(text, stylesWith(&reference, text), stylesWith(&tarn, text));
}

struct Snippet {
    const char* name;
    const char* text;
};

// Each snippet is one line or a few; what each holds is what its name says.
const Snippet kSnippets[] = {
    {"comments", "/* block */ int a; // line\n/* two\n lines */ x;\n//// four slashes\n/**/ y; /***/ z;\n"},
    {"doc comments", "/** doc @param x the x \\brief b */\n/// line doc @return r\n//! bang doc\n/*! qt doc */\n"
                     "/** @param[in] x @ @* @foo \\n ok @return*/\n/** @brief*/\n/**@a*/ /** @{ @} @f$ @param2 */\n"},
    {"keywords", "int main(void) { return sizeof(long) + static_cast<int>(x); }\nclass C : public B { virtual ~C(); };\n"
                 "typedef unsigned char uchar; enum E { A }; struct S; union U; goto done; xor_eq; wchar_t w;\n"},
    {"names", "function_body(argument, text); $dollar; a.b.c; _under; x1; L; u8; R;\n"},
    {"numbers", "x = 0x1F + 1e-5 + 10UL + .5f + 1'000'000 + 0b1010 + 1.5e+10 + 0x1p-3 + 1.e5 + 08 + 3.14e;\n"},
    {"strings", "const char* s = \"a\\\"b\\\\c\"; char c = '\\''; char d = '\\\\'; char e = '\"'; char f = '\\n';\n"
                "s = \"it's\"; s = \"tab\\there\"; s = \"\"; c = ''; s = \"a\" \"b\";\n"},
    {"unclosed strings", "s = \"unterminated\nint a;\nc = 'x\nint b;\n"},
    {"string at the end of the text", "x = \"abc"},
    {"character at the end of the text", "x = 'a"},
    {"joined lines", "x = \"abc\\\ndef\";\nint y;\nx = 'a\\\nb';\n// line \\\ncontinued\nint z;\n"
                     "/// doc \\\ncontinued @param x\nint w;\n// c\n\\\nint v; // d\n\\ x\nint u;\n"},
    {"prefixed and raw strings", "x = L'a' + U\"b\" + u\"c\" + u8\"d\" + LR\"(e)\" + xR\"(f)\" + R\"\\(g)\" + R\"( h)\";\n"
                                 "auto r = R\"x(a \"quoted\" )\" )x\"; auto s = u8R\"(y)\"; auto t = LR\"(multi\nline)\";\n"},
    {"user literals", "auto s = \"abc\"_s; auto c = 'x'_c; int n = 12_km; double d = 1.5_m;\n"},
    {"operators", "a->b; a::b; a<<=2; a?b:c; ~a; !a; a%b; a^b; a|b; a&&b; a.b; a...b; [a]{b}(c); a<b>c; #x\n"},
    {"slashes after operators", "x = a / b; y = (c) / d; z = (/ 2 /); return /re/g; i++ / 2; k-- / 3; \"a=\" / 4;\n"
                                "q = [/[/]x/]; w = x /= 2; v = (a) /* c */ / b;\n"},
    {"directives", "#include <stdio.h>\n#include \"a.h\" // c\n#define X(a, b) ((a) + \\\n  (b))\n"
                   "# define Y 1 /* c */ + 2\n#pragma once\n  #  if 0\n  # define Q\n  #  endif\nx; # not one\n"},
    {"comments and strings in directives", "#include <a//b.h> // c\n#include \"x/*y*/.h\"\n#define S \"a//b\" // c\n"
                                           "#define C '\"' /* c */ x\n#define A 1 /* multi\nline */ + 2\nint b;\n"
                                           "#define D /** doc */ 3\n"},
    {"#if 0 blocks", "#if 0\nint a; // c\n\"s\" 'c' 12 /* d */\n#if 1\nint b;\n#else\nint c;\n#endif\n#else\nint d;\n#endif\n"
                     "#if 1\nint e;\n#elif 0\nint f;\n#else\nint g;\n#endif\n#if 0\na\n#elif 1\nb\n#elif 1\nc\n#else\nd\n#endif\n"},
    {"comment across #endif", "#if 0\n/* comment\n#endif\n*/\nint x;\n#endif\nint y;\n#if 0\nx = \"abc\ny = 'q\n#endif\n"},
    {"#ifdef and definitions", "#define FOO 1\n#ifdef FOO\nint a;\n#endif\n#ifndef FOO\nint b;\n#endif\n#ifdef BAR\nint c;\n"
                               "#endif\n#if FOO > 0 && !defined(BAR)\nint d;\n#endif\n#undef FOO\n#ifdef FOO\nint e;\n#endif\n"
                               "#if defined FOO || (2 * 3 == 6)\nint g;\n#endif\n#ifdef FOO\t\nint i;\n#endif\n"},
    {"stray and nested directives", "#else\nint a;\n#endif\n#endif\n#if 1\nint b;\n#else\n#else\nint c;\n#endif\n"
                                    "#elif\nint f;\n"},
    {"verbatim strings and at signs", "@\"verbatim \"\" text\nmore\"; @interface X\n@end\n"},
    {"bytes of eight bits", "int \xc3\xa4 = 1; /* \xc3\xbc */ \"\xc3\xbc\" '\xc3\xa9' // \xcf\x80\n\xff\xfe x\n"},
    {"unclosed comment at the end of the text", "int a; /* never closed\n more"},
    {"backslashes at the end of the text", "a\\"},
    {"uuid", "uuid(1234-5678) uuid x;\n#define uuid\n"},
    {"benchmark function", "static int function_body(int argument, const char* text)\n{\n\tint total = 0;\n#if 0\n"
                           "\ttotal = -1; /* left out */\n#endif\n\tfor (int i = 0; i < argument; ++i) {\n"
                           "\t\tif (text[i] == '\\n')\n\t\t\ttotal += i * 3; // count the lines\n\t}\n\treturn total;\n}\n"},
};

QByteArray withLineEnds(QByteArray text, const char* lineEnd)
{
    return text.replace("\n", lineEnd);
}

TEST(SourceStyler, GivesEveryByteTheStyleOfQScintillasLexer)
{
    for (const Snippet& snippet : kSnippets) {
        for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
            const QByteArray text = withLineEnds(QByteArray(snippet.text), lineEnd);
            EXPECT_EQ(compare(text), "") << snippet.name << (lineEnd[0] == '\n' ? "" : lineEnd[1] ? " (CR LF)" : " (CR)");
        }
    }
    // A zero byte is a byte like others.
    const QByteArray zeros("int a;\0int b; /* \0 */ \"a\0b\" '\0' @\0\n", 36);
    EXPECT_EQ(compare(zeros), "");
}

// Texts strung together at random from pieces that start and end states in
// every order (a fixed seed, so a failure repeats): the same styles as
// QScintilla's lexer. (No '#' stands alone on its line; see below.)
TEST(SourceStyler, GivesTheStylesOfQScintillasLexerToRandomTexts)
{
    const char* const pieces[] = {
        " ", "\t", "\n", "\r\n", "\r", "x", "int", "return", "R", "u8", "L", "uuid", "_", "$", "@", ".", "1", "0x1F",
        "1e", "+", "-", "*", "/", "//", "///", "/*", "/**", "*/", "\\", "\"", "'", "\\\"", "\\'", "\\\\", "(", ")", "[",
        "]", "{", "}", ";", ",", "=", "<", ">", "!", "&&", "#if 0\n", "#if 1\n", "#else\n", "#endif\n", "#elif X\n",
        "#define X 1\n", "#undef X\n", "#ifdef X\n", "#include <a.h>\n", "#include \"b.h\"\n", "#x", "@param ",
        "\\brief ", "R\"(", ")\"", "R\"d(", ")d\"", "@\"", "\xc3\xa9", "\xff", "'a'", "\"s\"", "_x", "/re/g",
    };
    std::mt19937 random(20240601);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    int differing = 0;
    for (int round = 0; round < 500; ++round) {
        QByteArray text;
        for (int n = 0; n < 250; ++n)
            text += pieces[pick(random)];
        const std::string difference = compare(text);
        if (!difference.empty() && ++differing <= 3)
            ADD_FAILURE() << "round " << round << ": " << difference;
    }
    EXPECT_EQ(differing, 0);
}

// After a '#' with nothing but blanks after it on its line, QScintilla's
// lexer loses count of its lines and takes the next backslash, wherever it
// stands, for one that joins two lines (only while it styles on in one
// stretch, so a file looked different after scrolling): a doc comment's
// "\brief" was plain comment, a "\*/" did not end a comment. Tarn joins
// lines at a backslash at the end of a line only.
TEST(SourceStyler, DiffersFromQScintillasLexerOnlyAfterAnEmptyDirective)
{
    struct Case {
        QByteArray text;
        const char* differs; // from here to the line's end styles differ
        const char* probe;   // in there, styled as follows
        int qscintilla;
        int tarn;
    };
    const Case cases[] = {
        {"#\n/** \\brief x */\nint a;\n", "\\brief", "\\brief", QsciLexerCPP::CommentDoc,
         QsciLexerCPP::CommentDocKeyword},
        {"#  \nint a; /* c\\*/ int b; */\n", " int b;", "int", QsciLexerCPP::Comment, QsciLexerCPP::Keyword},
    };
    for (const Case& c : cases) {
        ReferenceLexer reference;
        CSourceLexer tarn;
        const std::vector<int> want = stylesWith(&reference, c.text);
        const std::vector<int> got = stylesWith(&tarn, c.text);
        const qsizetype from = c.text.indexOf(c.differs);
        const qsizetype to = c.text.indexOf('\n', from) + 1;
        const qsizetype probe = c.text.indexOf(c.probe, from);
        for (qsizetype i = 0; i < c.text.size(); ++i) {
            if (i < from || i >= to) {
                EXPECT_EQ(want[size_t(i)], got[size_t(i)]) << c.text.constData() << " at " << i;
            }
        }
        for (qsizetype i = probe; i < probe + qsizetype(std::strlen(c.probe)); ++i) {
            EXPECT_EQ(want[size_t(i)], c.qscintilla) << c.text.constData() << " at " << i;
            EXPECT_EQ(got[size_t(i)], c.tarn) << c.text.constData() << " at " << i;
        }
        // Without the empty directive both agree.
        EXPECT_EQ(compare(c.text.mid(c.text.indexOf('\n') + 1)), "");
    }
}

// All snippets in one text, edited in many places: after each edit the
// control restyles from the edit on, and every byte has the style a fresh
// styling gives it, Tarn's and QScintilla's.
TEST(SourceStyler, StylesAsAfreshAfterEdits)
{
    QByteArray text;
    for (const Snippet& snippet : kSnippets) {
        if (std::string_view(snippet.name).find("end of the text") == std::string_view::npos)
            text += QByteArray(snippet.text) + "\n";
    }
    QsciScintilla control;
    control.setUtf8(true);
    CSourceLexer lexer;
    lexer.setCompileOptions(QString::fromLatin1(kUndefinedNames));
    control.setLexer(&lexer);
    control.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.constData());
    // Styled in two stretches, the second from the middle of the text.
    control.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, long(text.size() / 2));
    control.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);

    struct Edit {
        const char* find;  // the edit is made before this text
        int remove;        // bytes removed there
        const char* insert;
    };
    const Edit edits[] = {
        {"int main", 0, "/* "},       {"class C", 0, " */"},        {"#if 1\nint e;", 0, "#if 0\n"},
        {"#else\nint g;", 0, "#endif\n"}, {"uuid(", 0, "\"open "},   {"static int function_body", 0, "x\\\n"},
        {"#define FOO 1", 1, ""},     {"int main", 3, "#if 0\nint"}, {"auto r = R", 0, "R\"q("},
        {"@interface", 0, ")q\" "},   {"/** doc", 2, ""},            {"#include <stdio.h>", 0, "#ifdef BAR\n"},
    };
    for (const Edit& edit : edits) {
        const QByteArray now = QByteArray(reinterpret_cast<const char*>(
            control.SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER)));
        const qsizetype at = now.indexOf(edit.find);
        ASSERT_GE(at, 0) << edit.find;
        control.SendScintilla(QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(at), long(edit.remove));
        control.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(at), edit.insert);
        control.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);

        const QByteArray edited(reinterpret_cast<const char*>(
            control.SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER)));
        std::vector<int> styles(size_t(edited.size()));
        for (qsizetype i = 0; i < edited.size(); ++i)
            styles[size_t(i)] = int(control.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(i)));
        CSourceLexer fresh;
        fresh.setCompileOptions(QString::fromLatin1(kUndefinedNames));
        EXPECT_EQ(firstDifference(edited, stylesWith(&fresh, edited), styles), "") << "after inserting " << edit.insert;
        ReferenceLexer reference;
        EXPECT_EQ(firstDifference(edited, stylesWith(&reference, edited), styles), "")
            << "after inserting " << edit.insert;
    }
    control.setLexer(nullptr);
}

} // namespace
