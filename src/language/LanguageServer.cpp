#include "language/LanguageServer.h"

#include "tools/WorkerChild.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

constexpr qsizetype kErrorTailBytes = 4096;

QJsonObject documentId(const QString& path)
{
    return {{LspKey("uri"), LspUriFromPath(path)}};
}

} // namespace

LanguageServer::LanguageServer(QObject* parent) : QObject(parent)
{
    m_connection = std::make_unique<LspConnection>([this](const QByteArray& frame) { send(frame); });
    m_connection->onProtocolProblem = [this](const QString& what) { emit protocolProblem(what); };
    m_connection->onNotification(
        LspKey("textDocument/publishDiagnostics"),
        [](const QJsonValue& params) -> std::any { return LspDiagnosticsFrom(params); },
        [this](std::any& value) {
            if (auto* found = std::any_cast<LspDiagnostics>(&value))
                emit diagnostics(*found);
        });
}

LanguageServer::~LanguageServer()
{
    if (m_child && m_state != State::Stopping && m_state != State::Ended)
        stop();
    // The worker's end (the grace, the group) runs as the child goes.
    m_child.reset();
}

void LanguageServer::start(const Start& start)
{
    m_state = State::Starting;
    WorkerChild::Handlers handlers;
    handlers.startFailed = [this](const QString& error) {
        m_state = State::Failed;
        m_connection->failAll(error);
        emit failed(error);
    };
    handlers.errorOutput = [this](const QByteArray& bytes) {
        m_errorTail += bytes;
        if (m_errorTail.size() > kErrorTailBytes)
            m_errorTail = m_errorTail.right(kErrorTailBytes);
    };
    handlers.finished = [this](int code, bool crashed) {
        if (m_state == State::Stopping || m_state == State::Ended)
            return;
        const QString why = crashed ? QStringLiteral("it crashed")
                                    : QStringLiteral("it ended with exit status %1").arg(code);
        const bool wasStarting = m_state == State::Starting;
        m_state = State::Failed;
        m_connection->failAll(why);
        if (wasStarting)
            emit failed(why);
        else
            emit this->crashed(why);
    };
    handlers.ended = [this] {
        m_state = State::Ended;
        emit ended();
    };
    auto receiver = std::make_shared<LspConnection::Receiver>(m_connection->receiver());
    m_child = std::make_unique<WorkerChild>(
        this, QStringLiteral("language server"), std::move(handlers),
        [receiver](const QByteArray& bytes, const WorkerChild::Post& post) {
            receiver->receive(bytes, post);
        });
    m_child->start(start.invocation);
    m_handshaking = true;
    m_connection->request<QJsonValue>(
        LspKey("initialize"),
        LspInitializeParams(start.rootPath, QCoreApplication::applicationPid(), start.fallbackFlags),
        [](const QJsonValue& result) { return result; },
        [this](QJsonValue& result, const LspConnection::Error& error) {
            if (m_state != State::Starting)
                return;
            if (error) {
                m_state = State::Failed;
                emit failed(QStringLiteral("it did not start: %1").arg(error.message));
                return;
            }
            initialized(result);
        },
        start.initializeTimeoutMs);
    m_handshaking = false;
}

void LanguageServer::initialized(const QJsonValue& result)
{
    m_utf8 = LspAnswersInUtf8(result);
    m_triggers = LspCompletionTriggers(result);
    m_state = State::Ready;
    m_handshaking = true;
    m_connection->notify(LspKey("initialized"), QJsonObject{});
    m_handshaking = false;
    m_child->write(std::exchange(m_held, {}));
    emit ready();
}

void LanguageServer::send(const QByteArray& frame)
{
    if (!m_child || m_state == State::Failed || m_state == State::Stopping
        || m_state == State::Ended)
        return;
    if (m_state == State::Ready || m_handshaking)
        m_child->write(frame);
    else
        m_held += frame;
}

void LanguageServer::stop()
{
    if (!m_child || m_state == State::Stopping || m_state == State::Ended)
        return;
    const bool running = m_state == State::Ready || m_state == State::Starting;
    m_state = State::Stopping;
    m_held.clear();
    m_connection->failAll(QStringLiteral("the language server was stopped"));
    // shutdown, then exit, written by the worker as the child's farewell:
    // a server that answers neither still ends with its input closed and,
    // after the grace, with its group.
    QByteArray farewell;
    if (running) {
        auto frame = [](QJsonObject object) {
            object.insert(LspKey("jsonrpc"), LspKey("2.0"));
            return LspFrame(QJsonDocument(object).toJson(QJsonDocument::Compact));
        };
        farewell = frame({{LspKey("id"), 0}, {LspKey("method"), LspKey("shutdown")}})
                   + frame({{LspKey("method"), LspKey("exit")}});
    }
    m_versions.clear();
    m_child->end(farewell);
}

void LanguageServer::openDocument(const QString& path, const QString& languageId,
                                  const QByteArray& text)
{
    if (m_versions.contains(path))
        closeDocument(path);
    m_versions.insert(path, 1);
    m_connection->notify(LspKey("textDocument/didOpen"),
                         QJsonObject{{LspKey("textDocument"),
                                      QJsonObject{{LspKey("uri"), LspUriFromPath(path)},
                                                  {LspKey("languageId"), languageId},
                                                  {LspKey("version"), 1},
                                                  {LspKey("text"), QString::fromUtf8(text)}}}});
}

void LanguageServer::changeDocument(const QString& path, const std::vector<LspTextEdit>& changes)
{
    auto found = m_versions.find(path);
    if (found == m_versions.end() || changes.empty())
        return;
    const int version = ++*found;
    QJsonArray array;
    for (const LspTextEdit& change : changes) {
        if (change.range.end.line < 0)
            array.append(QJsonObject{{LspKey("text"), change.newText}});
        else
            array.append(QJsonObject{{LspKey("range"), LspRangeJson(change.range)},
                                     {LspKey("text"), change.newText}});
    }
    QJsonObject document = documentId(path);
    document.insert(LspKey("version"), version);
    m_connection->notify(LspKey("textDocument/didChange"),
                         QJsonObject{{LspKey("textDocument"), document},
                                     {LspKey("contentChanges"), array}});
}

void LanguageServer::saveDocument(const QString& path)
{
    if (m_versions.contains(path))
        m_connection->notify(LspKey("textDocument/didSave"),
                             QJsonObject{{LspKey("textDocument"), documentId(path)}});
}

void LanguageServer::closeDocument(const QString& path)
{
    if (m_versions.remove(path))
        m_connection->notify(LspKey("textDocument/didClose"),
                             QJsonObject{{LspKey("textDocument"), documentId(path)}});
}
