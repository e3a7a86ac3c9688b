#pragma once

#include <QString>

#include <cstdint>

class ToolCommand;

// The user's choice of gcc options: one record per source window, one per
// project, and a working copy in the Build Source dialog. Always copied by
// value between its homes.
//
// A flag adds its fragment only when it is exactly 1; a level or language
// adds one only for its listed non-zero values, so 0, the -1 of an unchecked
// radio group and any stray stored number add nothing.
struct CompileOptions {
    std::int32_t ansi = 0;           // "-ansi "
    std::int32_t noAsm = 0;          // "-fno-asm "
    std::int32_t traditional = 0;    // "-traditional "
    std::int32_t optimizeLevel = 0;  // 1..3: "-O1 ", "-O2 ", "-O3 "
    QString otherOptions;            // as typed, untrimmed, followed by " "
    std::int32_t preprocessOnly = 0; // "-E "
    std::int32_t noAssemble = 0;     // "-S "
    std::int32_t debugInfo = 0;      // "-g "
    std::int32_t language = 0;       // 1..8: "-x c " ... "-x assembler-with-cpp "
    std::int32_t warningLevel = 0;   // 1..4: "-w ", "-Wall ", "-W ", "-Werror "

    friend bool operator==(const CompileOptions&, const CompileOptions&) = default;
};

// The "-x" fragment of a language value, empty for 0 and out-of-range values.
QString LanguageFragment(std::int32_t language);

// Appends the record's fragments in source order (Quick Compile and Build
// Source): -g, -ansi, -fno-asm, -traditional, -O, other options, -S, -E,
// -x, warnings; to the command's line and its argument list.
void AppendSourceFlags(ToolCommand& command, const CompileOptions& options);

// The complete compile command of one project source in project order:
// gccPath " -c " source " " -g -ansi -fno-asm -traditional -S -E -O -x
// warnings, other options last. The line shows the paths as they are, never
// quoted; in the argument list the source path is one argument whatever it
// holds, and other options are split as a shell would.
ToolCommand BuildProjectCompileCommand(const QString& gccPath, const QString& sourcePath,
                                       const CompileOptions& options);
