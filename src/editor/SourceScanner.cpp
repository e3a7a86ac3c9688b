#include "editor/SourceScanner.h"

#include "tools/PathBytes.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

enum CharClass : unsigned char { Word = 0, Space = 1, LineFeed = 2, Punct = 3, Slash = 4, Cr = 5 };

constexpr std::array<unsigned char, 256> makeClasses()
{
    std::array<unsigned char, 256> classes{};
    classes[' '] = Space;
    classes['\t'] = Space;
    classes['\n'] = LineFeed;
    // Each of these is a token by itself. Everything else, bytes past ASCII
    // included, belongs to words; so does a CR that no LF follows.
    for (unsigned char c : {'{', '}', '(', ')', ';', '=', '*', '&', '%', ',', '"', '\'', '!'})
        classes[c] = Punct;
    classes['/'] = Slash;
    classes['\r'] = Cr;
    return classes;
}

constexpr std::array<unsigned char, 256> kClasses = makeClasses();

// Compared exactly: bool, inline, asm, try and namespace are names here.
constexpr std::array<std::string_view, 45> kKeywords = {
    "auto", "break", "case", "catch", "char", "class", "const", "continue",
    "default", "delete", "do", "double", "else", "enum", "extern", "float",
    "for", "friend", "goto", "if", "int", "long", "new", "operator",
    "private", "protected", "public", "register", "return", "short", "signed",
    "sizeof", "static", "struct", "switch", "template", "this", "throw",
    "typedef", "union", "unsigned", "virtual", "void", "volatile", "while",
};
static_assert(std::is_sorted(kKeywords.begin(), kKeywords.end()));

bool is(QByteArrayView token, char c)
{
    return token.size() == 1 && token[0] == c;
}

// Collects into lists for the convenience overloads.
class Collector : public SourceScanReceiver {
public:
    void definitionFound(const ScannedDefinition& definition) override { definitions.push_back(definition); }
    void includeFound(const QByteArray& name) override { includes.append(name); }
    std::vector<ScannedDefinition> definitions;
    QList<QByteArray> includes;
};

} // namespace

bool isScannerKeyword(QByteArrayView word)
{
    // Keywords are 2 to 9 lower-case letters; the table is sorted, so only
    // the words with the same first letter are compared.
    if (word.size() < 2 || word.size() > 9 || word[0] < 'a' || word[0] > 'w')
        return false;
    const std::string_view text(word.data(), size_t(word.size()));
    const auto first = std::lower_bound(kKeywords.begin(), kKeywords.end(), text.substr(0, 1));
    for (auto it = first; it != kKeywords.end() && (*it)[0] == text[0]; ++it) {
        if (*it == text)
            return true;
    }
    return false;
}

SourceTokenizer::SourceTokenizer(QByteArrayView bytes)
    : m_data(bytes.data()), m_size(bytes.size())
{
}

void SourceTokenizer::skipBlockComment()
{
    // Comments do not nest: only "*/" ends one. An unterminated comment runs
    // to the end of the file.
    const char* p = m_data + m_index;
    const char* const end = m_data + m_size;
    for (; p < end; ++p) {
        if (*p == '*' && p + 1 < end && p[1] == '/') {
            m_index = p + 2 - m_data;
            return;
        }
        if (*p == '\n')
            ++m_line;
    }
    m_index = m_size;
}

void SourceTokenizer::skipLineComment()
{
    // Up to the line break, which is then skipped as white space.
    while (m_index < m_size) {
        const char c = m_data[m_index];
        if (c == '\n' || (c == '\r' && m_index + 1 < m_size && m_data[m_index + 1] == '\n'))
            return;
        ++m_index;
    }
}

void SourceTokenizer::skipSpaceAndComments()
{
    while (m_index < m_size) {
        switch (kClasses[static_cast<unsigned char>(m_data[m_index])]) {
        case Space:
            ++m_index;
            continue;
        case LineFeed:
            ++m_index;
            ++m_line;
            continue;
        case Cr:
            if (m_index + 1 < m_size && m_data[m_index + 1] == '\n') {
                m_index += 2;
                ++m_line;
                continue;
            }
            return;
        case Slash:
            if (m_index + 1 < m_size && (m_data[m_index + 1] == '*' || m_data[m_index + 1] == '/')) {
                const bool block = m_data[m_index + 1] == '*';
                m_index += 2;
                if (block)
                    skipBlockComment();
                else
                    skipLineComment();
                continue;
            }
            return;
        default:
            return;
        }
    }
}

