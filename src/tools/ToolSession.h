#pragma once

#include "messages/MessageSink.h"
#include "tools/JobManager.h"

#include <QHash>
#include <QString>

// What Tarn's tool commands share while its main window is open: the
// channel to the message window, the jobs running on workers, Tarn's current directory, the names the last runs
// used and the folders the tools' file dialogs chose last. The main window
// owns the one session of the IDE and hands it to the windows and dialogs
// it creates; the command-line mode has one of its own. Nothing of it is
// kept between runs.
//
// Everything but the job manager's jobs lives on the thread that owns the
// session (the user-interface thread): a job takes what it needs when it
// starts.
class ToolSession {
public:
    ToolSession();
    ToolSession(const ToolSession&) = delete;
    ToolSession& operator=(const ToolSession&) = delete;

    JobManager& jobs() { return m_jobs; }
    // Where every command and job of the session reports.
    MessageChannel& messages() { return m_messages; }

    // Tarn's current directory: the folder Quick Compile, Build Source,
    // Link, Run and Debug start their child in, and which Make changes to
    // the makefile's folder. The process's own current directory is never
    // changed. Until a Make sets it, it follows the process's current
    // directory. Always ends with a separator.
    QString directory() const;
    // Makes the folder Tarn's current directory (made absolute against the
    // current one; a separator is added when missing). An empty text makes
    // it follow the process's current directory again.
    void setDirectory(const QString& directory);

    // What Run and Make offer next time: the program the last build or
    // link wrote (or the last one run), its arguments, the last makefile.
    QString lastRunCommand;
    QString lastRunArguments;
    QString lastMakeFile;
    // The folder last chosen in each tool's file dialog, by dialog
    // (singlefile/BrowseFolders.h).
    QHash<QString, QString> browseFolders;

private:
    MessageChannel m_messages; // before the jobs, which report to it
    JobManager m_jobs;
    QString m_directory; // empty: follow the process's current directory
};
