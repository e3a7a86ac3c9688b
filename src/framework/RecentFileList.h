#pragma once

#include <QString>
#include <QStringList>

namespace fw {

// The most recently opened files, newest first, kept in the per-user
// settings store under the application's registry key.
class RecentFileList {
public:
    RecentFileList(QString organization, QString application, int size);

    const QStringList& files() const { return m_files; }
    int size() const { return m_size; }
    void add(const QString& path);
    void remove(const QString& path);
    void load();
    void save() const;

private:
    QString m_organization;
    QString m_application;
    int m_size;
    QStringList m_files;
};

} // namespace fw
