#pragma once

#include <QByteArrayView>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Tarn's values for what it asks a language server and what the server
// answers, and the JSON both ways. Positions are zero-based lines and
// columns counted in bytes of the line's UTF-8 text (what Tarn asks the
// server for, and what the edit control counts in); a tab is one column.
// A server that answers in UTF-16 code units is converted with
// ByteColumn/Utf16Column on the line's text.

struct LspPosition {
    int line = 0;
    int column = 0;
    friend bool operator==(const LspPosition&, const LspPosition&) = default;
    friend auto operator<=>(const LspPosition&, const LspPosition&) = default;
};

struct LspRange {
    LspPosition start;
    LspPosition end;
    friend bool operator==(const LspRange&, const LspRange&) = default;
};

struct LspLocation {
    QString path;
    LspRange range;
    friend bool operator==(const LspLocation&, const LspLocation&) = default;
};

enum class LspSeverity { Error = 1, Warning = 2, Information = 3, Hint = 4 };

struct LspDiagnostic {
    LspRange range;
    LspSeverity severity = LspSeverity::Error;
    QString message;
};

struct LspDiagnostics {
    QString path;
    std::optional<int> version;
    std::vector<LspDiagnostic> items;
};

struct LspTextEdit {
    LspRange range;
    QString newText;
    friend bool operator==(const LspTextEdit&, const LspTextEdit&) = default;
};

struct LspCompletionItem {
    QString label;
    // The type or signature the server gives, shown beside the label.
    QString detail;
    // The protocol's CompletionItemKind (3 function, 5 field, 6 variable...).
    int kind = 0;
    QString filterText;
    QString sortText;
    // What goes in: its text as plain text (placeholders reduced) and the
    // range it replaces; the caret's place in the text.
    LspTextEdit edit;
    bool hasRange = false;
    int caretInText = -1;
};

struct LspCompletion {
    bool incomplete = false;
    std::vector<LspCompletionItem> items;
};

struct LspFileEdits {
    QString path;
    std::vector<LspTextEdit> edits;
};

struct LspSignatureHelp {
    QStringList signatures;
    int active = 0;
};

// A protocol name (a method, a field) as the JSON classes take it.
inline QString LspKey(const char* name)
{
    return QString::fromLatin1(name);
}

// file:// URIs: the path's bytes, percent-encoded (not UTF-8 names too).
QString LspUriFromPath(const QString& path);
// The path a file URI names; nothing for another scheme or a malformed URI.
std::optional<QString> LspPathFromUri(const QString& uri);

// Column conversion on one line's bytes (UTF-8 where valid): the byte
// column of a UTF-16 column and back. A column past the line's end is the
// line's end; one inside a character goes to its start.
int ByteColumn(QByteArrayView line, int utf16Column);
int Utf16Column(QByteArrayView line, int byteColumn);

// The completion item's text with the snippet placeholders ${1:text},
// ${1}, $1 and $0 reduced to plain text; `caret` gets the place of the
// first placeholder ($0 when it is the only one), or -1 for the end.
QString PlainSnippet(const QString& snippet, int* caret);

// What Tarn tells a server about itself.
QJsonObject LspInitializeParams(const QString& rootPath, qint64 processId,
                                const QStringList& fallbackFlags);
// The position encoding the server's initialize answer chose: true for
// UTF-8, false for UTF-16 (the protocol's default).
bool LspAnswersInUtf8(const QJsonValue& initializeResult);
// The characters after which the server offers completion by itself.
QStringList LspCompletionTriggers(const QJsonValue& initializeResult);

QJsonObject LspPositionJson(const LspPosition& position);
QJsonObject LspRangeJson(const LspRange& range);
QJsonObject LspDocumentPositionParams(const QString& path, const LspPosition& position);

// Decoders of answers and notifications (run on the server's worker).
std::optional<LspPosition> LspPositionFrom(const QJsonValue& value);
std::optional<LspRange> LspRangeFrom(const QJsonValue& value);
LspDiagnostics LspDiagnosticsFrom(const QJsonValue& params);
// Location, Location[] or LocationLink[] (the target's selection range).
std::vector<LspLocation> LspLocationsFrom(const QJsonValue& result);
// CompletionList or CompletionItem[]; items in the order of their sort
// texts (the server's ranking), the server's order where they tie.
LspCompletion LspCompletionFrom(const QJsonValue& result);
// The hover's text (markup, marked strings or plain), as plain text.
QString LspHoverFrom(const QJsonValue& result);
LspSignatureHelp LspSignatureHelpFrom(const QJsonValue& result);
// A WorkspaceEdit's changes or documentChanges, by file in the server's
// order; the edits of a file in the order given.
std::vector<LspFileEdits> LspWorkspaceEditFrom(const QJsonValue& result);
