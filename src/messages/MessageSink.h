#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QElapsedTimer>
#include <QString>

#include <memory>
#include <vector>

// Where the message channel delivers: the message window's view, a
// writer to standard output in the headless mode, or a recorder in tests.
// Its methods run on the thread that owns the sink's object.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void AppendLine(const QString& text, int withSeparator) = 0;
    virtual void ClearMessageRows() = 0;
    // Appends the rows of a piece of a tool's output stream, each without a
    // separator (cutting and decoding as in RowBytes.h), with the icon
    // rowIcon or, for kIconByText, the one its text gets. The message window
    // stores the bytes without a string per row; this default hands each
    // row's text to AppendLine (sinks without icons ignore rowIcon).
    virtual void AppendStreamRows(const QByteArray& bytes, bool streamEnd, int rowIcon);
    // The folder the tool ran in that wrote the rows appended next (ending
    // with a separator); empty for rows of no tool run. A row's relative
    // file name is resolved against it. Sinks that do not open files
    // ignore it.
    virtual void SetRowDirectory(const QString& directory) { (void)directory; }
    // Shows a line in the main window's status bar for a while (a build's
    // verdict); no rows change. Sinks without a status bar ignore it.
    virtual void ShowStatus(const QString& text) { (void)text; }
    // The QObject whose thread the calls must run on.
    virtual class QObject* sinkObject() = 0;
};

// One message-window operation: append a row (with a separator row after
// it when withSeparator is 1), delete every row, or append the rows of a
// piece of a tool's output stream (Rows: the raw bytes, complete lines only
// unless streamEnd, see RowBytes.h), or show text in the status bar
// (Status).
struct MessageEntry {
    enum class Kind { Append, Clear, Rows, Status };
    Kind kind = Kind::Append;
    QString text;
    int withSeparator = 0;
    QByteArray bytes;
    bool streamEnd = false;
    // Append and Rows: the folder the tool ran in (MessageSink::
    // SetRowDirectory), empty for rows of no tool run.
    QString directory;
    // Rows: the icon of every row (MessageClassifier.h), or kIconByText.
    int rowIcon = -1;
};

// The road to the message window: every thread reports through one
// ordered queue, and entries reach the sink in the order they were posted,
// whatever thread posted them, so a Clear or a heading never overtakes rows
// posted before it, and the entries of one post stay together. The sink's
// thread takes them in slices of a few milliseconds, so a flood of rows
// never stalls its event loop. The IDE's tool session owns one (the
// command-line mode has its own); it is handed to whatever reports.
//
// On the sink's thread with nothing queued, add() and clear() act at once;
// with entries queued they are delivered after them, at once when the
// entries ahead take less than a slice of time, else by the next slices (a
// worker that keeps posting never holds the caller). Without a sink,
// entries are dropped.
class MessageChannel {
public:
    MessageChannel();
    ~MessageChannel();
    MessageChannel(const MessageChannel&) = delete;
    MessageChannel& operator=(const MessageChannel&) = delete;

    // Installs the sink (nullptr removes it); returns the previous one.
    MessageSink* setSink(MessageSink* sink);
    MessageSink* sink() const;

    // Appends a row, with a separator row after it when withSeparator is 1
    // (any thread).
    void add(QString text, int withSeparator);
    // Deletes every row (any thread).
    void clear();
    // Posts entries in one piece (any thread).
    void post(std::vector<MessageEntry> entries);
    // Delivers everything queued now (sink's thread only).
    void flush();

private:
    struct State;
    std::shared_ptr<State> m_state;
};

// Collects a worker's rows and posts them in batches: when 64 KiB of text
// have gathered or 20 ms have passed since the oldest unsent entry. Posts
// what is left when it goes away.
//
// A held batcher posts nothing until release(): it gathers the rows of one
// of several compiles running side by side, which are shown together when
// their turn comes.
class MessageBatcher {
public:
    enum class Hold { Held };
    explicit MessageBatcher(MessageChannel& channel) : m_channel(channel) {}
    MessageBatcher(MessageChannel& channel, Hold) : m_channel(channel), m_held(true) {}
    ~MessageBatcher() { release(); }
    MessageBatcher(const MessageBatcher&) = delete;
    MessageBatcher& operator=(const MessageBatcher&) = delete;

    // Posts by itself once 64 KiB have gathered.
    void add(QString text, int withSeparator);
    void clear();
    // Adds a piece of a tool's output stream as rows (complete lines only
    // unless streamEnd), written in the folder directory, with the icon
    // rowIcon (or the one each row's text gets); consecutive pieces of one
    // folder and icon travel as one entry.
    void addStreamRows(QByteArrayView bytes, bool streamEnd, const QString& directory = QString(),
                       int rowIcon = -1);
    // Posts when a batch is due (see above).
    void postIfDue();
    // Posts what has gathered now (a held batcher: nothing yet).
    void post();
    // Ends the hold: everything gathered goes out in one piece, and the
    // batcher posts as usual from then on.
    void release();

    static constexpr qsizetype kBatchBytes = 64 * 1024;
    static constexpr qint64 kBatchMs = 20;

private:
    void started();

    MessageChannel& m_channel;
    std::vector<MessageEntry> m_entries;
    qsizetype m_bytes = 0;
    QElapsedTimer m_age;
    bool m_held = false;
};
