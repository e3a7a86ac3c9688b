#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

// Tarn's small scanner of C and C++ sources: it splits a file's bytes into
// words and punctuation, skips comments, and recognises function
// definitions and quoted includes by fixed token patterns. It does not
// preprocess or parse; Go To Function, the project tree and the command
// line all use it, so they always agree.
//
// Lines: a CR LF pair or a lone LF is one line break; a lone CR is an
// ordinary word character. Its users place the caret by line.

// A function definition: the name token as written (e.g. "Shape::area")
// and the zero-based line holding it.
struct ScannedDefinition {
    QByteArray name;
    int line = 0;
    friend bool operator==(const ScannedDefinition&, const ScannedDefinition&) = default;
};

// What a scan reports to. Both callbacks run in file order.
class SourceScanReceiver {
public:
    virtual ~SourceScanReceiver() = default;
    virtual void definitionFound(const ScannedDefinition& definition) { (void)definition; }
    virtual void includeFound(const QByteArray& name) { (void)name; }
};

// The token stream over a file's bytes. The bytes must outlive it.
class SourceTokenizer {
public:
    // A token holds at most this many characters; a longer word is cut to
    // it, and the whole word is still consumed.
    static constexpr int kMaxTokenLength = 999;

    explicit SourceTokenizer(QByteArrayView bytes);

    // Reads the next token; the empty token at the end of the file. The
    // view points into the bytes, so it stays valid as long as they do.
    QByteArrayView NextToken();

    QByteArrayView token() const { return QByteArrayView(m_data + m_tokenStart, m_tokenLength); }
    // Zero-based line of the last character read.
    int line() const { return m_line; }

private:
    void skipSpaceAndComments();
    void skipBlockComment();
    void skipLineComment();

    const char* m_data;
    qint64 m_size;
    qint64 m_index = 0;
    int m_line = 0;
    qint64 m_tokenStart = 0;
    qsizetype m_tokenLength = 0;
};

// True for the 45 words the definition pattern never takes as a name.
bool isScannerKeyword(QByteArrayView word);

// Reports every function definition, in file order.
void ScanDefinitions(QByteArrayView bytes, SourceScanReceiver& receiver);
// The same, and the name of every `#include "name"`, in one pass over the
// bytes: each kind in file order, the two interleaved as they come.
void ScanDefinitionsAndQuotedIncludes(QByteArrayView bytes, SourceScanReceiver& receiver);

// The definitions collected into a list.
std::vector<ScannedDefinition> ScanDefinitions(QByteArrayView bytes);

// How many definitions Go To Function and the tree's navigation keep.
inline constexpr int kMaxScannedDefinitions = 800;

// Sources larger than this are not scanned (a sparse file of many
// gigabytes would exhaust memory).
inline constexpr qint64 kMaxScannedSourceBytes = qint64(1) << 30;

// The whole file for a scan; nothing when it is not a regular file, cannot
// be read or is larger than kMaxScannedSourceBytes, with the reason in
// `error` ("file too large", "no such file", ...).
std::optional<QByteArray> readSourceFile(const QString& path, QString* error = nullptr);
