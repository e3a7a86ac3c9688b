#pragma once

#include "messages/MessageSink.h"
#include "support/TestSupport.h" // readable QString failures

#include <QObject>
#include <QString>

#include <ostream>
#include <utility>
#include <vector>

// Records the rows a message channel delivers, while it is installed there.
// With no channel given it records its own (messages()).
class RecordingSink : public MessageSink {
public:
    using Row = std::pair<QString, int>; // text, withSeparator

    explicit RecordingSink(MessageChannel* channel = nullptr)
        : m_channel(channel ? *channel : m_own), m_previous(m_channel.setSink(this))
    {
    }
    ~RecordingSink() override { m_channel.setSink(m_previous); }

    MessageChannel& messages() { return m_channel; }

    void AppendLine(const QString& text, int withSeparator) override
    {
        rows.emplace_back(text, withSeparator);
    }
    void ClearMessageRows() override { rows.clear(); }
    void ShowStatus(const QString& text) override { statuses.push_back(text); }
    QObject* sinkObject() override { return &m_object; }

    std::vector<Row> rows;
    std::vector<QString> statuses;

private:
    QObject m_object;
    MessageChannel m_own;
    MessageChannel& m_channel;
    MessageSink* m_previous;
};
