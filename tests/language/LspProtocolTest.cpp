// The protocol's values: file URIs of any name, columns in UTF-8 bytes and
// UTF-16 units, completion snippets as plain text, and answers of every
// shape the protocol allows decoded into Tarn's values.
#include "language/LspProtocol.h"

#include "tools/PathBytes.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

QJsonValue json(const char* text)
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(text));
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

TEST(LspProtocol, FileUrisKeepEveryByteOfTheName)
{
    const QString paths[] = {QStringLiteral("/tmp/plain.c"), QStringLiteral("/tmp/with space/a#b%c.c"),
                             QStringLiteral("/tmp/\u00e9t\u00e9.c"), PathFromBytes("/tmp/latin\xe9.c")};
    for (const QString& path : paths) {
        const QString uri = LspUriFromPath(path);
        EXPECT_TRUE(uri.startsWith(QStringLiteral("file:///"))) << uri.toStdString();
        EXPECT_FALSE(uri.contains(u' ') || uri.mid(7).contains(u'#')) << uri.toStdString();
        EXPECT_EQ(LspPathFromUri(uri), path);
    }
    EXPECT_EQ(LspUriFromPath(QStringLiteral("/a b/c.c")), QStringLiteral("file:///a%20b/c.c"));
    EXPECT_EQ(LspPathFromUri(QStringLiteral("file://localhost/x/y.c")), QStringLiteral("/x/y.c"));
    EXPECT_EQ(LspPathFromUri(QStringLiteral("https://example.org/y.c")), std::nullopt);
    EXPECT_EQ(LspPathFromUri(QStringLiteral("file://otherhost/y.c")), std::nullopt);
}

TEST(LspProtocol, ColumnsConvertBetweenBytesAndUtf16Units)
{
    // "a" (1 byte, 1 unit), "é" (2, 1), "€" (3, 1), "😀" (4, 2), a tab (1, 1).
    const QByteArray line = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\tz";
    struct Case {
        int bytes;
        int units;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {3, 2}, {6, 3}, {10, 5}, {11, 6}, {12, 7}};
    for (const Case& c : cases) {
        EXPECT_EQ(ByteColumn(line, c.units), c.bytes) << "units " << c.units;
        EXPECT_EQ(Utf16Column(line, c.bytes), c.units) << "bytes " << c.bytes;
    }
    // Past the end: the end. Inside a character: its start. Half a
    // surrogate pair: before the pair.
    EXPECT_EQ(ByteColumn(line, 99), line.size());
    EXPECT_EQ(Utf16Column(line, 2), 1);
    EXPECT_EQ(ByteColumn(line, 4), 6);
    // Bytes that are not UTF-8 count one unit each.
    EXPECT_EQ(ByteColumn("\xff\xfe" "b", 2), 2);
    EXPECT_EQ(Utf16Column("\xff\xfe" "b", 3), 3);
}

TEST(LspProtocol, SnippetsBecomePlainTextWithTheCaretAtTheFirstPlaceholder)
{
    struct Case {
        const char* snippet;
        const char* plain;
        int caret;
    };
    const Case cases[] = {
        {"printf(${1:const char *restrict format, ...})", "printf(const char *restrict format, ...)", 7},
        {"strlen(${1:const char *s})", "strlen(const char *s)", 7},
        {"f(${1:int a}, ${2:int b})", "f(int a, int b)", 2},
        {"g()", "g()", -1},
        {"h($0)", "h()", 2},
        {"for (${1:i}; $2)$0", "for (i; )", 5},
        {"x${1}y", "xy", 1},
        {"a\\$b", "a$b", -1},
        {"outer(${1:inner(${2:x})})", "outer(inner(x))", 6},
        {"cost $ 5", "cost $ 5", -1},
    };
    for (const Case& c : cases) {
        int caret = -2;
        EXPECT_EQ(PlainSnippet(QString::fromUtf8(c.snippet), &caret), QString::fromUtf8(c.plain)) << c.snippet;
        EXPECT_EQ(caret, c.caret) << c.snippet;
    }
}

