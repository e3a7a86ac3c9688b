#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QSocketNotifier;

// The pseudo-terminal a debugged program runs on: Tarn holds the master
// side, gdb gives the program the slave side (-inferior-tty-set). What the
// program writes arrives as output() in batches (at most one every
// kBatchMs, or sooner once kBatchBytes are waiting), so a program that
// floods its terminal cannot flood the event loop; what the user types is
// written to it with send().
//
// The terminal keeps canonical input (the program reads whole lines, ^D is
// end of file) but neither echoes input nor turns LF into CR LF: the bytes
// output() gives are the program's own.
//
// Input is never waited for: what the terminal does not take at once (the
// program is not reading) waits in a queue, at most kMaxUnsentBytes, and is
// written when the terminal can take more.
class ProgramTerminal : public QObject {
    Q_OBJECT
public:
    static constexpr int kBatchMs = 20;
    static constexpr qsizetype kBatchBytes = 64 * 1024;
    static constexpr qsizetype kMaxUnsentBytes = 1024 * 1024;

    explicit ProgramTerminal(QObject* parent = nullptr);
    ~ProgramTerminal() override;

    // Opens a new pseudo-terminal; false with the reason in `error`.
    bool open(QString* error);
    void close();
    // The slave's path ("/dev/pts/7"), for -inferior-tty-set.
    QByteArray slavePath() const { return m_slavePath; }

    // Writes to the program's standard input (as if typed), now or when the
    // terminal can take it. False, with nothing of `bytes` queued, when the
    // queue would pass kMaxUnsentBytes or the terminal is closed.
    bool send(const QByteArray& bytes);
    // Input sent and not yet written to the terminal.
    qsizetype unsentBytes() const { return m_unsent.size(); }
    // Hands out what was read and not yet given.
    void flush();

signals:
    void output(const QByteArray& bytes);

private:
    // Reads up to a batch; whether anything was read.
    bool readAvailable();
    void writeUnsent();

    int m_master = -1;
    // Tarn keeps a slave descriptor open so that the master never reads as
    // ended between two programs (or before the first one opens it).
    int m_slave = -1;
    QByteArray m_slavePath;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_pending;
    QTimer m_batchTimer;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_unsent;
};
