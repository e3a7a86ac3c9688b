#pragma once

#include "language/LspConnection.h"
#include "language/LspProtocol.h"
#include "tools/Invocation.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <memory>

class WorkerChild;

// One language server (clangd) as a long-lived worker child: its start and
// the initialize handshake, the documents it has been told about (open,
// changes, save, close, each with its version), and its end (shutdown and
// exit, then the stop grace). Requests go through connection(); messages
// given before the handshake is over wait for it, in order.
//
// Interface thread only. Nothing here blocks it: the server's output is
// read and decoded on the worker.
class LanguageServer : public QObject {
    Q_OBJECT
public:
    struct Start {
        // The server and its arguments (--compile-commands-dir and so on).
        Invocation invocation;
        // The root folder reported to the server.
        QString rootPath;
        // The compile flags of a file no compile command covers.
        QStringList fallbackFlags;
        // How long the server may take to answer initialize (clangd reads
        // its compile commands first; a large database takes a while).
        int initializeTimeoutMs = 60000;
    };

    explicit LanguageServer(QObject* parent = nullptr);
    ~LanguageServer() override;

    void start(const Start& start);
    // Asks the server to end (shutdown and exit); returns at once; ended()
    // follows when it is gone. Waiting requests fail with kServerGone.
    void stop();

    enum class State { NotStarted, Starting, Ready, Failed, Stopping, Ended };
    State state() const { return m_state; }
    bool isReady() const { return m_state == State::Ready; }
    LspConnection& connection() { return *m_connection; }
    // True when the server counts columns in UTF-8 bytes as asked (clangd
    // does); false: it counts UTF-16 units.
    bool answersInUtf8() const { return m_utf8; }
    const QStringList& completionTriggers() const { return m_triggers; }

    // Document synchronisation. `text` is the document's whole UTF-8 text.
    void openDocument(const QString& path, const QString& languageId, const QByteArray& text);
    // Changes in order: each the range replaced (positions before that
    // change) and the new text; a range whose end line is negative stands
    // for the whole text.
    void changeDocument(const QString& path, const std::vector<LspTextEdit>& changes);
    void saveDocument(const QString& path);
    void closeDocument(const QString& path);
    bool isOpen(const QString& path) const { return m_versions.contains(path); }
    int version(const QString& path) const { return m_versions.value(path, -1); }
    QStringList openDocuments() const { return m_versions.keys(); }

    // The last bytes the server wrote to its standard error (its own
    // account of a crash).
    QByteArray errorTail() const { return m_errorTail; }

signals:
    void ready();
    // Could not be started, or the handshake failed; the reason in words.
    void failed(const QString& why);
    // Ended by itself (a crash, or killed from outside).
    void crashed(const QString& why);
    // Gone after stop().
    void ended();
    void diagnostics(const LspDiagnostics& diagnostics);
    // The server sent something that is not the protocol (once per kind).
    void protocolProblem(const QString& what);

private:
    void send(const QByteArray& frame);
    void initialized(const QJsonValue& result);

    State m_state = State::NotStarted;
    std::unique_ptr<WorkerChild> m_child;
    std::unique_ptr<LspConnection> m_connection;
    // Frames given before the handshake ended.
    QByteArray m_held;
    bool m_handshaking = false;
    bool m_utf8 = false;
    QStringList m_triggers;
    QHash<QString, int> m_versions;
    QByteArray m_errorTail;
};
