#include "editor/SourceScanner.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

// "name@line" for each definition, so a row reads like the source.
QByteArrayList found(QByteArrayView source)
{
    QByteArrayList out;
    for (const ScannedDefinition& d : ScanDefinitions(source))
        out << d.name + '@' + QByteArray::number(d.line);
    return out;
}

// Definitions and quoted includes, both in the one pass the users make.
class Both : public SourceScanReceiver {
public:
    void definitionFound(const ScannedDefinition& d) override { definitions.push_back(d); }
    void includeFound(const QByteArray& name) override { includes << name; }
    std::vector<ScannedDefinition> definitions;
    QByteArrayList includes;
};

Both scanBoth(QByteArrayView source)
{
    Both both;
    ScanDefinitionsAndQuotedIncludes(source, both);
    return both;
}

// A source and what the scan finds in it.
struct ScanRow {
    const char* name;
    QByteArray source;
    QByteArrayList expected;
};

QByteArrayList tokens(QByteArrayView source)
{
    SourceTokenizer tokenizer(source);
    QByteArrayList out;
    for (QByteArrayView t = tokenizer.NextToken(); !t.isEmpty(); t = tokenizer.NextToken())
        out << t.toByteArray();
    return out;
}

} // namespace

TEST(SourceScanner, Tokens)
{
    const ScanRow rows[] = {
        {"words keep qualifiers and operators",
         "Shape::~Shape a[i] p->next #include operator<",
         {"Shape::~Shape", "a[i]", "p->next", "#include", "operator<"}},
        {"punctuation stands alone",
         "{}();=*&%,\"'/!",
         {"{", "}", "(", ")", ";", "=", "*", "&", "%", ",", "\"", "'", "/", "!"}},
        {"block comment skipped, no nesting", "a /* b /* c */ d */", {"a", "d", "*", "/"}},
        {"line comment to the break", "a // b c\r\nd", {"a", "d"}},
        {"comment ends a word", "a/*x*/b//y", {"a", "b"}},
        {"lone slash", "a / b /", {"a", "/", "b", "/"}},
        {"word ending at end of file", "int main", {"int", "main"}},
        {"lone CR is a word character", "a\rb c", {"a\rb", "c"}},
        {"CR LF is a break", "a\r\nb", {"a", "b"}},
        {"unterminated block comment", "a /* b", {"a"}},
        {"only whitespace and comments", " \t\r\n// x\n/**/", {}},
        {"empty", "", {}},
        {"zero byte is a word character", QByteArray("a\0b c", 5), {QByteArray("a\0b", 3), "c"}},
    };
    for (const ScanRow& row : rows)
        EXPECT_EQ(tokens(row.source), row.expected) << row.name;
}

TEST(SourceScanner, Definitions)
{
    const ScanRow rows[] = {
        {"main", "int main(void)\n{\n}\n", {"main@0"}},
        {"const member", "void Shape::draw() const {", {"Shape::draw@0"}},
        {"initialiser list",
         "Point::Point(int x) : x_(x) {\n}\nint g() {}",
         {"Point::Point@0", "g@2"}},
        {"keyword heads", "if (x) {} while (n--) {} for (;;) {} switch (c) {} catch (...) {}", {}},
        {"prototype", "int f(int);", {}},
        {"K&R definition", "int f(a) int a; {", {}},
        {"inside a comment", "/* int f() { } */ // int g() {\n", {}},
        {"comment between ) and {", "int f() /* here */\r\n// and here\r\n{", {"f@0"}},
        {"char*name", "char*name(void) {", {"name@0"}},
        {"overloads listed twice", "int f(int) {}\nint f(double) {}\n", {"f@0", "f@1"}},
        {"operator<", "bool operator<(const A& a) const {", {"operator<@0"}},
        {"punctuation operator reports the character", "A& operator=(const A&) {", {"=@0"}},
        {"macro before a brace", "FOREACH(x) {", {"FOREACH@0"}},
        {"call inside a body is no definition", "void f() { printf(\"x\"); g(1); }", {"f@0"}},
        {"nested parentheses end at the first )", "int f(int (*p)(int)) {", {}},
        {"not a keyword: bool, inline", "bool ok() {}\ninline int sq(int x) {}", {"ok@0", "sq@1"}},
        {"definition on a later CR LF line", "\r\n\r\nint f()\r\n{", {"f@2"}},
        {"breaks inside comments count", "/*\n*/ // x\r\n\nint f() {", {"f@3"}},
        {"candidate re-examined", "x y(a) {", {"y@0"}},
        {"end inside the parameters", "int f(int a", {}},
        {"end after the parameters", "int f(int a)", {}},
        {"initialiser list to end of file", "A::A() : b(1)", {"A::A@0"}},
        {"empty", "", {}},
    };
    for (const ScanRow& row : rows)
        EXPECT_EQ(found(row.source), row.expected) << row.name;
}

