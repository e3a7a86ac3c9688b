#include "tools/CompileOptions.h"

#include "tools/Invocation.h"

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

QString flag(std::int32_t value, const char* fragment)
{
    return value == 1 ? QString::fromLatin1(fragment) : QString();
}

// Other options are free text: shown as typed, split as a shell would.
void appendOther(ToolCommand& command, const QString& otherOptions)
{
    if (otherOptions.isEmpty())
        return;
    command.appendFreeText(otherOptions);
    command.appendText(QStringLiteral(" "));
}

// Steps shared by both orders: -g, -ansi, -fno-asm, -traditional.
void appendLeadingFlags(ToolCommand& command, const CompileOptions& options)
{
    command.appendText(flag(options.debugInfo, "-g "));
    command.appendText(flag(options.ansi, "-ansi "));
    command.appendText(flag(options.noAsm, "-fno-asm "));
    command.appendText(flag(options.traditional, "-traditional "));
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

void AppendSourceFlags(ToolCommand& command, const CompileOptions& options)
{
    appendLeadingFlags(command, options);
    command.appendText(optimizeFragment(options.optimizeLevel));
    appendOther(command, options.otherOptions);
    command.appendText(flag(options.noAssemble, "-S "));
    command.appendText(flag(options.preprocessOnly, "-E "));
    command.appendText(LanguageFragment(options.language));
    command.appendText(warningFragment(options.warningLevel));
}

ToolCommand BuildProjectCompileCommand(const QString& gccPath, const QString& sourcePath,
                                       const CompileOptions& options)
{
    ToolCommand command(gccPath);
    command.appendText(QStringLiteral(" -c "));
    command.appendWord(sourcePath);
    command.appendText(QStringLiteral(" "));
    appendLeadingFlags(command, options);
    command.appendText(flag(options.noAssemble, "-S "));
    command.appendText(flag(options.preprocessOnly, "-E "));
    command.appendText(optimizeFragment(options.optimizeLevel));
    command.appendText(LanguageFragment(options.language));
    command.appendText(warningFragment(options.warningLevel));
    appendOther(command, options.otherOptions);
    return command;
}
