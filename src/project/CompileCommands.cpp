#include "project/CompileCommands.h"

#include "project/BuildSteps.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray CompileCommandsContents(const BuildJob& job)
{
    QJsonArray entries;
    for (const QString& source : job.sources) {
        if (!HasObjectName(source))
            continue;
        const Invocation invocation = CompileStep(job, source).invocation;
        QJsonArray arguments{invocation.program};
        for (const QString& argument : invocation.arguments)
            arguments.append(argument);
        entries.append(QJsonObject{{QStringLiteral("directory"), invocation.workingDirectory},
                                   {QStringLiteral("file"), source},
                                   {QStringLiteral("arguments"), arguments}});
    }
    return QJsonDocument(entries).toJson(QJsonDocument::Indented);
}

QString CompileCommandsPath(const QString& projectDirectory)
{
    QString path = projectDirectory;
    if (!path.endsWith(u'/'))
        path += u'/';
    return path + QStringLiteral("compile_commands.json");
}
