#include "debugger/ProgramTerminal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

ProgramTerminal::ProgramTerminal(QObject* parent) : QObject(parent)
{
    m_batchTimer.setSingleShot(true);
    m_batchTimer.setInterval(kBatchMs);
    connect(&m_batchTimer, &QTimer::timeout, this, &ProgramTerminal::flush);
}

ProgramTerminal::~ProgramTerminal()
{
    close();
}

bool ProgramTerminal::open(QString* error)
{
    close();
    auto fail = [&](const char* step) {
        *error = QStringLiteral("%1: %2").arg(QLatin1String(step),
                                              QString::fromLocal8Bit(std::strerror(errno)));
        close();
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail("unlockpt");
    char name[128] = {};
    if (::ptsname_r(m_master, name, sizeof name) != 0)
        return fail("ptsname");
    m_slavePath = QByteArray(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open");
    termios mode {};
    if (::tcgetattr(m_slave, &mode) == 0) {
        mode.c_lflag &= ~tcflag_t(ECHO | ECHOE | ECHOK | ECHONL);
        mode.c_oflag &= ~tcflag_t(ONLCR);
        ::tcsetattr(m_slave, TCSANOW, &mode);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(qintptr(m_master), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ProgramTerminal::readAvailable);
    m_writeNotifier = new QSocketNotifier(qintptr(m_master), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &ProgramTerminal::writeUnsent);
    return true;
}

void ProgramTerminal::close()
{
    if (m_master >= 0) {
        // What the program wrote before it ended is read whole (up to a
        // bound: a child it left behind may go on writing).
        for (int round = 0; round < 16 && readAvailable(); ++round) {
        }
        flush();
    }
    delete m_notifier;
    m_notifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    m_unsent = QByteArray();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
    m_slavePath.clear();
}

bool ProgramTerminal::send(const QByteArray& bytes)
{
    if (m_master < 0 || m_unsent.size() + bytes.size() > kMaxUnsentBytes)
        return false;
    m_unsent += bytes;
    writeUnsent();
    return true;
}

void ProgramTerminal::writeUnsent()
{
    qsizetype done = 0;
    while (done < m_unsent.size()) {
        const ssize_t n =
            ::write(m_master, m_unsent.constData() + done, size_t(m_unsent.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            break; // the terminal is full: the rest when it takes more
        } else {
            done = m_unsent.size(); // the terminal is gone: nobody reads it
        }
    }
    m_unsent.remove(0, done);
    if (m_unsent.isEmpty())
        m_unsent = QByteArray();
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_unsent.isEmpty());
}

bool ProgramTerminal::readAvailable()
{
    bool read = false;
    // At most a batch per wake-up: the event loop gets its turn between.
    char buffer[16384];
    while (m_pending.size() < kBatchBytes) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        m_pending.append(buffer, n);
        read = true;
    }
    if (m_pending.size() >= kBatchBytes)
        flush();
    else if (!m_pending.isEmpty() && !m_batchTimer.isActive())
        m_batchTimer.start();
    return read;
}

void ProgramTerminal::flush()
{
    m_batchTimer.stop();
    if (m_pending.isEmpty())
        return;
    const QByteArray batch = std::exchange(m_pending, QByteArray());
    emit output(batch);
}
