#include "language/LspProtocol.h"

#include "tools/PathBytes.h"

#include <QJsonArray>
#include <QUrl>

namespace {

// Length of the UTF-8 sequence starting with `lead` when it is well formed
// at `at`, else 1 (a byte that is not UTF-8 counts as one unit).
int sequenceLength(QByteArrayView line, qsizetype at)
{
    const auto lead = static_cast<unsigned char>(line[at]);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
    if (at + length > line.size())
        return 1;
    for (int i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(line[at + i]) & 0xC0) != 0x80)
            return 1;
    return length;
}

QString markupText(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    if (value.isObject())
        return value.toObject().value(LspKey("value")).toString();
    if (value.isArray()) {
        QStringList parts;
        for (const QJsonValue& part : value.toArray())
            parts << markupText(part);
        return parts.join(QStringLiteral("\n\n"));
    }
    return {};
}

std::vector<LspTextEdit> editsFrom(const QJsonArray& array)
{
    std::vector<LspTextEdit> edits;
    for (const QJsonValue& each : array) {
        const QJsonObject edit = each.toObject();
        const std::optional<LspRange> range = LspRangeFrom(edit.value(LspKey("range")));
        if (range)
            edits.push_back({*range, edit.value(LspKey("newText")).toString()});
    }
    return edits;
}

} // namespace

QString LspUriFromPath(const QString& path)
{
    return QStringLiteral("file://")
           + QString::fromLatin1(PathToBytes(path).toPercentEncoding("/-._~"));
}

std::optional<QString> LspPathFromUri(const QString& uri)
{
    if (!uri.startsWith(QStringLiteral("file://")))
        return std::nullopt;
    QByteArray rest = uri.mid(7).toUtf8();
    // file://host/path: only the local host names a file here.
    if (!rest.startsWith('/')) {
        if (!rest.startsWith("localhost/"))
            return std::nullopt;
        rest = rest.mid(9);
    }
    return PathFromBytes(QByteArray::fromPercentEncoding(rest));
}

int ByteColumn(QByteArrayView line, int utf16Column)
{
    qsizetype at = 0;
    int units = 0;
    while (at < line.size() && units < utf16Column) {
        const int length = sequenceLength(line, at);
        const int taken = length == 4 ? 2 : 1;
        if (units + taken > utf16Column)
            break;
        units += taken;
        at += length;
    }
    return int(at);
}

int Utf16Column(QByteArrayView line, int byteColumn)
{
    qsizetype at = 0;
    int units = 0;
    const qsizetype end = std::min<qsizetype>(byteColumn, line.size());
    while (at < end) {
        const int length = sequenceLength(line, at);
        if (at + length > end)
            break;
        units += length == 4 ? 2 : 1;
        at += length;
    }
    return units;
}

QString PlainSnippet(const QString& snippet, int* caret)
{
    QString plain;
    plain.reserve(snippet.size());
    int first = -1;
    int last = -1;
    for (qsizetype i = 0; i < snippet.size(); ++i) {
        const QChar c = snippet[i];
        if (c == u'\\' && i + 1 < snippet.size()) {
            plain += snippet[++i];
            continue;
        }
        if (c != u'$' || i + 1 >= snippet.size()) {
            plain += c;
            continue;
        }
        qsizetype j = i + 1;
        bool braced = snippet[j] == u'{';
        if (braced)
            ++j;
        qsizetype digits = j;
        while (digits < snippet.size() && snippet[digits].isDigit())
            ++digits;
        if (digits == j) {
            plain += c;
            continue;
        }
        const int number = snippet.mid(j, digits - j).toInt();
        if (number == 0)
            last = int(plain.size());
        else if (first < 0)
            first = int(plain.size());
        if (!braced) {
            i = digits - 1;
            continue;
        }
        if (digits < snippet.size() && snippet[digits] == u'}') {
            i = digits;
            continue;
        }
        // ${1:text}: the text stays (nested placeholders too), without marks.
        if (digits < snippet.size() && snippet[digits] == u':') {
            int depth = 1;
            qsizetype k = digits + 1;
            QString inner;
            while (k < snippet.size() && depth > 0) {
                if (snippet[k] == u'\\' && k + 1 < snippet.size()) {
                    inner += snippet[k];
                    inner += snippet[k + 1];
                    k += 2;
                    continue;
                }
                if (snippet[k] == u'{' && k > 0 && snippet[k - 1] == u'$')
                    ++depth;
                else if (snippet[k] == u'}')
                    --depth;
                if (depth > 0)
                    inner += snippet[k];
                ++k;
            }
            int innerCaret = -1;
            plain += PlainSnippet(inner, &innerCaret);
            i = k - 1;
            continue;
        }
        plain += c;
    }
    if (caret)
        *caret = first >= 0 ? first : last;
    return plain;
}