TEST(LspProtocol, LocationsOfEveryShape)
{
    const std::vector<LspLocation> one =
        LspLocationsFrom(json(R"({"uri":"file:///a/b.c","range":{"start":{"line":3,"character":4},"end":{"line":3,"character":9}}})"));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (LspLocation{QStringLiteral("/a/b.c"), {{3, 4}, {3, 9}}}));
    const std::vector<LspLocation> links = LspLocationsFrom(json(
        R"([{"targetUri":"file:///x.h","targetRange":{"start":{"line":0,"character":0},"end":{"line":9,"character":0}},
            "targetSelectionRange":{"start":{"line":2,"character":5},"end":{"line":2,"character":8}}},
           {"uri":"https://elsewhere/y","range":{"start":{"line":0,"character":0},"end":{"line":0,"character":1}}},
           {"uri":"file:///bad.c","range":{"start":{"line":-1,"character":0},"end":{"line":0,"character":1}}},
           {"uri":"file:///backwards.c","range":{"start":{"line":5,"character":0},"end":{"line":4,"character":1}}}])"));
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0], (LspLocation{QStringLiteral("/x.h"), {{2, 5}, {2, 8}}}));
    EXPECT_TRUE(LspLocationsFrom(QJsonValue()).empty());
}

TEST(LspProtocol, DiagnosticsKeepTheirOrderAndDropBrokenRanges)
{
    const LspDiagnostics d = LspDiagnosticsFrom(json(R"({"uri":"file:///p/m.c","version":7,"diagnostics":[
        {"range":{"start":{"line":1,"character":2},"end":{"line":1,"character":6}},"severity":2,"message":"unused"},
        {"range":{"start":{"line":"x"}},"message":"broken"},
        {"range":{"start":{"line":4,"character":0},"end":{"line":4,"character":1}},"message":"no severity"},
        {"range":{"start":{"line":5,"character":0},"end":{"line":5,"character":1}},"severity":9,"message":"odd"}]})"));
    EXPECT_EQ(d.path, QStringLiteral("/p/m.c"));
    EXPECT_EQ(d.version, 7);
    ASSERT_EQ(d.items.size(), 3u);
    EXPECT_EQ(d.items[0].severity, LspSeverity::Warning);
    EXPECT_EQ(d.items[0].range, (LspRange{{1, 2}, {1, 6}}));
    EXPECT_EQ(d.items[0].message, QStringLiteral("unused"));
    EXPECT_EQ(d.items[1].severity, LspSeverity::Error);
    EXPECT_EQ(d.items[2].severity, LspSeverity::Error);
}

TEST(LspProtocol, CompletionItemsTakeTheirEditOrTheirText)
{
    const LspCompletion c = LspCompletionFrom(json(R"j({"isIncomplete":true,"items":[
        {"label":" count","kind":5,"detail":"int","insertTextFormat":1,
         "textEdit":{"newText":"count","range":{"start":{"line":2,"character":4},"end":{"line":2,"character":6}}}},
        {"label":" printf(const char *, ...)","kind":3,"insertTextFormat":2,"filterText":"printf",
         "textEdit":{"newText":"printf(${1:const char *})","insert":{"start":{"line":0,"character":0},"end":{"line":0,"character":1}},
                     "replace":{"start":{"line":0,"character":0},"end":{"line":0,"character":3}}}},
        {"label":"plain","insertText":"plain_text"},
        {"label":"bare"},
        {"label":"   "}]})j"));
    EXPECT_TRUE(c.incomplete);
    ASSERT_EQ(c.items.size(), 4u);
    EXPECT_EQ(c.items[0].label, QStringLiteral("count"));
    EXPECT_EQ(c.items[0].detail, QStringLiteral("int"));
    EXPECT_TRUE(c.items[0].hasRange);
    EXPECT_EQ(c.items[0].edit, (LspTextEdit{{{2, 4}, {2, 6}}, QStringLiteral("count")}));
    EXPECT_EQ(c.items[0].caretInText, -1);
    EXPECT_EQ(c.items[1].edit, (LspTextEdit{{{0, 0}, {0, 3}}, QStringLiteral("printf(const char *)")}));
    EXPECT_EQ(c.items[1].caretInText, 7);
    EXPECT_EQ(c.items[1].filterText, QStringLiteral("printf"));
    EXPECT_FALSE(c.items[2].hasRange);
    EXPECT_EQ(c.items[2].edit.newText, QStringLiteral("plain_text"));
    EXPECT_EQ(c.items[3].edit.newText, QStringLiteral("bare"));
    EXPECT_EQ(LspCompletionFrom(json(R"([{"label":"a"},{"label":"b"}])")).items.size(), 2u);
}

