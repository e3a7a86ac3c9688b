#include "debugger/GdbProcess.h"

#include <memory>

GdbProcess::GdbProcess(QObject* receiver, Handlers handlers)
    : m_held(std::make_shared<std::atomic<qsizetype>>(0))
{
    auto records = std::move(handlers.records);
    auto ended = std::move(handlers.ended);
    WorkerChild::Handlers childHandlers{std::move(handlers.started),
                                        std::move(handlers.startFailed),
                                        std::move(handlers.errorOutput),
                                        std::move(handlers.finished), {}};
    // The parser's held bytes went with the worker's reader.
    childHandlers.ended = [held = m_held, ended = std::move(ended)] {
        *held = 0;
        if (ended)
            ended();
    };
    auto parser = std::make_shared<MiStreamParser>();
    auto reader = [parser, held = m_held, records = std::move(records)](
                      const QByteArray& bytes, const WorkerChild::Post& post) {
        std::vector<MiRecord> parsed;
        parser->feed(bytes, parsed);
        *held = parser->pendingBytes();
        if (parsed.empty())
            return;
        auto batch = std::make_shared<std::vector<MiRecord>>(std::move(parsed));
        post([batch, records] {
            if (records)
                records(*batch);
        });
    };
    m_child = std::make_unique<WorkerChild>(receiver, QStringLiteral("gdb"),
                                            std::move(childHandlers), std::move(reader));
}

void GdbProcess::start(const QString& gdbPath)
{
    m_child->start(Invocation{gdbPath,
                              {QStringLiteral("--interpreter=mi3"), QStringLiteral("-nx"),
                               QStringLiteral("-q")},
                              {}});
}

void GdbProcess::end(std::function<void()> first)
{
    m_child->end(QByteArrayLiteral("-gdb-exit\n"), std::move(first));
}