TEST(SourceScanner, QuotedIncludes)
{
    const ScanRow rows[] = {
        {"quoted", "#include \"util.h\"\n#include \"b.h\"", {"util.h", "b.h"}},
        {"angle", "#include <stdio.h>", {}},
        {"spaced hash", "# include \"a.h\"", {}},
        {"cut at a slash", "#include \"sub/a.h\"", {"sub"}},
        {"cut at a space", "#include \"my file.h\"", {"my"}},
        {"quote at end of file", "#include \"", {}},
        {"include at end of file", "#include", {}},
        {"commented out", "// #include \"a.h\"\n/* #include \"b.h\" */", {}},
        {"an include where its quote should be", "#include #include \"a.h\"", {}},
        {"a name is never the start of another", "#include \"#include\" \"b.h\"", {"#include"}},
    };
    for (const ScanRow& row : rows)
        EXPECT_EQ(scanBoth(row.source).includes, row.expected) << row.name;
}

// The pass that also finds includes finds exactly the definitions of the
// scan for definitions alone, in the same order: sources with includes in
// odd places, and sources made at random from the tokens that matter to
// the patterns.
TEST(SourceScanner, IncludesDoNotDisturbTheDefinitions)
{
    const char* const pieces[] = {"#include", "\"", "a.h", "f", "int", "(", ")", "{", "}", "const",
                                  ":", ";", " ", "\n", "\r\n", "\r", "/*", "*/", "//", "/"};
    QList<QByteArray> sources = {
        "#include \"a.h\"\nint f() {}\n#include \"b.h\"\nA::A() : x(1) {\n#include \"c.h\"\n}",
        "#include #include \"a.h\"", "#include \"#include\" \"b.h\"", "f() { #include \"in.h\" }",
        "g(#include \"p.h\") const", "#include \"", "h(", ""};
    quint32 seed = 12345;
    for (int n = 0; n < 3000; ++n) {
        QByteArray source;
        for (int i = 0; i < 40; ++i) {
            seed = seed * 1103515245u + 12345u;
            source += pieces[(seed >> 16) % std::size(pieces)];
        }
        sources << source;
    }
    for (const QByteArray& source : sources)
        EXPECT_EQ(scanBoth(source).definitions, ScanDefinitions(source)) << source.toStdString();
}

TEST(SourceScanner, BadInput)
{
    // One 10 MB word: cut to the token limit; scanning still finds what follows.
    QByteArray huge(10 * 1024 * 1024, 'x');
    huge += " f() {}";
    const auto defs = ScanDefinitions(huge);
    ASSERT_EQ(defs.size(), 1u);
    EXPECT_EQ(defs[0].name, "f");
    SourceTokenizer tokenizer(huge);
    EXPECT_EQ(tokenizer.NextToken().size(), SourceTokenizer::kMaxTokenLength);

    // 100,000 definitions, all found (the 800 limit belongs to the users).
    QByteArray many = QByteArray("f(){}\n").repeated(100000);
    const auto manyDefs = ScanDefinitions(many);
    ASSERT_EQ(manyDefs.size(), 100000u);
    EXPECT_EQ(manyDefs.back().line, 99999);

    // Binary bytes and invalid UTF-8 are word characters; no crash, no
    // read past the end (checked under the sanitizers as well).
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 131 + 7) & 0xFF);
    scanBoth(binary);
    EXPECT_EQ(found("\xFF\xFE f\xC3(\x80) {"), QByteArrayList{"f\xC3@0"});
    // CR-only line ends: the file is one line.
    EXPECT_EQ(found("int a() {\rint b() {\r"), (QByteArrayList{"a@0", "b@0"}));
}

TEST(SourceScanner, ReadSourceFile)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("a.c"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("x\0y", 3) == 3 && file.flush());
    EXPECT_EQ(readSourceFile(file.fileName()), QByteArray("x\0y", 3));
    EXPECT_FALSE(readSourceFile(dir.filePath("missing.c")).has_value());
    EXPECT_FALSE(readSourceFile(dir.path()).has_value());
    // Never waits for a writer or reads an endless device.
    const QString fifo = dir.filePath("pipe.c");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(readSourceFile(fifo).has_value());
    EXPECT_FALSE(readSourceFile("/dev/zero").has_value());
}
