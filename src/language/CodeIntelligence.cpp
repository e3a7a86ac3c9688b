#include "language/CodeIntelligence.h"

#include "language/SourceEdits.h"

#include "framework/SafeSave.h"
#include "tools/ChildStart.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QStandardPaths>

namespace {

constexpr int kMaxCrashesPerMinute = 3;
constexpr qint64 kMaxReadForLines = 64 * 1024 * 1024;

QString languageIdOf(const QString& path)
{
    static const QStringList cpp{QStringLiteral("cpp"), QStringLiteral("cc"), QStringLiteral("cxx"),
                                 QStringLiteral("hpp"), QStringLiteral("hh"), QStringLiteral("hxx"),
                                 QStringLiteral("inl"), QStringLiteral("C"), QStringLiteral("H")};
    const QString suffix = QFileInfo(path).suffix();
    return cpp.contains(suffix) ? LspKey("cpp") : LspKey("c");
}

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

} // namespace

CodeIntelligence::CodeIntelligence(QObject* parent)
    : QObject(parent),
      m_cacheFolder(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                    + QStringLiteral("/tarn"))
{
}

CodeIntelligence::~CodeIntelligence()
{
    // Every server is asked to end first, so their graces run side by side.
    for (auto& [name, server] : m_servers)
        if (server.server)
            server.server->stop();
    m_servers.clear();
}

void CodeIntelligence::setSettings(const Settings& settings)
{
    if (settings == m_settings)
        return;
    m_settings = settings;
    stopAll();
    m_said.clear();
    const QList<LanguageDocument*> documents = m_documents.keys();
    m_documents.clear();
    m_paths.clear();
    for (LanguageDocument* document : documents) {
        document->showDiagnostics({});
        m_documents.insert(document, QString());
    }
    if (!m_settings.enabled)
        return;
    for (LanguageDocument* document : documents)
        attach(document);
}

QString CodeIntelligence::compileCommandsFolder(const QString& projectPath) const
{
    const QByteArray hash =
        QCryptographicHash::hash(PathToBytes(projectPath), QCryptographicHash::Sha1).toHex().left(16);
    return m_cacheFolder + QStringLiteral("/compile-commands/") + QString::fromLatin1(hash);
}

void CodeIntelligence::sayOnce(const QString& cause, const QString& text)
{
    if (m_said.contains(cause))
        return;
    m_said.insert(cause);
    emit status(text);
}

std::optional<QString> CodeIntelligence::serverKeyFor(const QString& path,
                                                      LanguageServer::Start* start)
{
    if (!m_settings.enabled)
        return std::nullopt;
    const QString problem = ProgramProblem(m_settings.clangdPath);
    if (!problem.isEmpty()) {
        sayOnce(QStringLiteral("clangd"),
                m_settings.clangdPath.isEmpty()
                    ? QStringLiteral("Code intelligence is off: no clangd was found (install clangd, "
                                     "or set its path in View > Options)")
                    : QStringLiteral("Code intelligence is off: clangd %1: %2")
                          .arg(PathForDisplay(m_settings.clangdPath), problem));
        return std::nullopt;
    }
    QString folder;
    if (m_projectLookup) {
        if (const std::optional<ProjectCommands> project = m_projectLookup(path)) {
            folder = compileCommandsFolder(project->projectPath);
            const QString file = folder + QStringLiteral("/compile_commands.json");
            const std::optional<QByteArray> old = ReadRegularFile(file, kMaxReadForLines);
            QString error;
            if (!old || *old != project->contents) {
                if (!QDir().mkpath(folder) || !fw::saveFileSafely(file, project->contents, &error))
                    sayOnce(QStringLiteral("cache ") + folder,
                            QStringLiteral("Code intelligence: the compile commands could not be "
                                           "written to %1%2")
                                .arg(PathForDisplay(folder),
                                     error.isEmpty() ? QString() : QStringLiteral(": ") + error));
            }
        }
    }
    if (folder.isEmpty()) {
        for (QString dir = folderOf(path);; dir = folderOf(dir)) {
            if (FileTypeOf(dir + QStringLiteral("/compile_commands.json")) == FileType::Regular) {
                folder = dir;
                break;
            }
            if (dir == QStringLiteral("/"))
                break;
        }
    }
    QStringList arguments;
    if (!folder.isEmpty())
        arguments << QStringLiteral("--compile-commands-dir=") + folder;
    arguments << QStringLiteral("--log=error") << QStringLiteral("--header-insertion=never");
    start->invocation = Invocation{m_settings.clangdPath, arguments,
                                   folder.isEmpty() ? folderOf(path) : folder};
    start->rootPath = folder;
    start->fallbackFlags = m_settings.fallbackFlags;
    return folder;
}

