#pragma once

#include "project/BuildJob.h"

#include <QByteArray>
#include <QString>

// The two header lines of an exported Makefile (the second is followed by
// an empty line).
inline const QString kMakefileBanner = QStringLiteral("#   Makefile exported by Tarn version 3.4");
inline const QString kMakefileNotice =
    QStringLiteral("#   Copyright (C) 2026 the Tarn developers; written by Tarn, edits are "
                   "lost on the next export");

// A path as a target or prerequisite of a rule line: a blank, '#' or ':'
// gets a backslash, '$' is doubled, so make reads the same file name.
// Paths without those characters are returned unchanged.
QString MakeRuleWord(const QString& path);

// A word of a recipe line: quoted for the shell only when it holds a
// character the shell would read otherwise, with every '$' doubled for make.
QString MakeRecipeWord(const QString& word);

// The Makefile of a project: the header, the link rule with the output as
// make's default goal, then one compile rule per source, in list order. The
// commands are the build's own (backslashes turned into forward slashes),
// with a blank after every piece. A source outside the project directory
// gets "-o <object>" on its compile line, since make runs gcc in the
// project directory and the object belongs beside the source. Lines end
// with the host's line end (LF).
QByteArray MakefileContents(const BuildJob& job);

// "Makefile" in the project directory.
QString MakefilePath(const QString& projectDirectory);