QJsonObject LspInitializeParams(const QString& rootPath, qint64 processId,
                                const QStringList& fallbackFlags)
{
    const QJsonObject textDocument{
        {LspKey("synchronization"), QJsonObject{{LspKey("didSave"), true}}},
        {LspKey("completion"),
         QJsonObject{{LspKey("completionItem"), QJsonObject{{LspKey("snippetSupport"), true}}},
                     {LspKey("contextSupport"), true}}},
        {LspKey("hover"), QJsonObject{{LspKey("contentFormat"), QJsonArray{LspKey("plaintext")}}}},
        {LspKey("signatureHelp"),
         QJsonObject{{LspKey("signatureInformation"),
                      QJsonObject{{LspKey("documentationFormat"), QJsonArray{LspKey("plaintext")}}}}}},
        {LspKey("definition"), QJsonObject{{LspKey("linkSupport"), false}}},
        {LspKey("declaration"), QJsonObject{{LspKey("linkSupport"), false}}},
        {LspKey("references"), QJsonObject{}},
        {LspKey("rename"), QJsonObject{{LspKey("prepareSupport"), false}}},
        {LspKey("publishDiagnostics"), QJsonObject{{LspKey("relatedInformation"), false}}},
    };
    QJsonObject params{
        {LspKey("processId"), processId},
        {LspKey("rootUri"), rootPath.isEmpty() ? QJsonValue() : QJsonValue(LspUriFromPath(rootPath))},
        {LspKey("capabilities"),
         QJsonObject{{LspKey("textDocument"), textDocument},
                     {LspKey("general"), QJsonObject{{LspKey("positionEncodings"),
                                                   QJsonArray{LspKey("utf-8"), LspKey("utf-16")}}}}}},
        // clangd's own name for the encoding, before the protocol had one.
        {LspKey("offsetEncoding"), QJsonArray{LspKey("utf-8"), LspKey("utf-16")}},
        {LspKey("clientInfo"), QJsonObject{{LspKey("name"), LspKey("Tarn")}}},
    };
    if (!fallbackFlags.isEmpty())
        params.insert(LspKey("initializationOptions"),
                      QJsonObject{{LspKey("fallbackFlags"), QJsonArray::fromStringList(fallbackFlags)}});
    return params;
}

bool LspAnswersInUtf8(const QJsonValue& initializeResult)
{
    const QJsonObject result = initializeResult.toObject();
    if (result.value(LspKey("offsetEncoding")).toString() == LspKey("utf-8"))
        return true;
    return result.value(LspKey("capabilities")).toObject().value(LspKey("positionEncoding")).toString()
           == LspKey("utf-8");
}

QStringList LspCompletionTriggers(const QJsonValue& initializeResult)
{
    QStringList triggers;
    const QJsonArray array = initializeResult.toObject()
                                 .value(LspKey("capabilities"))
                                 .toObject()
                                 .value(LspKey("completionProvider"))
                                 .toObject()
                                 .value(LspKey("triggerCharacters"))
                                 .toArray();
    for (const QJsonValue& each : array)
        triggers << each.toString();
    return triggers;
}

QJsonObject LspPositionJson(const LspPosition& position)
{
    return {{LspKey("line"), position.line}, {LspKey("character"), position.column}};
}

QJsonObject LspRangeJson(const LspRange& range)
{
    return {{LspKey("start"), LspPositionJson(range.start)}, {LspKey("end"), LspPositionJson(range.end)}};
}

QJsonObject LspDocumentPositionParams(const QString& path, const LspPosition& position)
{
    return {{LspKey("textDocument"), QJsonObject{{LspKey("uri"), LspUriFromPath(path)}}},
            {LspKey("position"), LspPositionJson(position)}};
}

std::optional<LspPosition> LspPositionFrom(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QJsonValue line = object.value(LspKey("line"));
    const QJsonValue character = object.value(LspKey("character"));
    if (!line.isDouble() || !character.isDouble())
        return std::nullopt;
    const double l = line.toDouble();
    const double c = character.toDouble();
    if (l < 0 || c < 0 || l > 2147483647.0 || c > 2147483647.0)
        return std::nullopt;
    return LspPosition{int(l), int(c)};
}

std::optional<LspRange> LspRangeFrom(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const std::optional<LspPosition> start = LspPositionFrom(object.value(LspKey("start")));
    const std::optional<LspPosition> end = LspPositionFrom(object.value(LspKey("end")));
    if (!start || !end || *end < *start)
        return std::nullopt;
    return LspRange{*start, *end};
}

