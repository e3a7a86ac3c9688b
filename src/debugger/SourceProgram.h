#pragma once

#include <QString>
#include <QStringList>

// The program Start Debugging takes for a source that belongs to no open
// project. Tarn's own Build Source writes `loop.exe` beside `loop.c`; gcc
// with `-o loop`, make's built-in rule and most makefiles write `loop`;
// gcc without `-o` writes `a.out`. Each is looked for in the source's
// folder, and the newest that exists and may be executed is taken (equal
// times: the earlier name of that order).
struct SourceProgram {
    // The program found, or empty.
    QString program;
    // Every path looked at, in the order above (for the message that none
    // was found).
    QStringList lookedFor;
    // The program was modified before the source: it was built from an
    // older text.
    bool olderThanSource = false;
};

// The names looked for, in order: a name equal to the source itself (a
// source without an extension) is left out.
QStringList SourceProgramCandidates(const QString& sourcePath);
SourceProgram FindSourceProgram(const QString& sourcePath);
