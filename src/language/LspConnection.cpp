#include "language/LspConnection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTimer>

struct LspDecoders {
    QMutex lock;
    QHash<int, LspConnection::Decode> answers;
    QHash<QString, LspConnection::Decode> notifications;
};

namespace {

QByteArray message(QJsonObject object)
{
    object.insert(QStringLiteral("jsonrpc"), QStringLiteral("2.0"));
    return LspFrame(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

LspConnection::LspConnection(Send send, QObject* parent)
    : QObject(parent), m_send(std::move(send)), m_decoders(std::make_shared<LspDecoders>()),
      m_self(std::make_shared<LspConnection*>(this))
{
}

LspConnection::~LspConnection()
{
    *m_self = nullptr;
}

int LspConnection::request(const QString& method, const QJsonValue& params, Decode decode,
                           Reply reply, int timeoutMs)
{
    const int id = m_nextId++;
    {
        QMutexLocker lock(&m_decoders->lock);
        m_decoders->answers.insert(id, std::move(decode));
    }
    m_waiting.insert(id, Waiting{std::move(reply), method});
    QJsonObject object{{QStringLiteral("id"), id}, {QStringLiteral("method"), method}};
    if (!params.isUndefined())
        object.insert(QStringLiteral("params"), params);
    m_send(message(object));
    if (timeoutMs > 0)
        QTimer::singleShot(timeoutMs, this, [this, id] { expire(id); });
    return id;
}

void LspConnection::notify(const QString& method, const QJsonValue& params)
{
    QJsonObject object{{QStringLiteral("method"), method}};
    if (!params.isUndefined())
        object.insert(QStringLiteral("params"), params);
    m_send(message(object));
}

void LspConnection::cancel(int id)
{
    if (!m_waiting.remove(id))
        return;
    {
        QMutexLocker lock(&m_decoders->lock);
        m_decoders->answers.remove(id);
    }
    notify(QStringLiteral("$/cancelRequest"), QJsonObject{{QStringLiteral("id"), id}});
}

void LspConnection::expire(int id)
{
    auto found = m_waiting.find(id);
    if (found == m_waiting.end())
        return;
    Reply reply = std::move(found->reply);
    const QString method = found->method;
    cancel(id);
    std::any nothing;
    reply(nothing, Error{kTimedOut, QStringLiteral("%1 got no answer in time").arg(method)});
}

void LspConnection::onNotification(const QString& method, Decode decode, Handle handle)
{
    {
        QMutexLocker lock(&m_decoders->lock);
        m_decoders->notifications.insert(method, std::move(decode));
    }
    m_handlers.insert(method, std::move(handle));
}

void LspConnection::failAll(const QString& why)
{
    const QHash<int, Waiting> waiting = std::exchange(m_waiting, {});
    {
        QMutexLocker lock(&m_decoders->lock);
        m_decoders->answers.clear();
    }
    for (const Waiting& each : waiting) {
        std::any nothing;
        each.reply(nothing, Error{kServerGone, why});
    }
}

void LspConnection::deliver(int id, std::any value, Error error)
{
    auto found = m_waiting.find(id);
    if (found == m_waiting.end())
        return; // cancelled or timed out meanwhile
    Reply reply = std::move(found->reply);
    m_waiting.erase(found);
    reply(value, error);
}

void LspConnection::answerServerRequest(const QJsonValue& id)
{
    // Tarn offers the server nothing it may ask for (no configuration, no
    // progress windows): every request gets an empty answer, so a server
    // waiting for one goes on.
    m_send(message(QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("result"), QJsonValue()}}));
}

LspConnection::Receiver LspConnection::receiver() const
{
    Receiver receiver;
    receiver.m_decoders = m_decoders;
    receiver.m_self = m_self;
    return receiver;
}

void LspConnection::Receiver::receive(const QByteArray& bytes, const Post& post)
{
    std::vector<QByteArray> bodies;
    const LspFrameReader::Problems before = m_frames.problems();
    m_frames.feed(bytes, bodies);
    const LspFrameReader::Problems& after = m_frames.problems();
    QString problem;
    if (after.garbageBytes > before.garbageBytes)
        problem = QStringLiteral("%1 bytes that are no message").arg(after.garbageBytes - before.garbageBytes);
    if (after.oversized > before.oversized)
        problem = QStringLiteral("a message larger than %1 MiB").arg(kMaxLspMessageBytes >> 20);
    for (const QByteArray& body : bodies) {
        QJsonParseError parseError{};
        const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
        if (!document.isObject()) {
                        problem = QStringLiteral("a message that is not JSON (%1)").arg(parseError.errorString());
            continue;
        }
        const QJsonObject object = document.object();
        const QJsonValue id = object.value(QStringLiteral("id"));
        const QString method = object.value(QStringLiteral("method")).toString();
        if (!method.isEmpty()) {
            if (!id.isUndefined() && !id.isNull()) {
                post([self = m_self, id] {
                    if (*self)
                        (*self)->answerServerRequest(id);
                });
                continue;
            }
            Decode decode;
            {
                QMutexLocker lock(&m_decoders->lock);
                decode = m_decoders->notifications.value(method);
            }
            if (!decode)
                continue;
            auto value = std::make_shared<std::any>(decode(object.value(QStringLiteral("params"))));
            post([self = m_self, method, value] {
                if (!*self)
                    return;
                auto handler = (*self)->m_handlers.constFind(method);
                if (handler != (*self)->m_handlers.constEnd())
                    (*handler)(*value);
            });
            continue;
        }
        if (!id.isDouble())
            continue;
        const int number = id.toInt();
        Decode decode;
        {
            QMutexLocker lock(&m_decoders->lock);
            decode = m_decoders->answers.take(number);
        }
        if (!decode)
            continue; // cancelled: nobody wants it
        Error error;
        auto value = std::make_shared<std::any>();
        const QJsonValue errorValue = object.value(QStringLiteral("error"));
        if (errorValue.isObject()) {
            const QJsonObject errorObject = errorValue.toObject();
            error.code = errorObject.value(QStringLiteral("code")).toInt(-32603);
            if (error.code == 0)
                error.code = -32603;
            error.message = errorObject.value(QStringLiteral("message")).toString();
        } else {
            *value = decode(object.value(QStringLiteral("result")));
        }
        post([self = m_self, number, value, error] {
            if (*self)
                (*self)->deliver(number, std::move(*value), error);
        });
    }
    if (!problem.isEmpty())
        post([self = m_self, problem] {
            if (*self && (*self)->onProtocolProblem)
                (*self)->onProtocolProblem(problem);
        });
}