bool CodeIntelligence::sendable(LanguageDocument* document)
{
    const QString path = document->languagePath();
    const QString name = PathForDisplay(path.mid(path.lastIndexOf(u'/') + 1));
    if (!document->languageTextIsUtf8()) {
        sayOnce(QStringLiteral("utf8 ") + path,
                QStringLiteral("Code intelligence leaves %1 alone: its text is not UTF-8").arg(name));
        return false;
    }
    if (document->languageTextSize() > kMaxDocumentBytes) {
        sayOnce(QStringLiteral("size ") + path,
                QStringLiteral("Code intelligence leaves %1 alone: larger than %2 MB")
                    .arg(name)
                    .arg(kMaxDocumentBytes >> 20));
        return false;
    }
    return true;
}

void CodeIntelligence::attach(LanguageDocument* document)
{
    if (m_documents.contains(document))
        detach(document);
    m_documents.insert(document, QString());
    const QString path = document->languagePath();
    if (path.isEmpty() || !m_settings.enabled || !sendable(document))
        return;
    LanguageServer::Start start;
    const std::optional<QString> serverKey = serverKeyFor(path, &start);
    if (!serverKey)
        return;
    auto found = m_servers.find(*serverKey);
    if (found == m_servers.end()) {
        found = m_servers.emplace(*serverKey, Server{}).first;
        found->second.start = start;
        startServer(*serverKey);
    }
    if (found->second.givenUp)
        return;
    openIn(found->second, document);
    m_documents[document] = *serverKey;
    m_paths[document] = path;
}

void CodeIntelligence::startServer(const QString& serverKey)
{
    Server& server = m_servers.at(serverKey);
    server.server = std::make_unique<LanguageServer>();
    LanguageServer* raw = server.server.get();
    connect(raw, &LanguageServer::diagnostics, this, &CodeIntelligence::onDiagnostics);
    connect(raw, &LanguageServer::failed, this, [this](const QString& why) {
        sayOnce(QStringLiteral("failed"),
                QStringLiteral("Code intelligence: clangd did not start (%1)").arg(why));
    });
    connect(raw, &LanguageServer::crashed, this,
            [this, serverKey](const QString& why) { onCrashed(serverKey, why); });
    connect(raw, &LanguageServer::protocolProblem, this, [this](const QString& what) {
        sayOnce(QStringLiteral("protocol"),
                QStringLiteral("Code intelligence: the language server sent %1; it was ignored").arg(what));
    });
    raw->start(server.start);
}

void CodeIntelligence::openIn(Server& server, LanguageDocument* document)
{
    server.documents.insert(document);
    server.server->openDocument(document->languagePath(), languageIdOf(document->languagePath()),
                                document->languageText());
}

void CodeIntelligence::detach(LanguageDocument* document)
{
    auto found = m_documents.find(document);
    if (found == m_documents.end())
        return;
    const QString serverKey = found.value();
    m_documents.erase(found);
    const QString path = m_paths.take(document);
    // Answers on their way to the document are not wanted any more.
    for (auto it = m_latest.begin(); it != m_latest.end();) {
        if (it.key().first == document) {
            it.value().first->connection().cancel(it.value().second);
            it = m_latest.erase(it);
        } else {
            ++it;
        }
    }
    auto server = m_servers.find(serverKey);
    if (server == m_servers.end() || !server->second.documents.remove(document))
        return;
    bool sameFileElsewhere = false;
    for (LanguageDocument* other : std::as_const(server->second.documents))
        sameFileElsewhere = sameFileElsewhere || m_paths.value(other) == path;
    if (!sameFileElsewhere && server->second.server)
        server->second.server->closeDocument(path);
    removeIdle(serverKey);
}

