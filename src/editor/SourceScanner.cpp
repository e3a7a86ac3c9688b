#include "editor/SourceScanner.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace {

enum CharClass : unsigned char { Word = 0, Space = 1, Punct = 2 };

constexpr std::array<unsigned char, 256> makeClasses()
{
    std::array<unsigned char, 256> classes{};
    for (unsigned char c : {' ', '\t', '\n'})
        classes[c] = Space;
    // Each of these is a token by itself. Everything else, a lone CR and
    // bytes past ASCII included, belongs to words.
    for (unsigned char c : {'{', '}', '(', ')', ';', '=', '*', '&', '%', ',', '"', '\'', '/', '!'})
        classes[c] = Punct;
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
    if (word.size() < 2 || word.size() > 9 || word[0] < 'a' || word[0] > 'w')
        return false;
    const std::string_view text(word.data(), size_t(word.size()));
    return std::find(kKeywords.begin(), kKeywords.end(), text) != kKeywords.end();
}

SourceTokenizer::SourceTokenizer(QByteArrayView bytes)
    : m_data(bytes.data()), m_size(bytes.size())
{
}

void SourceTokenizer::advance()
{
    const char c = m_data[m_index];
    if (c == '\n' || (c == '\r' && m_index + 1 < m_size && m_data[m_index + 1] == '\n')) {
        m_index += c == '\r' ? 2 : 1;
        m_position += 2;
        ++m_line;
    } else {
        ++m_index;
        ++m_position;
    }
}

void SourceTokenizer::skipBlockComment()
{
    // Comments do not nest: only "*/" ends one. An unterminated comment runs
    // to the end of the file.
    while (m_index < m_size) {
        if (m_data[m_index] == '*' && m_index + 1 < m_size && m_data[m_index + 1] == '/') {
            m_index += 2;
            m_position += 2;
            return;
        }
        advance();
    }
}

void SourceTokenizer::skipLineComment()
{
    // Up to the line break, which is then skipped as white space.
    while (m_index < m_size) {
        const char c = m_data[m_index];
        if (c == '\n' || (c == '\r' && m_index + 1 < m_size && m_data[m_index + 1] == '\n'))
            return;
        ++m_index;
        ++m_position;
    }
}

void SourceTokenizer::skipSpaceAndComments()
{
    while (m_index < m_size) {
        const char c = m_data[m_index];
        if (c == ' ' || c == '\t' || c == '\n' || (c == '\r' && m_index + 1 < m_size && m_data[m_index + 1] == '\n')) {
            advance();
            continue;
        }
        if (c == '/' && m_index + 1 < m_size && (m_data[m_index + 1] == '*' || m_data[m_index + 1] == '/')) {
            const bool block = m_data[m_index + 1] == '*';
            m_index += 2;
            m_position += 2;
            if (block)
                skipBlockComment();
            else
                skipLineComment();
            continue;
        }
        return;
    }
}

QByteArrayView SourceTokenizer::NextToken()
{
    skipSpaceAndComments();
    m_tokenLength = 0;
    if (m_index >= m_size) {
        m_token[0] = '\0';
        return {};
    }
    const unsigned char first = static_cast<unsigned char>(m_data[m_index]);
    if (kClasses[first] == Punct) {
        m_token[0] = char(first);
        m_tokenLength = 1;
        ++m_index;
        ++m_position;
    } else {
        // A word: up to white space, punctuation, a CR LF break or the end.
        const qint64 start = m_index;
        while (m_index < m_size) {
            const char c = m_data[m_index];
            if (kClasses[static_cast<unsigned char>(c)] != Word)
                break;
            if (c == '\r' && m_index + 1 < m_size && m_data[m_index + 1] == '\n')
                break;
            ++m_index;
        }
        const qint64 length = m_index - start;
        m_position += length;
        m_tokenLength = int(std::min<qint64>(length, kMaxTokenLength));
        std::memcpy(m_token, m_data + start, size_t(m_tokenLength));
    }
    m_token[m_tokenLength] = '\0';
    return token();
}

void ScanDefinitions(QByteArrayView bytes, SourceScanReceiver& receiver)
{
    SourceTokenizer tokens(bytes);
    char name[SourceTokenizer::kMaxTokenLength + 1];
    QByteArrayView t = tokens.NextToken();
    while (!t.isEmpty()) {
        if (isScannerKeyword(t)) {
            t = tokens.NextToken();
            continue;
        }
        // A candidate name; it is one when "(" ... ")" and then "{",
        // "const" or ":" follow.
        const qsizetype nameLength = t.size();
        std::memcpy(name, t.data(), size_t(nameLength));
        const qint64 position = tokens.position();
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
            receiver.definitionFound({QByteArray(name, nameLength), position, line});
        if (initialisers) {
            do
                t = tokens.NextToken();
            while (!t.isEmpty() && !is(t, '{'));
        }
        if (is(t, '{') || t == QByteArrayView("const"))
            t = tokens.NextToken();
    }
}

void ScanQuotedIncludes(QByteArrayView bytes, SourceScanReceiver& receiver)
{
    SourceTokenizer tokens(bytes);
    for (;;) {
        QByteArrayView t = tokens.NextToken();
        if (t == QByteArrayView("#include")) {
            t = tokens.NextToken();
            if (is(t, '"')) {
                t = tokens.NextToken();
                if (!t.isEmpty())
                    receiver.includeFound(t.toByteArray());
            }
        }
        if (t.isEmpty())
            return;
    }
}

std::vector<ScannedDefinition> ScanDefinitions(QByteArrayView bytes)
{
    Collector collector;
    ScanDefinitions(bytes, collector);
    return std::move(collector.definitions);
}

QList<QByteArray> ScanQuotedIncludes(QByteArrayView bytes)
{
    Collector collector;
    ScanQuotedIncludes(bytes, collector);
    return std::move(collector.includes);
}

std::optional<QByteArray> readSourceFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}
