#pragma once

#include <QStringList>

class QIODevice;

// `tarn --build P.tarn`, `--rebuild P.tarn` and `--export-makefile P.tarn`:
// the project build and the Makefile export without any window. The rows
// the message window would get go to `out`, one line each (a separator row
// is an empty line); complaints go to `err`. The tool paths come from
// Tarn32.ini; an empty gcc path there means the gcc found on PATH.
//
// Exit status: 0 when the link ran and gcc reported success for it (for the
// export: the Makefile was written), 1 when the build stopped before
// linking or the link failed (the Makefile could not be written), 2 for a
// usage error, an unreadable or invalid project, a project without sources,
// or a gcc that is not set and not found.
//
// `option` is the option as typed; `arguments` follow it. Needs a
// QCoreApplication (the build runs on a worker).
int RunProjectCommand(const QString& option, const QStringList& arguments, QIODevice& out,
                      QIODevice& err);

// The project options with one line of help each, for --help.
QByteArray ProjectCommandHelp();