void CodeIntelligence::removeIdle(const QString& serverKey)
{
    auto server = m_servers.find(serverKey);
    if (server == m_servers.end() || !server->second.documents.isEmpty())
        return;
    std::unique_ptr<LanguageServer> retiring = std::move(server->second.server);
    m_servers.erase(server);
    if (!retiring)
        return;
    // Deleted once it has ended: the interface thread never waits for it.
    LanguageServer* raw = retiring.release();
    raw->disconnect(this);
    raw->setParent(this);
    connect(raw, &LanguageServer::ended, raw, &QObject::deleteLater);
    if (raw->state() == LanguageServer::State::Failed || raw->state() == LanguageServer::State::Ended)
        raw->deleteLater();
    else
        raw->stop();
}

void CodeIntelligence::stopAll()
{
    std::vector<QString> keys;
    for (auto& [name, server] : m_servers) {
        server.documents.clear();
        keys.push_back(name);
    }
    for (const QString& name : keys)
        removeIdle(name);
    m_latest.clear();
}

void CodeIntelligence::changed(LanguageDocument* document, const std::vector<LspTextEdit>& changes)
{
    Server* server = serverFor(document);
    if (!server || !server->server)
        return;
    if (server->server->answersInUtf8() || server->server->state() == LanguageServer::State::Starting) {
        if (server->server->isReady())
            server->server->changeDocument(document->languagePath(), changes);
        else
            // Before the handshake the encoding is not known: the whole
            // text goes again.
            openIn(*server, document);
        return;
    }
    // A server that counts in UTF-16 gets the whole text: the byte columns
    // of a change cannot be converted once the line has changed.
    server->server->changeDocument(document->languagePath(),
                                   {LspTextEdit{{{0, 0}, {-1, -1}}, QString::fromUtf8(document->languageText())}});
}

void CodeIntelligence::saved(LanguageDocument* document)
{
    if (Server* server = serverFor(document); server && server->server)
        server->server->saveDocument(document->languagePath());
}

void CodeIntelligence::projectsChanged()
{
    const QList<LanguageDocument*> documents = m_documents.keys();
    for (LanguageDocument* document : documents) {
        LanguageServer::Start start;
        const QString path = document->languagePath();
        if (path.isEmpty() || !m_settings.enabled)
            continue;
        const std::optional<QString> serverKey = serverKeyFor(path, &start);
        if (serverKey && *serverKey != m_documents.value(document))
            attach(document);
    }
}

CodeIntelligence::Server* CodeIntelligence::serverFor(const LanguageDocument* document) const
{
    auto found = m_documents.constFind(const_cast<LanguageDocument*>(document));
    if (found == m_documents.constEnd())
        return nullptr;
    auto server = m_servers.find(found.value());
    if (server == m_servers.end() || !server->second.documents.contains(const_cast<LanguageDocument*>(document)))
        return nullptr;
    return const_cast<Server*>(&server->second);
}

bool CodeIntelligence::serves(const LanguageDocument* document) const
{
    const LanguageServer* server = serverOf(document);
    return server && server->isReady();
}

LanguageServer* CodeIntelligence::serverOf(const LanguageDocument* document) const
{
    const Server* server = serverFor(document);
    return server ? server->server.get() : nullptr;
}

QStringList CodeIntelligence::completionTriggers(const LanguageDocument* document) const
{
    const LanguageServer* server = serverOf(document);
    return server ? server->completionTriggers() : QStringList();
}

LanguageDocument* CodeIntelligence::documentAt(const QString& path) const
{
    for (auto it = m_documents.constBegin(); it != m_documents.constEnd(); ++it)
        if (it.key()->languagePath() == path)
            return it.key();
    return nullptr;
}