TEST(LspProtocol, WorkspaceEditsFromChangesOrDocumentChanges)
{
    const char* range = R"({"start":{"line":1,"character":0},"end":{"line":1,"character":3}})";
    const QByteArray changes = QByteArray(R"({"changes":{"file:///p/a.c":[{"range":)") + range
                               + R"(,"newText":"new"}],"file:///p/b%20c.h":[]}})";
    const std::vector<LspFileEdits> fromChanges = LspWorkspaceEditFrom(json(changes.constData()));
    ASSERT_EQ(fromChanges.size(), 2u);
    EXPECT_EQ(fromChanges[0].path, QStringLiteral("/p/a.c"));
    EXPECT_EQ(fromChanges[0].edits, (std::vector<LspTextEdit>{{{{1, 0}, {1, 3}}, QStringLiteral("new")}}));
    EXPECT_EQ(fromChanges[1].path, QStringLiteral("/p/b c.h"));
    const QByteArray documentChanges = QByteArray(R"({"documentChanges":[{"textDocument":{"uri":"file:///q.c","version":2},"edits":[{"range":)")
                                       + range + R"(,"newText":"x"},{"range":)" + range + R"(,"newText":"y"}]}]})";
    const std::vector<LspFileEdits> fromDocuments = LspWorkspaceEditFrom(json(documentChanges.constData()));
    ASSERT_EQ(fromDocuments.size(), 1u);
    EXPECT_EQ(fromDocuments[0].path, QStringLiteral("/q.c"));
    ASSERT_EQ(fromDocuments[0].edits.size(), 2u);
    EXPECT_EQ(fromDocuments[0].edits[1].newText, QStringLiteral("y"));
}

TEST(LspProtocol, HoverAndSignaturesAsPlainText)
{
    EXPECT_EQ(LspHoverFrom(json(R"({"contents":{"kind":"plaintext","value":"function f\n\nint f(int)\n"}})")),
              QStringLiteral("function f\n\nint f(int)"));
    EXPECT_EQ(LspHoverFrom(json(R"({"contents":["one",{"language":"c","value":"two"}]})")),
              QStringLiteral("one\n\ntwo"));
    EXPECT_EQ(LspHoverFrom(QJsonValue()), QString());
    const LspSignatureHelp help = LspSignatureHelpFrom(
        json(R"j({"signatures":[{"label":"int f(int a)"},{"label":"int f(int a, int b)"}],"activeSignature":5})j"));
    EXPECT_EQ(help.signatures, (QStringList{QStringLiteral("int f(int a)"), QStringLiteral("int f(int a, int b)")}));
    EXPECT_EQ(help.active, 0);
}

TEST(LspProtocol, InitializeAsksForUtf8AndReadsWhatWasChosen)
{
    const QJsonObject params = LspInitializeParams(QStringLiteral("/p"), 42, {QStringLiteral("-DX=1")});
    EXPECT_EQ(params.value(QStringLiteral("offsetEncoding")).toArray().first().toString(), QStringLiteral("utf-8"));
    EXPECT_EQ(params.value(QStringLiteral("rootUri")).toString(), QStringLiteral("file:///p"));
    EXPECT_EQ(params.value(QStringLiteral("initializationOptions")).toObject().value(QStringLiteral("fallbackFlags")).toArray(),
              QJsonArray{QStringLiteral("-DX=1")});
    EXPECT_TRUE(LspAnswersInUtf8(json(R"({"offsetEncoding":"utf-8","capabilities":{}})")));
    EXPECT_TRUE(LspAnswersInUtf8(json(R"({"capabilities":{"positionEncoding":"utf-8"}})")));
    EXPECT_FALSE(LspAnswersInUtf8(json(R"({"capabilities":{}})")));
    EXPECT_EQ(LspCompletionTriggers(json(R"({"capabilities":{"completionProvider":{"triggerCharacters":[".","<",">",":"]}}})")),
              (QStringList{QStringLiteral("."), QStringLiteral("<"), QStringLiteral(">"), QStringLiteral(":")}));
}

} // namespace
