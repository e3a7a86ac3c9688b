// A stand-in language server for the tests: speaks the protocol on its
// standard input and output as a server would, and misbehaves on request.
//   --mode=normal       answers everything (see below)
//   --mode=utf16        as normal, but counts columns in UTF-16 units
//   --mode=hang         answers initialize, then nothing at all
//   --mode=silent       answers nothing, not even initialize
//   --mode=crash        answers initialize, dies (abort) at the first didOpen
//   --mode=garbage      writes bytes that are no message before each answer
//   --mode=short        gives the first answer after initialize a
//                       Content-Length too short, the rest right
//   --mode=huge         writes a 100 MB message before each answer
//   --items=N           completion items to give (default 3)
//   --log=PATH          appends each message received, one JSON per line
//   --pid-file=PATH     writes its process id there at the start
// Normal answers: a diagnostic (error) for each "ERROR" in an open
// document, on every open and change; completion items "item0".."itemN-1";
// definition and references at fixed places; hover "hover text"; shutdown
// null; exit ends the process.
#include "language/LspFraming.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

QString mode = QStringLiteral("normal");
int itemCount = 3;
QByteArray logPath;
QHash<QString, QByteArray> documents;
bool shortSent = false;

void writeAll(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(1, bytes.constData() + done, size_t(bytes.size() - done));
        if (written <= 0)
            std::exit(1);
        done += written;
    }
}

void send(QJsonObject object)
{
    object.insert(QStringLiteral("jsonrpc"), QStringLiteral("2.0"));
    const QByteArray body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    if (mode == QStringLiteral("garbage"))
        writeAll("this is no message\r\n\r\n{}garbage");
    if (mode == QStringLiteral("huge")) {
        const QByteArray huge(100 * 1024 * 1024, 'x');
        writeAll(LspFrame(huge));
    }
    if (mode == QStringLiteral("short") && !shortSent && object.contains(QStringLiteral("id"))
        && object.value(QStringLiteral("id")).toInt() > 1) {
        shortSent = true;
        writeAll("Content-Length: " + QByteArray::number(body.size() / 2) + "\r\n\r\n" + body);
        return;
    }
    writeAll(LspFrame(body));
}

void answer(const QJsonValue& id, const QJsonValue& result)
{
    send({{QStringLiteral("id"), id}, {QStringLiteral("result"), result}});
}

QJsonObject position(int line, int character)
{
    return {{QStringLiteral("line"), line}, {QStringLiteral("character"), character}};
}

QJsonObject range(int line, int from, int to)
{
    return {{QStringLiteral("start"), position(line, from)}, {QStringLiteral("end"), position(line, to)}};
}

// Columns of the text's "ERROR"s, in bytes or UTF-16 units.
void publish(const QString& uri)
{
    QJsonArray diagnostics;
    const QList<QByteArray> lines = documents.value(uri).split('\n');
    for (int line = 0; line < lines.size(); ++line) {
        for (qsizetype at = lines[line].indexOf("ERROR"); at >= 0;
             at = lines[line].indexOf("ERROR", at + 1)) {
            const int column = mode == QStringLiteral("utf16")
                                   ? int(QString::fromUtf8(lines[line].first(at)).size())
                                   : int(at);
            diagnostics.append(QJsonObject{{QStringLiteral("range"), range(line, column, column + 5)},
                                           {QStringLiteral("severity"), 1},
                                           {QStringLiteral("message"), QStringLiteral("an error here")}});
        }
    }
    send({{QStringLiteral("method"), QStringLiteral("textDocument/publishDiagnostics")},
          {QStringLiteral("params"),
           QJsonObject{{QStringLiteral("uri"), uri}, {QStringLiteral("diagnostics"), diagnostics}}}});
}

// Applies one change; positions are byte columns (UTF-16 in utf16 mode).
void applyChange(QByteArray& text, const QJsonObject& change)
{
    if (!change.contains(QStringLiteral("range"))) {
        text = change.value(QStringLiteral("text")).toString().toUtf8();
        return;
    }
    auto offset = [&](const QJsonObject& at) {
        const int line = at.value(QStringLiteral("line")).toInt();
        int column = at.value(QStringLiteral("character")).toInt();
        qsizetype start = 0;
        for (int i = 0; i < line && start >= 0; ++i) {
            start = text.indexOf('\n', start);
            if (start >= 0)
                ++start;
        }
        if (start < 0)
            start = text.size();
        if (mode == QStringLiteral("utf16")) {
            qsizetype end = text.indexOf('\n', start);
            if (end < 0)
                end = text.size();
            const QString line16 = QString::fromUtf8(text.sliced(start, end - start));
            column = int(line16.first(std::min<qsizetype>(column, line16.size())).toUtf8().size());
        }
        return std::min<qsizetype>(start + column, text.size());
    };
    const QJsonObject r = change.value(QStringLiteral("range")).toObject();
    const qsizetype from = offset(r.value(QStringLiteral("start")).toObject());
    const qsizetype to = offset(r.value(QStringLiteral("end")).toObject());
    text.replace(from, to - from, change.value(QStringLiteral("text")).toString().toUtf8());
}