QByteArray CodeIntelligence::lineOf(const QString& path, int line) const
{
    if (LanguageDocument* document = documentAt(path))
        return document->languageLine(line);
    const std::optional<QByteArray> bytes = ReadRegularFile(path, kMaxReadForLines);
    return bytes ? LineOfText(*bytes, line) : QByteArray();
}

LspRange CodeIntelligence::toBytes(const Server& server, const QString& path, const LspRange& range) const
{
    if (!server.server || server.server->answersInUtf8())
        return range;
    const QByteArray first = lineOf(path, range.start.line);
    const QByteArray last = range.end.line == range.start.line ? first : lineOf(path, range.end.line);
    return {{range.start.line, ByteColumn(first, range.start.column)},
            {range.end.line, ByteColumn(last, range.end.column)}};
}

LspPosition CodeIntelligence::toServer(const Server& server, LanguageDocument* document,
                                       LspPosition at) const
{
    if (!server.server || server.server->answersInUtf8())
        return at;
    return {at.line, Utf16Column(document->languageLine(at.line), at.column)};
}

void CodeIntelligence::onDiagnostics(const LspDiagnostics& diagnostics)
{
    auto* sender = qobject_cast<LanguageServer*>(QObject::sender());
    for (auto it = m_documents.constBegin(); it != m_documents.constEnd(); ++it) {
        LanguageDocument* document = it.key();
        const Server* server = serverFor(document);
        if (!server || server->server.get() != sender || document->languagePath() != diagnostics.path)
            continue;
        std::vector<LspDiagnostic> items = diagnostics.items;
        if (!sender->answersInUtf8())
            for (LspDiagnostic& item : items)
                item.range = toBytes(*server, diagnostics.path, item.range);
        document->showDiagnostics(items);
    }
}

void CodeIntelligence::onCrashed(const QString& serverKey, const QString& why)
{
    auto found = m_servers.find(serverKey);
    if (found == m_servers.end())
        return;
    Server& server = found->second;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::erase_if(server.crashes, [&](const QDateTime& at) { return at.secsTo(now) >= 60; });
    server.crashes.push_back(now);
    for (LanguageDocument* document : std::as_const(server.documents))
        document->showDiagnostics({});
    for (auto it = m_latest.begin(); it != m_latest.end();)
        it = it.value().first == server.server.get() ? m_latest.erase(it) : std::next(it);
    // The old server goes once its worker is done.
    server.server.release()->deleteLater();
    if (server.crashes.size() >= kMaxCrashesPerMinute) {
        server.givenUp = true;
        emit status(QStringLiteral("Code intelligence is off: clangd crashed %1 times in a minute "
                                   "(%2); switch View > Code Intelligence off and on to try again")
                        .arg(kMaxCrashesPerMinute)
                        .arg(why));
        return;
    }
    emit status(QStringLiteral("clangd stopped (%1) and was started again").arg(why));
    startServer(serverKey);
    for (LanguageDocument* document : std::as_const(server.documents))
        server.server->openDocument(document->languagePath(), languageIdOf(document->languagePath()),
                                    document->languageText());
}

template <typename T, typename Decode, typename Convert>
void CodeIntelligence::ask(LanguageDocument* document, const QString& method, const QJsonValue& params,
                           Decode decode, Convert convert,
                           std::function<void(T&, const QString&)> answer)
{
    Server* server = serverFor(document);
    if (!server || !server->server || !server->server->isReady()) {
        T nothing{};
        const bool starting = server && server->server
                              && server->server->state() == LanguageServer::State::Starting;
        answer(nothing, starting ? QStringLiteral("the language server is still starting")
                                 : QStringLiteral("no language server works on this file"));
        return;
    }
    LanguageServer* raw = server->server.get();
    const QPair<LanguageDocument*, QString> kind{document, method};
    if (auto older = m_latest.constFind(kind); older != m_latest.constEnd())
        older.value().first->connection().cancel(older.value().second);
    const int id = raw->connection().request<T>(
        method, params, std::function<T(const QJsonValue&)>(decode),
        std::function<void(T&, const LspConnection::Error&)>(
            [this, kind, raw, convert, answer](T& value, const LspConnection::Error& error) {
                m_latest.remove(kind);
                if (!error && !raw->answersInUtf8())
                    convert(value);
                answer(value, error ? error.message : QString());
            }),
        m_requestTimeoutMs);
    m_latest.insert(kind, {raw, id});
}

