#include "framework/RecentFileList.h"

#include "framework/FileNameBytes.h"

#include <QSettings>

namespace fw {

namespace {

// A path is stored as text; one holding a byte that is not UTF-8 as its
// bytes (QSettings would not keep such a byte in text).
QVariant storedValueOf(const QString& path)
{
    return holdsKeptBytes(path) ? QVariant(fileNameBytes(path)) : QVariant(path);
}

QString pathOfStoredBytes(const QByteArray& bytes)
{
    return pathOfFileNameBytes(bytes);
}

} // namespace

RecentFileList::RecentFileList(QString organization, QString application, int size)
    : m_organization(std::move(organization)), m_application(std::move(application)), m_size(size)
{
    m_write.setSingleShot(true);
    m_write.setInterval(kWriteDelayMs);
    QObject::connect(&m_write, &QTimer::timeout, [this] { save(); });
}

RecentFileList::~RecentFileList()
{
    if (m_write.isActive())
        save();
}

void RecentFileList::changed()
{
    if (!m_write.isActive())
        m_write.start();
}

void RecentFileList::add(const QString& path)
{
    // Opening the file that is already the newest changes nothing: the
    // list is not written again (nor another instance's newer list
    // overwritten).
    if (path.isEmpty() || (!m_files.isEmpty() && m_files.first() == path))
        return;
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > m_size)
        m_files.removeLast();
    changed();
}

void RecentFileList::remove(const QString& path)
{
    if (m_files.removeAll(path) > 0)
        changed();
}

void RecentFileList::load()
{
    QSettings settings(m_organization, m_application);
    settings.beginGroup(QStringLiteral("Recent File List"));
    m_files.clear();
    for (int i = 1; i <= m_size; ++i) {
        // A name that is not UTF-8 is kept as its bytes.
        const QVariant value = settings.value(QStringLiteral("File%1").arg(i));
        const QString file = value.typeId() == QMetaType::QByteArray ? pathOfStoredBytes(value.toByteArray())
                                                                      : value.toString();
        if (!file.isEmpty() && !m_files.contains(file))
            m_files.append(file);
    }
}

void RecentFileList::save()
{
    m_write.stop();
    QSettings settings(m_organization, m_application);
    settings.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= m_size; ++i) {
        if (i <= m_files.size())
            settings.setValue(QStringLiteral("File%1").arg(i), storedValueOf(m_files.at(i - 1)));
        else
            settings.remove(QStringLiteral("File%1").arg(i));
    }
}

} // namespace fw
