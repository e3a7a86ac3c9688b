#pragma once

#include <QStringList>

#include <optional>

class JobManager;
class QIODevice;

// `tarn --build P.tarn`, `--rebuild P.tarn`, `--export-makefile P.tarn` and
// `--export-compile-commands P.tarn`: the project build and the exports
// without any window. The rows
// the message window would get go to `out`, one line each (a separator row
// is an empty line); complaints go to `err`. The tool paths come from
// Tarn32.ini; an empty gcc path there means the gcc found on PATH.
//
// Exit status: 0 when the link ran and gcc reported success for it (for the
// exports: the file was written), 1 when the build stopped before linking
// or the link failed (the file could not be written), 2 for a
// usage error, an unreadable or invalid project, a project without sources,
// or a gcc that is not set and not found.
//
// `--build` and `--rebuild` take `--jobs N` before or after the project:
// N compiles at a time (ParseJobCount); a bad count is a usage error.
//
// `option` is the option as typed; the command line is already taken
// apart: the files given (exactly one project is expected) and the value
// of --jobs if one was. Needs a QCoreApplication (the build runs on a
// worker of `jobs`, which the caller can stop: a signal).
int RunProjectCommand(const QString& option, const QStringList& files,
                      const std::optional<QString>& jobsText, QIODevice& out, QIODevice& err,
                      JobManager& jobs);

// The project options with one line of help each, for --help.
QByteArray ProjectCommandHelp();

// More compiles at a time than this (or than the cores, when there are
// more) are capped: they would only fight over the processors and memory.
inline constexpr int kMaxParallelCompiles = 64;

// The value of --jobs: a whole number, 0 or more; 0 means one compile per
// core. Above the cap it is the cap, and `note` says so. Otherwise nothing,
// with the reason in `complaint`.
std::optional<int> ParseJobCount(const QString& text, int cores, QString* complaint, QString* note);
