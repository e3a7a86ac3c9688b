#include "project/MakefileWriter.h"

#include "project/BuildSteps.h"
#include "tools/PathNames.h"

#include <QFile>

#include <algorithm>

namespace {

bool isDriveColon(const QString& path, qsizetype index)
{
#ifdef Q_OS_WIN
    return index == 1 && path.at(0).isLetter();
#else
    Q_UNUSED(path);
    Q_UNUSED(index);
    return false;
#endif
}

// Characters a POSIX shell takes as they are in an unquoted word.
bool shellSafe(QChar c)
{
    if (c.isLetterOrNumber() && c.unicode() < 128)
        return true;
    return QStringLiteral("_@%+=:,./-").contains(c);
}

// Backslashes become forward slashes where they are path separators
// (Windows). On this host a backslash is part of a file name or, in
// otherOptions, a shell escape that make's shell reads exactly as Tarn's own
// splitting does, so it stays.
QString hostSlashes(const QString& text)
{
#ifdef Q_OS_WIN
    return ToForwardSlashes(text);
#else
    return text;
#endif
}

// What make itself would expand in a recipe.
QString doubleDollars(QString text)
{
    return text.replace(u'$', QStringLiteral("$$"));
}

QString recipePath(const QString& path)
{
    return MakeRecipeWord(hostSlashes(path));
}

QString rulePath(const QString& path)
{
    return MakeRuleWord(hostSlashes(path));
}

// otherOptions is shell-like text the user typed: the shell of make's
// recipe splits it as Tarn does; only make's own '$' needs doubling.
QString recipeFlags(const CompileOptions& options)
{
    CompileOptions forMake = options;
    forMake.otherOptions = doubleDollars(hostSlashes(options.otherOptions));
    const QString prefix = QStringLiteral(" -c  ");
    return BuildProjectCompileLine(QString(), QString(), forMake).mid(prefix.size());
}

QString linkRecipe(const BuildJob& job)
{
    QString line = recipePath(job.gccPath) + QStringLiteral(" -o ") + recipePath(job.outputFile) +
                   u' ';
    for (const QString& source : job.sources)
        line += recipePath(SourceObject(source)) + u' ';
    for (const QString& library : job.libraries)
        line += MakeRecipeWord(QStringLiteral("-l") + library) + u' ';
    return line;
}

QString compileRecipe(const BuildJob& job, const QString& source)
{
    QString line = recipePath(job.gccPath) + QStringLiteral(" -c ") + recipePath(source) + u' ' +
                   recipeFlags(job.options);
    if (DirectoryOf(source) != job.projectDirectory)
        line += QStringLiteral("-o ") + recipePath(SourceObject(source)) + u' ';
    return line;
}

} // namespace

QString MakeRuleWord(const QString& path)
{
    QString word;
    word.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == u'$')
            word += QStringLiteral("$$");
        else if (c == u' ' || c == u'\t' || c == u'#' || (c == u':' && !isDriveColon(path, i)))
            word += u'\\' + QString(c);
        else
            word += c;
    }
    return word;
}

QString MakeRecipeWord(const QString& word)
{
    if (!word.isEmpty() && std::all_of(word.begin(), word.end(), shellSafe))
        return word;
    QString quoted = word;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return doubleDollars(u'\'' + quoted + u'\'');
}

QByteArray MakefileContents(const BuildJob& job)
{
    QString text = kMakefileBanner + u'\n' + kMakefileNotice + QStringLiteral("\n\n");
    text += rulePath(job.outputFile) + QStringLiteral(": ");
    for (const QString& source : job.sources)
        text += rulePath(SourceObject(source)) + u' ';
    text += u'\n';
    text += u'\t' + linkRecipe(job) + u'\n';
    for (const QString& source : job.sources) {
        text += rulePath(SourceObject(source)) + QStringLiteral(": ") + rulePath(source) + u'\n';
        text += u'\t' + compileRecipe(job, source) + u'\n';
    }
    // File names reach make in the file system's encoding.
    return QFile::encodeName(text);
}

QString MakefilePath(const QString& projectDirectory)
{
    return projectDirectory + QStringLiteral("Makefile");
}
