#pragma once

#include "project/BuildJob.h"
#include "tools/Invocation.h"

#include <QString>
#include <QStringList>

// One child run of a project build as a value: the invocation (each path
// one argument, whatever it holds, and the folder it runs in) and the
// command line the message window shows for it, which is the plain
// concatenation the user knows and is never parsed again.
struct BuildStep {
    Invocation invocation;
    QString shownLine;

    friend bool operator==(const BuildStep&, const BuildStep&) = default;
};

// The fixed rows of a project build.
namespace buildrows {
inline const QString kBeginning = QStringLiteral("Beginning compilation of project...");
inline const QString kEnding = QStringLiteral("Ending Compilation");
inline const QString kLinking = QStringLiteral("Linking project with command line of:");
inline const QString kErrors = QStringLiteral("Errors:");
inline const QString kLinkErrors = QStringLiteral("Link errors:");
// "compiling /p/main.c with command line of:"
QString Compiling(const QString& source);
// A source whose file name has no '.' has no object file name.
QString NoObjectName(const QString& source);
} // namespace buildrows

// True when the source's file name holds a '.', so it has an object name.
bool HasObjectName(const QString& source);

// The object of a source: beside the source, named after it with the text
// after the last '.' replaced by "o". The up-to-date test, the check before
// linking, the link line and the Makefile all use this one place.
QString SourceObject(const QString& source);

// gcc -c <source> <flags>, run in the source's folder so the object lands
// beside it. Shown as BuildProjectCompileCommand shows it.
BuildStep CompileStep(const BuildJob& job, const QString& source);

// The same compile started in `directory` instead (the exported Makefile
// runs every recipe in the project directory): CompileStep's arguments,
// then "-o <object>" when that is not the source's folder, so the object
// still lands beside the source.
Invocation CompileInvocationIn(const BuildJob& job, const QString& source,
                               const QString& directory);

// The objects the link takes: each source's SourceObject, in project order.
QStringList LinkObjects(const BuildJob& job);

// GccLinkCommand of the output, the objects and the project's libraries,
// run in the project directory; shown with a blank after every entry:
// "/usr/bin/gcc -o /p/hello.exe /p/main.o /p/util.o -lm ".
BuildStep LinkStep(const BuildJob& job);

// True when the object exists and the source is not newer than it, at the
// precision the file system keeps (equal times count as current). A source
// that does not exist is never current: its compile fails and gcc says why.
bool ObjectIsCurrent(const QString& source, const QString& object);
