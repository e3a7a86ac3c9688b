#include "tools/CompileOptions.h"

#include <array>

namespace {

// Every fragment carries its own trailing blank.
QString optimizeFragment(std::int32_t level)
{
    static const std::array<const char*, 3> fragments{"-O1 ", "-O2 ", "-O3 "};
    if (level < 1 || level > 3)
        return {};
    return QString::fromLatin1(fragments[level - 1]);
}

QString warningFragment(std::int32_t level)
{
    static const std::array<const char*, 4> fragments{"-w ", "-Wall ", "-W ", "-Werror "};
    if (level < 1 || level > 4)
        return {};
    return QString::fromLatin1(fragments[level - 1]);
}

QString otherFragment(const QString& otherOptions)
{
    if (otherOptions.isEmpty())
        return {};
    return otherOptions + QLatin1Char(' ');
}

QString flag(std::int32_t value, const char* fragment)
{
    return value == 1 ? QString::fromLatin1(fragment) : QString();
}

// Steps shared by both orders: -g, -ansi, -fno-asm, -traditional.
void appendLeadingFlags(QString& line, const CompileOptions& options)
{
    line += flag(options.debugInfo, "-g ");
    line += flag(options.ansi, "-ansi ");
    line += flag(options.noAsm, "-fno-asm ");
    line += flag(options.traditional, "-traditional ");
}

} // namespace

QString LanguageFragment(std::int32_t language)
{
    static const std::array<const char*, 8> fragments{
        "-x c ",           "-x objective-c ",     "-x c++ ",       "-x c-header ",
        "-x cpp-output ",  "-x c++-cpp-output ",  "-x assembler ", "-x assembler-with-cpp ",
    };
    if (language < 1 || language > 8)
        return {};
    return QString::fromLatin1(fragments[language - 1]);
}

void AppendSourceFlags(QString& commandLine, const CompileOptions& options)
{
    appendLeadingFlags(commandLine, options);
    commandLine += optimizeFragment(options.optimizeLevel);
    commandLine += otherFragment(options.otherOptions);
    commandLine += flag(options.noAssemble, "-S ");
    commandLine += flag(options.preprocessOnly, "-E ");
    commandLine += LanguageFragment(options.language);
    commandLine += warningFragment(options.warningLevel);
}

QString BuildProjectCompileLine(const QString& gccPath, const QString& sourcePath,
                                const CompileOptions& options)
{
    QString line = gccPath + QStringLiteral(" -c ") + sourcePath + QLatin1Char(' ');
    appendLeadingFlags(line, options);
    line += flag(options.noAssemble, "-S ");
    line += flag(options.preprocessOnly, "-E ");
    line += optimizeFragment(options.optimizeLevel);
    line += LanguageFragment(options.language);
    line += warningFragment(options.warningLevel);
    line += otherFragment(options.otherOptions);
    return line;
}
