#pragma once

#include "language/LspFraming.h"

#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QMutex>
#include <QObject>
#include <QString>

#include <any>
#include <functional>
#include <memory>
#include <vector>

// The JSON-RPC side of a language server connection: requests with ids and
// their answers matched to them, notifications both ways, cancellation of
// requests whose answer nobody wants any more, and time-outs.
//
// It lives on the user-interface thread, but the server's output is read,
// cut, parsed as JSON and decoded into Tarn's own values on the server's
// worker (receive()), so the interface thread only gets finished values.
// A request names its decoder, which runs on the worker; its reply runs
// on the interface thread with the decoded value.
// What the worker needs to decode: shared under a lock.
struct LspDecoders;

class LspConnection : public QObject {
    Q_OBJECT
public:
    // What a failed request gives its reply: the server's own error, a
    // time-out, or the server's end.
    struct Error {
        int code = 0;
        QString message;
        explicit operator bool() const { return code != 0; }
    };
    static constexpr int kTimedOut = -32803;  // not the server's: Tarn's own
    static constexpr int kServerGone = -32099;
    static constexpr int kRequestCancelled = -32800;

    using Decode = std::function<std::any(const QJsonValue& result)>;
    using Reply = std::function<void(std::any& value, const Error& error)>;
    using Send = std::function<void(const QByteArray& frame)>;
    // Hands a call to the interface thread (WorkerChild::Post).
    using Post = std::function<void(std::function<void()> call)>;

    explicit LspConnection(Send send, QObject* parent = nullptr);
    ~LspConnection() override;

    // Sends a request; the reply runs once, with the decoded result or an
    // error, unless the request is cancelled first. Returns its id.
    int request(const QString& method, const QJsonValue& params, Decode decode, Reply reply,
                int timeoutMs);
    // Typed convenience: decode gives a T, reply takes it.
    template <typename T>
    int request(const QString& method, const QJsonValue& params,
                std::function<T(const QJsonValue&)> decode,
                std::function<void(T&, const Error&)> reply, int timeoutMs)
    {
        return request(
            method, params,
            [decode = std::move(decode)](const QJsonValue& result) -> std::any {
                return decode(result);
            },
            [reply = std::move(reply)](std::any& value, const Error& error) {
                T* typed = std::any_cast<T>(&value);
                T empty{};
                reply(typed ? *typed : empty, error);
            },
            timeoutMs);
    }
    void notify(const QString& method, const QJsonValue& params);
    // Tells the server the answer is not wanted ($/cancelRequest); the reply
    // will not run.
    void cancel(int id);
    bool isWaiting(int id) const { return m_waiting.contains(id); }
    int waitingCount() const { return int(m_waiting.size()); }

    // A server notification (publishDiagnostics): decoded on the worker,
    // handled on the interface thread.
    using Handle = std::function<void(std::any& value)>;
    void onNotification(const QString& method, Decode decode, Handle handle);

    // The server is gone: every waiting reply runs with kServerGone.
    void failAll(const QString& why);

    // The worker's side: cuts and decodes each read of the server's output
    // there and posts what the interface thread must see. It holds what a
    // message still lacks, and only shared parts of the connection, so it
    // may outlive it (posted calls then do nothing).
    class Receiver {
    public:
        void receive(const QByteArray& bytes, const Post& post);
        qsizetype heldBytes() const { return m_frames.heldBytes(); }

    private:
        friend class LspConnection;
        std::shared_ptr<LspDecoders> m_decoders;
        std::shared_ptr<LspConnection*> m_self;
        LspFrameReader m_frames;
    };
    Receiver receiver() const;

    // Problems the worker met, summed (garbage bytes, messages that were
    // not JSON or too large): the server is said to be faulty once.
    std::function<void(const QString& what)> onProtocolProblem;

private:
    struct Waiting {
        Reply reply;
        QString method;
    };
    void deliver(int id, std::any value, Error error);
    void answerServerRequest(const QJsonValue& id);
    void expire(int id);

    Send m_send;
    int m_nextId = 1;
    QHash<int, Waiting> m_waiting;
    QHash<QString, Handle> m_handlers;
    std::shared_ptr<LspDecoders> m_decoders;
    // Lets posted calls find out the connection is gone.
    std::shared_ptr<LspConnection*> m_self;
};