void CodeIntelligence::complete(LanguageDocument* document, LspPosition at,
                                std::function<void(LspCompletion&, const QString&)> answer)
{
    Server* server = serverFor(document);
    if (server)
        at = toServer(*server, document, at);
    const QString path = document->languagePath();
    ask<LspCompletion>(
        document, LspKey("textDocument/completion"), LspDocumentPositionParams(path, at), LspCompletionFrom,
        [this, document, path](LspCompletion& completion) {
            if (Server* s = serverFor(document))
                for (LspCompletionItem& item : completion.items)
                    if (item.hasRange)
                        item.edit.range = toBytes(*s, path, item.edit.range);
        },
        std::move(answer));
}

void CodeIntelligence::locate(LanguageDocument* document, const QString& method, LspPosition at,
                              std::function<void(std::vector<LspLocation>&, const QString&)> answer)
{
    Server* server = serverFor(document);
    if (server)
        at = toServer(*server, document, at);
    QJsonObject params = LspDocumentPositionParams(document->languagePath(), at);
    if (method == LspKey("textDocument/references"))
        params.insert(LspKey("context"), QJsonObject{{LspKey("includeDeclaration"), true}});
    ask<std::vector<LspLocation>>(
        document, method, params, LspLocationsFrom,
        [this, document](std::vector<LspLocation>& locations) {
            if (Server* s = serverFor(document))
                for (LspLocation& location : locations)
                    location.range = toBytes(*s, location.path, location.range);
        },
        std::move(answer));
}

void CodeIntelligence::hover(LanguageDocument* document, LspPosition at,
                             std::function<void(QString&, const QString&)> answer)
{
    Server* server = serverFor(document);
    if (server)
        at = toServer(*server, document, at);
    ask<QString>(document, LspKey("textDocument/hover"),
                 LspDocumentPositionParams(document->languagePath(), at), LspHoverFrom,
                 [](QString&) {}, std::move(answer));
}

void CodeIntelligence::signatureHelp(LanguageDocument* document, LspPosition at,
                                     std::function<void(LspSignatureHelp&, const QString&)> answer)
{
    Server* server = serverFor(document);
    if (server)
        at = toServer(*server, document, at);
    ask<LspSignatureHelp>(document, LspKey("textDocument/signatureHelp"),
                          LspDocumentPositionParams(document->languagePath(), at),
                          LspSignatureHelpFrom, [](LspSignatureHelp&) {}, std::move(answer));
}

void CodeIntelligence::rename(LanguageDocument* document, LspPosition at, const QString& newName,
                              std::function<void(std::vector<LspFileEdits>&, const QString&)> answer)
{
    Server* server = serverFor(document);
    if (server)
        at = toServer(*server, document, at);
    QJsonObject params = LspDocumentPositionParams(document->languagePath(), at);
    params.insert(LspKey("newName"), newName);
    ask<std::vector<LspFileEdits>>(
        document, LspKey("textDocument/rename"), params, LspWorkspaceEditFrom,
        [this, document](std::vector<LspFileEdits>& files) {
            if (Server* s = serverFor(document))
                for (LspFileEdits& file : files)
                    for (LspTextEdit& edit : file.edits)
                        edit.range = toBytes(*s, file.path, edit.range);
        },
        std::move(answer));
}

void CodeIntelligence::switchSourceHeader(LanguageDocument* document,
                                          std::function<void(QString&, const QString&)> answer)
{
    // clangd's own request takes the document's identifier itself.
    ask<QString>(
        document, LspKey("textDocument/switchSourceHeader"),
        QJsonObject{{LspKey("uri"), LspUriFromPath(document->languagePath())}},
        [](const QJsonValue& result) { return LspPathFromUri(result.toString()).value_or(QString()); },
        [](QString&) {}, std::move(answer));
}
