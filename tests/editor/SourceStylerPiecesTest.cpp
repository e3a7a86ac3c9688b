// SourceStyler on its own: styled in small pieces, or again from any line
// it says it can start at, a text gets the styles of one pass over it.
#include "editor/SourceStyler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include <string>
#include <vector>

namespace {

using Pos = SourceStyler::Pos;

SourceStyler::Words words()
{
    return {"int return if else for static const char void", "", "param brief return", ""};
}

// C with every state that spans lines: comments, joined lines in strings,
// comments and directives, raw strings, "#if" blocks with definitions, and
// a stretch with CR LF line ends.
std::string sampleText()
{
    std::string text;
    for (int round = 0; round < 3; ++round) {
        const std::string n = std::to_string(round);
        text += "/* A comment\n   over lines */\nstatic int f" + n + "(int a, const char* s)\n{\n"
                "\tint total = 0; // count\n#if 0\n\ttotal = -1; /* left\n out */ \"str\n#endif\n"
                "\tconst char* t = \"joined \\\nline\";\n#define M" + n + "(x) ((x) + \\\n  1)\n"
                "#if M" + n + "(1) == 2\n\tauto r = R\"d(raw\nstring )\" )d\";\n#else\n\tno();\n#endif\n"
                "/** doc @param a the a \\brief b\n */\n\treturn total; // a \\\n\tjoined comment\n}\n";
        text += "int crlf" + n + " = 1;\r\n/* cr lf\r\n */ x = '\\n';\r\n#ifdef M" + n + "\r\ny;\r\n#endif\r\n";
    }
    text += "x = \"open at the end";
    return text;
}

std::vector<Pos> lineStarts(const std::string& text)
{
    std::vector<Pos> starts{0};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            starts.push_back(Pos(i + 1));
    }
    return starts;
}

SourceStyler::Text textFrom(const std::string& text, Pos start)
{
    SourceStyler::Text t;
    t.bytes = text.data() + start;
    t.start = start;
    t.size = Pos(text.size()) - start;
    t.docLength = Pos(text.size());
    t.byteAt = [&text](Pos p) { return text[size_t(p)]; };
    return t;
}

// Styles from `line` (starting at `start`) to `end` into `styles`; the
// pieces handed over must follow each other.
void styleInto(SourceStyler& styler, const std::string& text, int line, Pos start, Pos end, std::vector<int>& styles,
               Pos piece)
{
    Pos next = start;
    styler.style(line, textFrom(text, start), end,
                 [&](Pos from, const char* s, size_t count) {
                     EXPECT_EQ(from, next);
                     for (size_t i = 0; i < count; ++i)
                         styles[size_t(from) + i] = static_cast<unsigned char>(s[i]);
                     next = from + Pos(count);
                 },
                 piece);
    EXPECT_EQ(next, end);
}

TEST(SourceStylerPieces, SmallPiecesGiveTheStylesOfOnePass)
{
    const std::string text = sampleText();
    const Pos length = Pos(text.size());
    SourceStyler whole(words());
    std::vector<int> once(text.size(), -1);
    styleInto(whole, text, 0, 0, length, once, Pos(1) << 30);
    EXPECT_EQ(std::count(once.begin(), once.end(), -1), 0);
    for (Pos piece : {1, 7, 64}) {
        SourceStyler styler(words());
        std::vector<int> styles(text.size(), -1);
        styleInto(styler, text, 0, 0, length, styles, piece);
        EXPECT_EQ(styles, once) << "pieces of " << piece;
    }
}

void startAgainAtEveryLine(const std::string& text);

// Random texts of pieces that start and end states (a fixed seed).
std::vector<std::string> randomTexts()
{
    const char* const pieces[] = {
        " ", "\t", "\n", "\r\n", "\r", "x", "int", "R", "u8", "@", ".", "1", "1e", "+", "-", "*", "/", "//", "///",
        "/*", "/**", "*/", "\\", "\"", "'", "\\\"", "(", ")", ";", "=", "<", ">", "#if 0\n", "#if 1\n", "#else\n",
        "#endif\n", "#define X 1\n", "#ifdef X\n", "#include <a.h>\n", "@param ", "R\"(", ")\"", "@\"", "\xc3\xa9",
    };
    std::mt19937 random(4711);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    std::vector<std::string> texts;
    for (int round = 0; round < 40; ++round) {
        std::string text;
        for (int n = 0; n < 300; ++n)
            text += pieces[pick(random)];
        texts.push_back(text);
    }
    return texts;
}

TEST(SourceStylerPieces, StartingAgainAtAnyLineGivesTheStylesOfOnePass)
{
    std::vector<std::string> texts = randomTexts();
    texts.insert(texts.begin(), sampleText());
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        startAgainAtEveryLine(text);
    }
}

