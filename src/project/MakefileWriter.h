#pragma once

#include "project/BuildJob.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The two header lines of an exported Makefile (the second is followed by
// an empty line).
inline const QString kMakefileBanner = QStringLiteral("#   Makefile exported by Tarn version 3.4");
inline const QString kMakefileNotice =
    QStringLiteral("#   Copyright (C) 2026 the Tarn developers; written by Tarn, edits are "
                   "lost on the next export");

// Where a name stands on a rule line: GNU make reads a few characters
// differently in targets and in prerequisites.
enum class RulePlace { Target, Prerequisite };

// A file name as GNU make (4.x) reads it back exactly on a rule line: '$'
// doubled; a blank, '#', ':', '*', '?' and '[' (and '|' among the
// prerequisites) after a backslash, with the backslashes just before such
// a character doubled; '=' as "$(firstword =)", since a bare '=' would make
// the line an assignment. Names without those characters are unchanged.
// Names make cannot read back (see MakefileNameProblem) are not handled.
QString MakeRuleWord(const QString& path, RulePlace place);

// Why make cannot be given this name on a rule line, or empty when it can:
// a line break or tab (make cannot escape them), ';' (it starts a recipe
// wherever it stands), '%' (it turns a rule into a pattern rule), a
// backslash at the end (it would escape the next blank).
QString MakefileNameProblem(const QString& path);

// A word of a recipe line: quoted for /bin/sh only when it holds a
// character the shell would read otherwise, with every '$' doubled for
// make, so the shell hands the program exactly this word.
QString MakeRecipeWord(const QString& word);

// The Makefile of a project: the header, the link rule with the output as
// make's default goal, then one compile rule per source, in list order,
// and last ".SUFFIXES:", so a rule that did not match can never fall back
// to one of make's built-in rules. Each recipe runs exactly the argument
// list of the build's own step (a source outside the project directory gets
// "-o <object>", since make runs gcc in the project directory and the
// object belongs beside the source), every word followed by a blank. Lines
// end with the host's line end (LF).
//
// Nothing when a name cannot be written so that make reads it back (a
// source or output name MakefileNameProblem refuses, or a source without an
// extension, which has no object); `error` then says which and why.
std::optional<QByteArray> MakefileContents(const BuildJob& job, QString* error = nullptr);

// "Makefile" in the project directory.
QString MakefilePath(const QString& projectDirectory);
