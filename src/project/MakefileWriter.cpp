#include "project/MakefileWriter.h"

#include "project/BuildSteps.h"
#include "tools/PathBytes.h"

#include <algorithm>

namespace {

// Characters a POSIX shell takes as they are in an unquoted word.
bool shellSafe(QChar c)
{
    if (c.isLetterOrNumber() && c.unicode() < 128)
        return true;
    return QStringLiteral("_@%+=:,./-").contains(c);
}

// Characters make reads as syntax on a rule line unless a backslash stands
// before them (GNU make 4.3; a '|' is the order-only mark only among the
// prerequisites, and a backslash before it in a target stays in the name).
bool escapedOnRuleLine(QChar c, RulePlace place)
{
    switch (c.unicode()) {
    case u' ':
    case u'#':
    case u':':
    case u'*':
    case u'?':
    case u'[':
        return true;
    case u'|':
        return place == RulePlace::Prerequisite;
    default:
        return false;
    }
}

QString rulePath(const QString& path, RulePlace place)
{
    return MakeRuleWord(path, place);
}

// A child's program and arguments as a recipe: each word quoted for the
// shell, a blank after every word.
QString recipe(const Invocation& invocation)
{
    QString line = MakeRecipeWord(invocation.program) + u' ';
    for (const QString& argument : invocation.arguments)
        line += MakeRecipeWord(argument) + u' ';
    return line;
}

// The first name of the job that make cannot be given, with the reason.
QString firstRefusedName(const BuildJob& job)
{
    auto refusal = [](const QString& path, const QString& reason) {
        return QStringLiteral("Error: cannot write a Makefile rule for ") + path +
               QStringLiteral(": ") + reason;
    };
    for (const QString& path : QStringList{job.outputFile} + job.sources) {
        if (const QString problem = MakefileNameProblem(path); !problem.isEmpty())
            return refusal(path, problem);
    }
    for (const QString& source : job.sources) {
        if (!HasObjectName(source))
            return buildrows::NoObjectName(source);
        if (const QString problem = MakefileNameProblem(SourceObject(source)); !problem.isEmpty())
            return refusal(SourceObject(source), problem);
    }
    return {};
}

} // namespace

QString MakefileNameProblem(const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral("make cannot read an empty name");
    for (const QChar c : path) {
        if (c == u'\n' || c == u'\r')
            return QStringLiteral("make cannot read a name holding a line break");
        if (c == u'\t')
            return QStringLiteral("make cannot read a name holding a tab");
        if (c == u';')
            return QStringLiteral("make takes a ';' in a rule line as the start of a recipe");
        if (c == u'%')
            return QStringLiteral("make takes a name holding '%' as a pattern");
    }
    if (path.endsWith(u'\\'))
        return QStringLiteral("make cannot read a name that ends with a backslash");
    return {};
}

QString MakeRuleWord(const QString& path, RulePlace place)
{
    QString word;
    word.reserve(path.size() + 8);
    qsizetype backslashes = 0; // just written, right before this character
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == u'$') {
            word += QStringLiteral("$$");
        } else if (c == u'=') {
            word += QStringLiteral("$(firstword =)");
        } else if (escapedOnRuleLine(c, place)) {
            // "a\ b": the name's own backslashes are doubled, then one more
            // escapes the blank.
            word += QString(backslashes, u'\\') + u'\\' + c;
        } else {
            word += c;
        }
        backslashes = c == u'\\' ? backslashes + 1 : 0;
    }
    return word;
}

QString MakeRecipeWord(const QString& word)
{
    QString quoted = word;
    if (word.isEmpty() || !std::all_of(word.begin(), word.end(), shellSafe))
        quoted = u'\'' + quoted.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
    return quoted.replace(u'$', QStringLiteral("$$"));
}

std::optional<QByteArray> MakefileContents(const BuildJob& job, QString* error)
{
    if (const QString refused = firstRefusedName(job); !refused.isEmpty()) {
        if (error)
            *error = refused;
        return std::nullopt;
    }
    QString text = kMakefileBanner + u'\n' + kMakefileNotice + QStringLiteral("\n\n");
    // make runs every recipe in the project directory.
    text += rulePath(job.outputFile, RulePlace::Target) + QStringLiteral(": ");
    for (const QString& object : LinkObjects(job))
        text += rulePath(object, RulePlace::Prerequisite) + u' ';
    text += u'\n';
    text += u'\t' + recipe(LinkStep(job).invocation) + u'\n';
    for (const QString& source : job.sources) {
        text += rulePath(SourceObject(source), RulePlace::Target) + QStringLiteral(": ") +
                rulePath(source, RulePlace::Prerequisite) + u'\n';
        text += u'\t' + recipe(CompileInvocationIn(job, source, job.projectDirectory)) + u'\n';
    }
    text += QStringLiteral(".SUFFIXES:\n");
    // Every byte of every name, as the file system holds it.
    return PathToBytes(text);
}

QString MakefilePath(const QString& projectDirectory)
{
    return projectDirectory + QStringLiteral("Makefile");
}