void startAgainAtEveryLine(const std::string& text)
{
    const Pos length = Pos(text.size());
    const std::vector<Pos> starts = lineStarts(text);
    SourceStyler styler(words());
    std::vector<int> once(text.size(), -1);
    styleInto(styler, text, 0, 0, length, once, Pos(1) << 30);

    int joined = 0;
    for (int line = 0; line < int(starts.size()); ++line) {
        const int from = styler.resumeLine(line);
        ASSERT_LE(from, line);
        // A line that goes on from a backslash is no place to start.
        if (from < line)
            ++joined;
        // Three lines from there, then on to the end: the same styles.
        std::vector<int> styles = once;
        const int stop = std::min(line + 3, int(starts.size()) - 1);
        const Pos stopAt = stop + 1 < int(starts.size()) ? starts[size_t(stop + 1)] : length;
        styleInto(styler, text, from, starts[size_t(from)], stopAt, styles, 1 << 20);
        const int next = styler.resumeLine(stop + 1 < int(starts.size()) ? stop + 1 : stop);
        styleInto(styler, text, next, starts[size_t(next)], length, styles, 1 << 20);
        ASSERT_EQ(styles, once) << "from line " << line;
    }
    if (text == sampleText()) {
        EXPECT_GE(joined, 6); // the joined string, macro and comment of each round
    }
}

// A text whose last token runs to its very end, with no line break after
// it, styled from a buffer of exactly its bytes (a std::string would hide a
// read past the end behind its terminating zero): every byte of the token
// gets its style, and no scan reads beyond the text (the sanitizer build
// reports any such read). Each token comes in lengths around the 16 bytes
// the tight loops keep in hand.
TEST(SourceStylerPieces, ATokenAtTheVeryEndIsStyledWithoutReadingPastTheText)
{
    struct Case {
        const char* kind;
        std::string (*token)(int length);
        int style; // of every byte of the token
    };
    const Case cases[] = {
        {"name", [](int n) { return std::string(size_t(n), 'n'); }, CStyle::Identifier},
        {"name with digits and underscores",
         [](int n) { return ("identifier_" + std::string(size_t(n), '7')); }, CStyle::Identifier},
        {"number", [](int n) { return std::string(size_t(n), '7'); }, CStyle::Number},
        {"hex number", [](int n) { return "0x" + std::string(size_t(n), 'f'); }, CStyle::Number},
        {"number with exponent", [](int n) { return std::string(size_t(n), '1') + ".5e+1"; }, CStyle::Number},
        {"number with separators", [](int n) { return "1'" + std::string(size_t(n), '0'); }, CStyle::Number},
        {"user literal", [](int n) { return "12_" + std::string(size_t(n), 'k'); }, CStyle::UserLiteral},
        {"string", [](int n) { return "\"" + std::string(size_t(n), 's') + "\""; }, CStyle::String},
        {"character", [](int n) { return "'" + std::string(size_t(n), 'c') + "'"; }, CStyle::Character},
        {"unclosed string", [](int n) { return "\"" + std::string(size_t(n), 's'); }, CStyle::UnclosedString},
        {"line comment", [](int n) { return "// " + std::string(size_t(n), 'c'); }, CStyle::CommentLine},
        {"block comment", [](int n) { return "/* " + std::string(size_t(n), 'c') + " */"; }, CStyle::Comment},
        {"operators", [](int n) { return std::string(size_t(n), '+'); }, CStyle::Operator},
    };
    for (const Case& c : cases) {
        for (int length = 1; length <= 40; ++length) {
            const std::string token = c.token(length);
            for (const std::string& before : {std::string("int last = "), std::string(40, ' ') + "x = ",
                                              std::string("a;\nb = ")}) {
                const std::string text = before + token;
                SCOPED_TRACE(std::string(c.kind) + ": \"" + text + "\"");
                const auto exact = std::make_unique<char[]>(text.size());
                std::copy(text.begin(), text.end(), exact.get());
                SourceStyler::Text t;
                t.bytes = exact.get();
                t.size = Pos(text.size());
                t.docLength = t.size;
                t.byteAt = [&exact, &t](Pos p) { return p >= 0 && p < t.size ? exact[size_t(p)] : '\0'; };
                SourceStyler styler(words());
                std::vector<int> styles(text.size(), -1);
                Pos next = 0;
                styler.style(0, t, t.docLength, [&](Pos from, const char* s, size_t count) {
                    for (size_t i = 0; i < count; ++i)
                        styles[size_t(from) + i] = static_cast<unsigned char>(s[i]);
                    next = from + Pos(count);
                });
                ASSERT_EQ(next, t.docLength);
                for (size_t i = before.size(); i < text.size(); ++i)
                    ASSERT_EQ(styles[i], c.style) << "at byte " << i;
            }
        }
    }
}

} // namespace
