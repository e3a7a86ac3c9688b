// A language server on its worker, with the stand-in server
// (StandInServer.cpp) playing a well-behaved server and each way a server
// goes wrong: the handshake, documents kept in step, answers matched to
// their requests, time-outs and cancellation, crashes, garbage, wrong
// lengths and huge messages, and an end that never waits on a hung server.
#include "language/LanguageServer.h"

#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

LanguageServer::Start standIn(const QStringList& arguments)
{
    LanguageServer::Start start;
    start.invocation = Invocation{QStringLiteral(TARN_LSP_STANDIN), arguments, {}};
    start.rootPath = QStringLiteral("/tmp");
    start.initializeTimeoutMs = 2000;
    return start;
}

// The messages the stand-in received, from its log.
std::vector<QJsonObject> received(const QString& log)
{
    std::vector<QJsonObject> messages;
    for (const QByteArray& line : readFile(log).split('\n'))
        if (!line.isEmpty())
            messages.push_back(QJsonDocument::fromJson(line).object());
    return messages;
}

std::vector<QString> methods(const QString& log)
{
    std::vector<QString> names;
    for (const QJsonObject& message : received(log))
        names.push_back(message.value(QStringLiteral("method")).toString());
    return names;
}

struct Answer {
    bool arrived = false;
    LspCompletion completion;
    LspConnection::Error error;
};

int askCompletion(LanguageServer& server, Answer& answer, int timeoutMs = 5000)
{
    return server.connection().request<LspCompletion>(
        QStringLiteral("textDocument/completion"),
        LspDocumentPositionParams(QStringLiteral("/tmp/a.c"), {0, 0}), LspCompletionFrom,
        [&answer](LspCompletion& completion, const LspConnection::Error& error) {
            answer.arrived = true;
            answer.completion = completion;
            answer.error = error;
        },
        timeoutMs);
}

TEST(LanguageServer, HandshakeThenDocumentsKeptInStepAndDiagnosticsBack)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log"));
    LanguageServer server;
    std::vector<LspDiagnostics> published;
    QObject::connect(&server, &LanguageServer::diagnostics,
                     [&](const LspDiagnostics& d) { published.push_back(d); });
    server.start(standIn({QStringLiteral("--log=") + log}));
    // Given before the handshake: held until it is over, then in order.
    server.openDocument(QStringLiteral("/tmp/a.c"), QStringLiteral("c"), "int x;\nERROR here\n");
    ASSERT_TRUE(waitUntil([&] { return server.isReady(); }));
    EXPECT_TRUE(server.answersInUtf8());
    EXPECT_EQ(server.completionTriggers(), (QStringList{QStringLiteral("."), QStringLiteral(">")}));
    ASSERT_TRUE(waitUntil([&] { return published.size() == 1; }));
    EXPECT_EQ(published[0].path, QStringLiteral("/tmp/a.c"));
    ASSERT_EQ(published[0].items.size(), 1u);
    EXPECT_EQ(published[0].items[0].range, (LspRange{{1, 0}, {1, 5}}));

    // "ERROR here" -> "fixed here": the error goes; then one typed on line 0.
    server.changeDocument(QStringLiteral("/tmp/a.c"), {{{{1, 0}, {1, 5}}, QStringLiteral("fixed")}});
    ASSERT_TRUE(waitUntil([&] { return published.size() == 2; }));
    EXPECT_TRUE(published[1].items.empty());
    server.changeDocument(QStringLiteral("/tmp/a.c"), {{{{0, 6}, {0, 6}}, QStringLiteral(" ERROR")}});
    ASSERT_TRUE(waitUntil([&] { return published.size() == 3; }));
    ASSERT_EQ(published[2].items.size(), 1u);
    EXPECT_EQ(published[2].items[0].range, (LspRange{{0, 7}, {0, 12}}));
    EXPECT_EQ(server.version(QStringLiteral("/tmp/a.c")), 3);
    server.saveDocument(QStringLiteral("/tmp/a.c"));
    server.closeDocument(QStringLiteral("/tmp/a.c"));
    EXPECT_FALSE(server.isOpen(QStringLiteral("/tmp/a.c")));

    QSignalSpy ended(&server, &LanguageServer::ended);
    server.stop();
    ASSERT_TRUE(waitUntil([&] { return ended.size() == 1; }));
    EXPECT_EQ(methods(log), (std::vector<QString>{
                                QStringLiteral("initialize"), QStringLiteral("initialized"),
                                QStringLiteral("textDocument/didOpen"), QStringLiteral("textDocument/didChange"),
                                QStringLiteral("textDocument/didChange"), QStringLiteral("textDocument/didSave"),
                                QStringLiteral("textDocument/didClose"), QStringLiteral("shutdown"),
                                QStringLiteral("exit")}));
    const QJsonObject secondChange = received(log)[4];
    EXPECT_EQ(secondChange.value(QStringLiteral("params")).toObject().value(QStringLiteral("textDocument"))
                  .toObject().value(QStringLiteral("version")).toInt(), 3);
}

