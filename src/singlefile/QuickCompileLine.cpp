#include "singlefile/QuickCompileLine.h"

#include "singlefile/SingleFileCommands.h"

QString QuickCompileCommandLine(const QString& gccPath, const QString& sourcePath,
                                const CompileOptions& options)
{
    return QuickCompileCommand(gccPath, sourcePath, options).line();
}
