#include "tools/LinkEntries.h"

#include "tools/Invocation.h"

#include <algorithm>

QString LinkListFullMessage()
{
    return QStringLiteral("The link list is full: it holds at most %1 entries. Remove an entry "
                          "before adding another.")
        .arg(kMaxLinkEntries);
}

bool IsObjectEntry(const QString& entry)
{
    return entry.size() > 2 && entry.at(entry.size() - 2) == u'.';
}

QString MakeLinkEntry(const QString& extension, const QString& fileName, const QString& fullPath)
{
    if (extension.compare(QLatin1String("o"), Qt::CaseInsensitive) == 0)
        return fullPath;
    const int dropEnd = extension.compare(QLatin1String("a"), Qt::CaseInsensitive) == 0 ? 2 : 3;
    return fileName.left(std::max<qsizetype>(0, fileName.size() - dropEnd)).mid(3);
}

void AppendLinkInputs(ToolCommand& command, const QStringList& objects,
                      const QStringList& libraries)
{
    for (const QString& object : objects) {
        command.appendWord(object);
        command.appendText(QStringLiteral(" "));
    }
    for (const QString& library : libraries) {
        command.appendWord(QStringLiteral("-l") + library);
        command.appendText(QStringLiteral(" "));
    }
}

LinkInputs SplitLinkEntries(const QStringList& entries)
{
    LinkInputs inputs;
    for (const QString& entry : entries)
        (IsObjectEntry(entry) ? inputs.objects : inputs.libraries).append(entry);
    return inputs;
}

void AppendLinkEntries(ToolCommand& command, const QStringList& entries)
{
    const LinkInputs inputs = SplitLinkEntries(entries);
    AppendLinkInputs(command, inputs.objects, inputs.libraries);
}

ToolCommand GccLinkCommand(const QString& gccPath, const QString& output,
                           const QStringList& objects, const QStringList& libraries)
{
    ToolCommand command(gccPath);
    command.appendText(QStringLiteral(" -o "));
    command.appendWord(output);
    command.appendText(QStringLiteral(" "));
    AppendLinkInputs(command, objects, libraries);
    return command;
}

bool HasCppRuntimeEntry(const QStringList& entries)
{
    return entries.contains(QLatin1String(kCppRuntimeLibrary), Qt::CaseInsensitive);
}

void SortLinkEntries(QStringList& entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}
