#pragma once

#include "messages/MessageSink.h"
#include "support/TestSupport.h" // readable QString failures

#include <QObject>
#include <QString>

#include <ostream>
#include <utility>
#include <vector>

// Records the rows AddMessage delivers, while it is installed.
class RecordingSink : public MessageSink {
public:
    using Row = std::pair<QString, int>; // text, withSeparator

    RecordingSink() : m_previous(setMessageSink(this)) {}
    ~RecordingSink() override { setMessageSink(m_previous); }

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
    MessageSink* m_previous;
};
