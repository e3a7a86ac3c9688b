#pragma once

#include <QString>
#include <QStringList>

namespace fw {
class Application;
}

// Unsaved work when Tarn is ended from outside (SIGTERM at a logout,
// SIGHUP from a closed terminal) and no user is there to answer "save
// changes?": each modified document's bytes go to a recovery copy, never
// over the user's file, and the next start tells where they are.
//
// The copies live in $XDG_STATE_HOME/tarn/recovered/ (by default
// ~/.local/state/tarn/recovered/), named after the date and the document's
// file name ("20260102-153000-main.c"; an untitled one by its title). A
// list of the copies not yet announced ("notices" in that folder, one
// "COPY<TAB>ORIGINAL" line each) is read and removed by the next start.

// The folder the copies go to (not created here).
QString RecoveryFolder();

struct RecoveryResult {
    QStringList copies;   // written, in the order of the documents
    QStringList failures; // "ORIGINAL: reason" for each one not written
};

// Writes every modified document's bytes to a copy (through the safe
// save) and marks the document unmodified once its copy is complete; a
// document whose copy failed stays modified.
RecoveryResult KeepUnsavedWork(fw::Application& application);

// The rows that tell of copies an earlier Tarn made and did not announce;
// the list is emptied, so each copy is told once.
QStringList TakeRecoveryNotices();
