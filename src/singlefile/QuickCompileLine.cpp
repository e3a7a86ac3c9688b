#include "singlefile/QuickCompileLine.h"

#include "tools/CompileOptions.h"

QString QuickCompileCommandLine(const QString& gccPath, const QString& sourcePath,
                                const CompileOptions& options)
{
    QString line = gccPath + QLatin1Char(' ') + sourcePath + QStringLiteral(" -c ");
    AppendSourceFlags(line, options);
    return line;
}