TEST(LanguageServer, AnswersReachTheirRequestsWhateverTheServerWritesBetween)
{
    struct Case {
        const char* mode;
        bool problem;
    };
    // garbage before each answer; a first answer with a length too short
    // (that one is lost, the next arrive); a 100 MB message before each
    // answer, read past without being held.
    for (const Case& c : {Case{"normal", false}, Case{"garbage", true}, Case{"short", true},
                          Case{"huge", true}}) {
        LanguageServer server;
        QStringList problems;
        QObject::connect(&server, &LanguageServer::protocolProblem,
                         [&](const QString& what) { problems << what; });
        server.start(standIn({QStringLiteral("--mode=") + QLatin1String(c.mode), QStringLiteral("--items=4")}));
        ASSERT_TRUE(waitUntil([&] { return server.isReady(); }, 20000)) << c.mode;
        Answer first;
        Answer second;
        askCompletion(server, first, 3000);
        askCompletion(server, second, 20000);
        ASSERT_TRUE(waitUntil([&] { return first.arrived && second.arrived; }, 30000)) << c.mode;
        EXPECT_EQ(second.completion.items.size(), 4u) << c.mode;
        EXPECT_FALSE(second.error) << c.mode;
        if (std::string(c.mode) == "short")
            EXPECT_EQ(first.error.code, LspConnection::kTimedOut);
        else
            EXPECT_EQ(first.completion.items.size(), 4u) << c.mode;
        EXPECT_EQ(!problems.isEmpty(), c.problem) << c.mode;
    }
}

TEST(LanguageServer, AHungServerTimesOutIsCancelledAndEndsAtOnce)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log"));
    auto server = std::make_unique<LanguageServer>();
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    server->start(standIn({QStringLiteral("--mode=hang"), QStringLiteral("--log=") + log,
                           QStringLiteral("--pid-file=") + pidFile}));
    ASSERT_TRUE(waitUntil([&] { return server->isReady(); }));
    Answer answer;
    const int id = askCompletion(*server, answer, 200);
    ASSERT_TRUE(waitUntil([&] { return answer.arrived; }));
    EXPECT_EQ(answer.error.code, LspConnection::kTimedOut);
    EXPECT_FALSE(server->connection().isWaiting(id));
    ASSERT_TRUE(waitUntil([&] {
        for (const QJsonObject& message : received(log))
            if (message.value(QStringLiteral("method")).toString() == QStringLiteral("$/cancelRequest"))
                return message.value(QStringLiteral("params")).toObject().value(QStringLiteral("id")).toInt() == id;
        return false;
    }));
    // A request cancelled by Tarn gets no reply at all.
    Answer cancelled;
    server->connection().cancel(askCompletion(*server, cancelled, 100));
    // Deleting the server never waits on the interface thread for more
    // than the stop grace, and its child is gone after it.
    const qint64 pid = readFile(pidFile).toLongLong();
    ASSERT_GT(pid, 0);
    QElapsedTimer clock;
    clock.start();
    server.reset();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_NE(::kill(pid_t(pid), 0), 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(cancelled.arrived);
}

TEST(LanguageServer, ACrashFailsWhatWaitsAndIsReported)
{
    LanguageServer server;
    QSignalSpy crashed(&server, &LanguageServer::crashed);
    server.start(standIn({QStringLiteral("--mode=crash")}));
    ASSERT_TRUE(waitUntil([&] { return server.isReady(); }));
    server.openDocument(QStringLiteral("/tmp/a.c"), QStringLiteral("c"), "int x;\n");
    Answer answer;
    askCompletion(server, answer);
    ASSERT_TRUE(waitUntil([&] { return crashed.size() == 1; }));
    EXPECT_TRUE(answer.arrived);
    EXPECT_EQ(answer.error.code, LspConnection::kServerGone);
    EXPECT_EQ(server.state(), LanguageServer::State::Failed);
}

TEST(LanguageServer, AServerThatCannotStartOrNeverAnswersFails)
{
    {
        LanguageServer server;
        QSignalSpy failed(&server, &LanguageServer::failed);
        LanguageServer::Start start = standIn({});
        start.invocation.program = QStringLiteral("/nonexistent/clangd");
        server.start(start);
        ASSERT_TRUE(waitUntil([&] { return failed.size() == 1; }));
        EXPECT_FALSE(failed[0][0].toString().isEmpty());
    }
    {
        LanguageServer server;
        QSignalSpy failed(&server, &LanguageServer::failed);
        LanguageServer::Start start = standIn({QStringLiteral("--mode=silent")});
        start.initializeTimeoutMs = 300;
        server.start(start);
        ASSERT_TRUE(waitUntil([&] { return failed.size() == 1; }));
        EXPECT_TRUE(failed[0][0].toString().contains(QStringLiteral("initialize")));
    }
}

} // namespace