void handle(const QJsonObject& message)
{
    if (!logPath.isEmpty()) {
        QFile log(QString::fromLocal8Bit(logPath));
        if (log.open(QIODevice::Append))
            log.write(QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n');
    }
    const QString method = message.value(QStringLiteral("method")).toString();
    const QJsonValue id = message.value(QStringLiteral("id"));
    const QJsonObject params = message.value(QStringLiteral("params")).toObject();
    const QString uri = params.value(QStringLiteral("textDocument")).toObject().value(QStringLiteral("uri")).toString();
    if (mode == QStringLiteral("silent"))
        return;
    if (method == QStringLiteral("initialize")) {
        QJsonObject result{
            {QStringLiteral("capabilities"),
             QJsonObject{{QStringLiteral("completionProvider"),
                          QJsonObject{{QStringLiteral("triggerCharacters"),
                                       QJsonArray{QStringLiteral("."), QStringLiteral(">")}}}}}}};
        if (mode != QStringLiteral("utf16"))
            result.insert(QStringLiteral("offsetEncoding"), QStringLiteral("utf-8"));
        answer(id, result);
        return;
    }
    if (method == QStringLiteral("exit"))
        std::exit(0);
    if (method == QStringLiteral("shutdown")) {
        answer(id, QJsonValue());
        return;
    }
    if (mode == QStringLiteral("hang"))
        return;
    if (method == QStringLiteral("textDocument/didOpen")) {
        if (mode == QStringLiteral("crash"))
            std::abort();
        documents.insert(uri, params.value(QStringLiteral("textDocument")).toObject().value(QStringLiteral("text")).toString().toUtf8());
        publish(uri);
    } else if (method == QStringLiteral("textDocument/didChange")) {
        QByteArray& text = documents[uri];
        for (const QJsonValue& change : params.value(QStringLiteral("contentChanges")).toArray())
            applyChange(text, change.toObject());
        publish(uri);
    } else if (method == QStringLiteral("textDocument/didClose")) {
        documents.remove(uri);
    } else if (method == QStringLiteral("textDocument/completion")) {
        QJsonArray items;
        for (int i = 0; i < itemCount; ++i)
            items.append(QJsonObject{{QStringLiteral("label"), QStringLiteral("item%1").arg(i)},
                                     {QStringLiteral("kind"), 5},
                                     {QStringLiteral("detail"), QStringLiteral("int")}});
        answer(id, QJsonObject{{QStringLiteral("isIncomplete"), false}, {QStringLiteral("items"), items}});
    } else if (method == QStringLiteral("textDocument/definition")
               || method == QStringLiteral("textDocument/references")) {
        answer(id, QJsonArray{QJsonObject{{QStringLiteral("uri"), uri}, {QStringLiteral("range"), range(0, 0, 1)}}});
    } else if (method == QStringLiteral("textDocument/hover")) {
        answer(id, QJsonObject{{QStringLiteral("contents"),
                                QJsonObject{{QStringLiteral("kind"), QStringLiteral("plaintext")},
                                            {QStringLiteral("value"), QStringLiteral("hover text")}}}});
    } else if (!id.isUndefined()) {
        answer(id, QJsonValue());
    }
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith("--mode="))
            mode = QString::fromLatin1(argument.mid(7));
        else if (argument.startsWith("--items="))
            itemCount = argument.mid(8).toInt();
        else if (argument.startsWith("--log="))
            logPath = argument.mid(6);
        else if (argument.startsWith("--pid-file=")) {
            QFile pidFile(QString::fromLocal8Bit(argument.mid(11)));
            if (pidFile.open(QIODevice::WriteOnly))
                pidFile.write(QByteArray::number(qint64(::getpid())));
        }
    }
    LspFrameReader reader;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(0, buffer, sizeof buffer);
        if (got <= 0)
            return 0;
        std::vector<QByteArray> bodies;
        reader.feed(QByteArrayView(buffer, got), bodies);
        for (const QByteArray& body : bodies)
            handle(QJsonDocument::fromJson(body).object());
    }
}
