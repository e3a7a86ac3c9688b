#include "singlefile/SingleFileCommands.h"

#include "tools/CompileOptions.h"
#include "tools/LinkEntries.h"
#include "tools/PathNames.h"

#include <QDir>
#include <QFileInfo>

ToolCommand QuickCompileCommand(const QString& gccPath, const QString& sourcePath,
                                const CompileOptions& options)
{
    ToolCommand command(gccPath);
    command.appendText(QStringLiteral(" "));
    command.appendWord(sourcePath);
    command.appendText(QStringLiteral(" -c "));
    AppendSourceFlags(command, options);
    return command;
}

ToolCommand BuildSourceCommand(const QString& gccPath, const QString& sourcePath, int outputChoice,
                               const QString& executableName, const CompileOptions& options,
                               const QStringList& linkEntries)
{
    ToolCommand command(gccPath);
    command.appendText(QStringLiteral(" "));
    command.appendWord(sourcePath);
    command.appendText(QStringLiteral(" "));
    if (outputChoice == 1) {
        command.appendText(QStringLiteral("-o "));
        command.appendWord(executableName);
        command.appendText(QStringLiteral(" "));
    }
    AppendSourceFlags(command, options);
    AppendLinkEntries(command, linkEntries);
    return command;
}

ToolCommand LinkCommand(const QString& gccPath, const QString& outputName,
                        const QStringList& linkEntries)
{
    const LinkInputs inputs = SplitLinkEntries(linkEntries);
    return GccLinkCommand(gccPath, outputName, inputs.objects, inputs.libraries);
}

MakePlan PlanMake(const QString& makePath, const QString& makeFile, const QString& toolDirectory)
{
    MakePlan plan;
    plan.invocation.program = makePath;
    plan.invocation.workingDirectory = toolDirectory;
    const QString folder = DirectoryOf(makeFile);
    if (folder.isEmpty()) {
        plan.invocation.arguments = {QStringLiteral("-f"), makeFile};
        return plan;
    }
    const QDir base(toolDirectory);
    plan.invocation.arguments = {QStringLiteral("-f"), QDir::cleanPath(base.absoluteFilePath(makeFile))};
    const QString absolute = QDir::cleanPath(base.absoluteFilePath(folder));
    const QFileInfo info(absolute);
    if (!info.isDir() || !info.isExecutable()) {
        plan.unenterableDirectory = folder;
        return plan;
    }
    plan.newToolDirectory = absolute.endsWith(u'/') ? absolute : absolute + u'/';
    plan.invocation.workingDirectory = plan.newToolDirectory;
    return plan;
}
