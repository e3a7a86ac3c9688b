#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>

namespace fw {

// The most recently opened files, newest first, kept in the per-user
// settings store under the application's registry key.
//
// A change is written a moment later (kWriteDelayMs), after the window
// that was opened has been painted, and the changes of that moment in one
// write: a session of twenty windows writes the store once, not twenty
// times with a flush to disk each. What is still unwritten is written
// when the list goes.
class RecentFileList {
public:
    RecentFileList(QString organization, QString application, int size);
    ~RecentFileList();
    RecentFileList(const RecentFileList&) = delete;
    RecentFileList& operator=(const RecentFileList&) = delete;

    const QStringList& files() const { return m_files; }
    int size() const { return m_size; }
    void add(const QString& path);
    void remove(const QString& path);
    void load();
    // Writes the list now.
    void save();

    static constexpr int kWriteDelayMs = 100;

private:
    void changed();

    QString m_organization;
    QString m_application;
    int m_size;
    QStringList m_files;
    QTimer m_write;
};

} // namespace fw