QByteArrayView SourceTokenizer::NextToken()
{
    skipSpaceAndComments();
    m_tokenStart = m_index;
    m_tokenLength = 0;
    if (m_index >= m_size)
        return {};
    const unsigned char cls = kClasses[static_cast<unsigned char>(m_data[m_index])];
    if (cls == Punct || cls == Slash) {
        ++m_index;
        m_tokenLength = 1;
        return token();
    }
    // A word: up to white space, punctuation, a CR LF break or the end.
    // A lone CR belongs to the word.
    ++m_index;
    while (m_index < m_size) {
        const unsigned char c = kClasses[static_cast<unsigned char>(m_data[m_index])];
        if (c == Word || (c == Cr && (m_index + 1 >= m_size || m_data[m_index + 1] != '\n'))) {
            ++m_index;
            continue;
        }
        break;
    }
    m_tokenLength = qsizetype(std::min<qint64>(m_index - m_tokenStart, kMaxTokenLength));
    return token();
}

namespace {

// The token stream of a scan, watched for `#include "name"` when a receiver
// of includes is given. Every pattern reads every token, so one pass can
// look for both.
class ScanTokens {
public:
    ScanTokens(QByteArrayView bytes, SourceScanReceiver* includes)
        : m_tokens(bytes), m_includes(includes)
    {
    }

    QByteArrayView NextToken()
    {
        const QByteArrayView t = m_tokens.NextToken();
        if (m_includes)
            watch(t);
        return t;
    }
    int line() const { return m_tokens.line(); }

private:
    // A token after "#include" or after its quote is taken as such, never
    // looked at again as the start of another include.
    void watch(QByteArrayView t)
    {
        switch (m_state) {
        case Idle:
            if (t == QByteArrayView("#include"))
                m_state = AfterInclude;
            break;
        case AfterInclude:
            m_state = is(t, '"') ? AfterQuote : Idle;
            break;
        case AfterQuote:
            if (!t.isEmpty())
                m_includes->includeFound(t.toByteArray());
            m_state = Idle;
            break;
        }
    }

    SourceTokenizer m_tokens;
    SourceScanReceiver* m_includes;
    enum { Idle, AfterInclude, AfterQuote } m_state = Idle;
};

void scanDefinitions(ScanTokens& tokens, SourceScanReceiver& receiver)
{
    QByteArrayView t = tokens.NextToken();
    while (!t.isEmpty()) {
        if (isScannerKeyword(t)) {
            t = tokens.NextToken();
            continue;
        }
        // A candidate name; it is one when "(" ... ")" and then "{",
        // "const" or ":" follow.
        // Views into the bytes: they stay valid while later tokens are read.
        const QByteArrayView name = t;
        const int line = tokens.line();
        t = tokens.NextToken();
        if (!is(t, '('))
            continue;
        do
            t = tokens.NextToken();
        while (!t.isEmpty() && !is(t, ')'));
        if (t.isEmpty())
            break;
        t = tokens.NextToken();
        const bool initialisers = t == QByteArrayView(":");
        if (is(t, '{') || t == QByteArrayView("const") || initialisers)
            receiver.definitionFound({name.toByteArray(), line});
        if (initialisers) {
            do
                t = tokens.NextToken();
            while (!t.isEmpty() && !is(t, '{'));
        }
        if (is(t, '{') || t == QByteArrayView("const"))
            t = tokens.NextToken();
    }
}

} // namespace

void ScanDefinitions(QByteArrayView bytes, SourceScanReceiver& receiver)
{
    ScanTokens tokens(bytes, nullptr);
    scanDefinitions(tokens, receiver);
}

void ScanDefinitionsAndQuotedIncludes(QByteArrayView bytes, SourceScanReceiver& receiver)
{
    // The definitions pattern reads to the end of the file.
    ScanTokens tokens(bytes, &receiver);
    scanDefinitions(tokens, receiver);
}

std::vector<ScannedDefinition> ScanDefinitions(QByteArrayView bytes)
{
    Collector collector;
    ScanDefinitions(bytes, collector);
    return std::move(collector.definitions);
}

std::optional<QByteArray> readSourceFile(const QString& path, QString* error)
{
    // Only regular files: opening a FIFO would wait for a writer, and a
    // device such as /dev/zero never ends; either would hang the caller.
    return ReadRegularFile(path, kMaxScannedSourceBytes, error);
}