LspDiagnostics LspDiagnosticsFrom(const QJsonValue& params)
{
    const QJsonObject object = params.toObject();
    LspDiagnostics diagnostics;
    diagnostics.path = LspPathFromUri(object.value(LspKey("uri")).toString()).value_or(QString());
    if (object.value(LspKey("version")).isDouble())
        diagnostics.version = object.value(LspKey("version")).toInt();
    for (const QJsonValue& each : object.value(LspKey("diagnostics")).toArray()) {
        const QJsonObject item = each.toObject();
        const std::optional<LspRange> range = LspRangeFrom(item.value(LspKey("range")));
        if (!range)
            continue;
        const int severity = item.value(LspKey("severity")).toInt(1);
        diagnostics.items.push_back(
            {*range,
             severity >= 1 && severity <= 4 ? LspSeverity(severity) : LspSeverity::Error,
             item.value(LspKey("message")).toString()});
    }
    return diagnostics;
}

std::vector<LspLocation> LspLocationsFrom(const QJsonValue& result)
{
    std::vector<LspLocation> locations;
    auto add = [&](const QJsonObject& object) {
        const bool link = object.contains(LspKey("targetUri"));
        const std::optional<QString> path =
            LspPathFromUri(object.value(link ? LspKey("targetUri") : LspKey("uri")).toString());
        const std::optional<LspRange> range =
            LspRangeFrom(object.value(link ? LspKey("targetSelectionRange") : LspKey("range")));
        if (path && range)
            locations.push_back({*path, *range});
    };
    if (result.isArray()) {
        for (const QJsonValue& each : result.toArray())
            add(each.toObject());
    } else if (result.isObject()) {
        add(result.toObject());
    }
    return locations;
}

LspCompletion LspCompletionFrom(const QJsonValue& result)
{
    LspCompletion completion;
    QJsonArray items;
    if (result.isArray()) {
        items = result.toArray();
    } else {
        const QJsonObject list = result.toObject();
        completion.incomplete = list.value(LspKey("isIncomplete")).toBool();
        items = list.value(LspKey("items")).toArray();
    }
    completion.items.reserve(items.size());
    for (const QJsonValue& each : items) {
        const QJsonObject object = each.toObject();
        LspCompletionItem item;
        item.label = object.value(LspKey("label")).toString().trimmed();
        if (item.label.isEmpty())
            continue;
        item.detail = object.value(LspKey("detail")).toString();
        item.kind = object.value(LspKey("kind")).toInt();
        item.filterText = object.value(LspKey("filterText")).toString();
        item.sortText = object.value(LspKey("sortText")).toString();
        const bool snippet = object.value(LspKey("insertTextFormat")).toInt(1) == 2;
        QString text = object.value(LspKey("insertText")).toString();
        const QJsonObject edit = object.value(LspKey("textEdit")).toObject();
        if (!edit.isEmpty()) {
            text = edit.value(LspKey("newText")).toString();
            // An insert-and-replace edit gives two ranges: take the replace.
            std::optional<LspRange> range = LspRangeFrom(edit.value(LspKey("range")));
            if (!range)
                range = LspRangeFrom(edit.value(LspKey("replace")));
            if (range) {
                item.edit.range = *range;
                item.hasRange = true;
            }
        }
        if (text.isEmpty())
            text = item.label;
        item.edit.newText = snippet ? PlainSnippet(text, &item.caretInText) : text;
        if (item.filterText.isEmpty())
            item.filterText = item.label;
        completion.items.push_back(std::move(item));
    }
    // The server ranks its items by their sort texts.
    std::stable_sort(completion.items.begin(), completion.items.end(),
                     [](const LspCompletionItem& a, const LspCompletionItem& b) {
                         return a.sortText < b.sortText;
                     });
    return completion;
}

QString LspHoverFrom(const QJsonValue& result)
{
    return markupText(result.toObject().value(LspKey("contents"))).trimmed();
}

LspSignatureHelp LspSignatureHelpFrom(const QJsonValue& result)
{
    LspSignatureHelp help;
    const QJsonObject object = result.toObject();
    for (const QJsonValue& each : object.value(LspKey("signatures")).toArray())
        help.signatures << each.toObject().value(LspKey("label")).toString();
    help.active = object.value(LspKey("activeSignature")).toInt();
    if (help.active < 0 || help.active >= help.signatures.size())
        help.active = 0;
    return help;
}

std::vector<LspFileEdits> LspWorkspaceEditFrom(const QJsonValue& result)
{
    std::vector<LspFileEdits> files;
    const QJsonObject object = result.toObject();
    const QJsonArray documentChanges = object.value(LspKey("documentChanges")).toArray();
    for (const QJsonValue& each : documentChanges) {
        const QJsonObject change = each.toObject();
        const std::optional<QString> path = LspPathFromUri(
            change.value(LspKey("textDocument")).toObject().value(LspKey("uri")).toString());
        if (path)
            files.push_back({*path, editsFrom(change.value(LspKey("edits")).toArray())});
    }
    if (!documentChanges.isEmpty())
        return files;
    const QJsonObject changes = object.value(LspKey("changes")).toObject();
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        const std::optional<QString> path = LspPathFromUri(it.key());
        if (path)
            files.push_back({*path, editsFrom(it.value().toArray())});
    }
    return files;
}
