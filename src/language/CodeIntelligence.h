#pragma once

#include "language/LanguageServer.h"
#include "language/LspProtocol.h"
#include "language/NavigationHistory.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// A document a source window shows, as code intelligence sees it.
class LanguageDocument {
public:
    virtual ~LanguageDocument() = default;
    // Its file; empty while it has none (an untitled window is not served).
    virtual QString languagePath() const = 0;
    // The whole text as it is now, and whether it is UTF-8.
    virtual QByteArray languageText() const = 0;
    // Its size in bytes (a window answers without copying the text).
    virtual qsizetype languageTextSize() const { return languageText().size(); }
    virtual bool languageTextIsUtf8() const = 0;
    // One line's bytes (no line break), for servers that count in UTF-16.
    virtual QByteArray languageLine(int line) const = 0;
    // The problems the server found, columns in bytes (empty: none).
    virtual void showDiagnostics(const std::vector<LspDiagnostic>& diagnostics) = 0;
};

// The language servers the open source windows need, one per
// compile-commands folder: the open project's compile commands (written
// to Tarn's cache folder), else a compile_commands.json in the file's
// folder or a parent, else the fallback flags. Starts a server when a
// window needs one, keeps each window's document in step with it, routes
// the problems it finds back, restarts one that crashes (three times in a
// minute at most) and ends the ones no window needs any more. Requests
// and their answers use byte columns whatever the server counts in.
//
// Interface thread only. Nothing here waits for a server.
class CodeIntelligence : public QObject {
    Q_OBJECT
public:
    struct Settings {
        bool enabled = true;
        // The server program; empty: none set.
        QString clangdPath;
        // How a file without compile commands is compiled.
        QStringList fallbackFlags;
        bool operator==(const Settings&) const = default;
    };
    // The compile commands of the open project that holds a file.
    struct ProjectCommands {
        QString projectPath;
        QByteArray contents;
    };
    using ProjectLookup = std::function<std::optional<ProjectCommands>(const QString& path)>;

    // Files larger than this are not sent to a server.
    static constexpr qsizetype kMaxDocumentBytes = 8 * 1024 * 1024;
    // Requests a user waits for give up after this long (by default).
    static constexpr int kRequestTimeoutMs = 10000;
    void setRequestTimeout(int milliseconds) { m_requestTimeoutMs = milliseconds; }

    explicit CodeIntelligence(QObject* parent = nullptr);
    ~CodeIntelligence() override;

    // Applies at once: switched off, every server ends and the problems
    // shown go; a new server path restarts the servers.
    void setSettings(const Settings& settings);
    const Settings& settings() const { return m_settings; }
    void setProjectLookup(ProjectLookup lookup) { m_projectLookup = std::move(lookup); }
    // Where the projects' compile commands go (default: Tarn's folder in
    // the user's cache folder).
    void setCacheFolder(const QString& folder) { m_cacheFolder = folder; }
    QString compileCommandsFolder(const QString& projectPath) const;

    // A window's document: opened, loaded again or saved under a new name
    // (attach), changed, saved, closed (detach).
    void attach(LanguageDocument* document);
    void detach(LanguageDocument* document);
    void changed(LanguageDocument* document, const std::vector<LspTextEdit>& changes);
    void saved(LanguageDocument* document);
    // An open project's sources or options changed: its compile commands
    // are written again and the windows follow.
    void projectsChanged();

    // True when a running server has the document.
    bool serves(const LanguageDocument* document) const;
    // The server of a document, if it has one (ready or starting).
    LanguageServer* serverOf(const LanguageDocument* document) const;
    // The characters after which a server offers completion by itself.
    QStringList completionTriggers(const LanguageDocument* document) const;

    // Requests about the document at a byte position. Each answer comes
    // once, on the interface thread, with an empty value and the reason
    // when there is no server or it failed. A newer request of the same
    // kind for the same document cancels the older one.
    void complete(LanguageDocument* document, LspPosition at,
                  std::function<void(LspCompletion&, const QString& error)> answer);
    // method: textDocument/definition, textDocument/declaration,
    // textDocument/references.
    void locate(LanguageDocument* document, const QString& method, LspPosition at,
                std::function<void(std::vector<LspLocation>&, const QString& error)> answer);
    void hover(LanguageDocument* document, LspPosition at,
               std::function<void(QString&, const QString& error)> answer);
    void signatureHelp(LanguageDocument* document, LspPosition at,
                       std::function<void(LspSignatureHelp&, const QString& error)> answer);
    void rename(LanguageDocument* document, LspPosition at, const QString& newName,
                std::function<void(std::vector<LspFileEdits>&, const QString& error)> answer);
    // The header of a source or the source of a header (empty: none).
    void switchSourceHeader(LanguageDocument* document,
                            std::function<void(QString&, const QString& error)> answer);

    // The bytes of a line of a file: an attached window's text, else the
    // file on disk (empty when it has no such line).
    QByteArray lineOf(const QString& path, int line) const;

    // Where the Source menu's jumps came from (Alt+Left, Alt+Right).
    NavigationHistory& history() { return m_history; }

    // Servers running now (tests, the benchmarks).
    int serverCount() const { return int(m_servers.size()); }

signals:
    // One line for the status bar, said once per cause.
    void status(const QString& text);

private:
    struct Server {
        LanguageServer::Start start;
        std::unique_ptr<LanguageServer> server;
        QSet<LanguageDocument*> documents;
        std::vector<QDateTime> crashes;
        bool givenUp = false;
    };
    // Which server a file goes to: its key and how it starts; nothing when
    // no server can run.
    std::optional<QString> serverKeyFor(const QString& path, LanguageServer::Start* start);
    Server* serverFor(const LanguageDocument* document) const;
    void startServer(const QString& key);
    void openIn(Server& server, LanguageDocument* document);
    void stopAll();
    void onDiagnostics(const LspDiagnostics& diagnostics);
    void onCrashed(const QString& key, const QString& why);
    void removeIdle(const QString& key);
    void sayOnce(const QString& cause, const QString& text);
    // Whether the document may be sent; says why once when not.
    bool sendable(LanguageDocument* document);
    // Columns of what a server answered, made byte columns.
    LspRange toBytes(const Server& server, const QString& path, const LspRange& range) const;
    LspPosition toServer(const Server& server, LanguageDocument* document, LspPosition at) const;
    LanguageDocument* documentAt(const QString& path) const;
    template <typename T, typename Decode, typename Convert>
    void ask(LanguageDocument* document, const QString& method, const QJsonValue& params,
             Decode decode, Convert convert, std::function<void(T&, const QString&)> answer);

    Settings m_settings;
    ProjectLookup m_projectLookup;
    QString m_cacheFolder;
    int m_requestTimeoutMs = kRequestTimeoutMs;
    std::map<QString, Server> m_servers;
    // Each document's server key, and the path it was opened with (a
    // window being closed may not know its path any more).
    QHash<LanguageDocument*, QString> m_documents;
    QHash<LanguageDocument*, QString> m_paths;
    // The newest request of each kind per document.
    QHash<QPair<LanguageDocument*, QString>, QPair<LanguageServer*, int>> m_latest;
    QSet<QString> m_said;
    NavigationHistory m_history;
};
