#include "app/RecoveredWork.h"

#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/SafeSave.h"
#include "tools/PathBytes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString noticesPath()
{
    return RecoveryFolder() + QStringLiteral("/notices");
}

// A name in the folder not taken yet: "STAMP-NAME", else "STAMP-2-NAME"...
QString freshCopyPath(const QString& stamp, const QString& name)
{
    const QDir folder(RecoveryFolder());
    QString path = folder.filePath(stamp + QLatin1Char('-') + name);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1-%2-%3").arg(stamp).arg(n).arg(name));
    return path;
}

} // namespace

QString RecoveryFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tarn/recovered");
}

RecoveryResult KeepUnsavedWork(fw::Application& application)
{
    RecoveryResult result;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QByteArray notices;
    bool folderMade = false;
    for (const auto& docTemplate : application.docTemplates()) {
        for (fw::Document* document : docTemplate->documents()) {
            if (!document->isModified() || !document->asksToSave())
                continue;
            const QString original =
                document->pathName().isEmpty() ? document->title() : document->pathName();
            if (!folderMade && !QDir().mkpath(RecoveryFolder())) {
                result.failures << original + QStringLiteral(": the folder ") + RecoveryFolder() +
                                       QStringLiteral(" cannot be made");
                continue;
            }
            folderMade = true;
            const QString name = document->pathName().isEmpty()
                                     ? document->title()
                                     : QFileInfo(document->pathName()).fileName();
            const QString copy = freshCopyPath(stamp, name);
            QString error;
            if (!document->writeCopy(copy, &error)) {
                result.failures << original + QStringLiteral(": ") + error;
                continue;
            }
            document->setModified(false);
            result.copies << copy;
            notices += PathToBytes(copy) + '\t' + PathToBytes(original) + '\n';
        }
    }
    if (!notices.isEmpty()) {
        QFile list(noticesPath());
        // Appended: copies of an earlier end not yet told stay listed.
        if (list.open(QIODevice::Append))
            list.write(notices);
    }
    return result;
}

QStringList TakeRecoveryNotices()
{
    QFile list(noticesPath());
    if (!list.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = list.readAll();
    list.close();
    list.remove();
    QStringList rows;
    for (const QByteArray& line : bytes.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        rows << QStringLiteral("Tarn was ended with unsaved changes to %1; they were kept in %2")
                    .arg(PathFromBytes(line.mid(tab + 1)), PathFromBytes(line.left(tab)));
    }
    return rows;
}
