#pragma once

#include "tools/ChildRun.h"

#include <QByteArrayView>
#include <QString>

// What one build did, in one line for the status bar: "Build succeeded",
// "Build failed: 3 errors, 1 warning", "make failed (exit status 2)".
//
// A build is one or more tool runs (a compile, a link, a make). Each run is
// added with its result; the diagnostics are counted in the rows of its
// output that the message window marks as diagnostics: a row counts as an
// error when "error:" stands in it before any "warning:", as a warning when
// "warning:" does. The rows themselves are shown as they are.
class BuildVerdict {
public:
    // Counts the diagnostics in a piece of an output stream (cut into rows
    // as the message window cuts it; complete lines only unless streamEnd).
    void countRows(QByteArrayView bytes, bool streamEnd);
    // Records one run of a tool: gcc (a compile or link) or make, started
    // as program (the verdict names it by its file name). The first run that
    // went wrong decides the failure line.
    enum class Tool { Gcc, Make };
    void addRun(Tool tool, const QString& program, const ChildResult& result);
    // The build ended without its product for a reason outside the tool
    // runs: stopped between two steps ("Build stopped"), or left unfinished,
    // e.g. objects missing for the link ("Build failed"). As with runs, the
    // first failure decides.
    void setStopped();
    void setIncomplete();
    // Takes in a later part of the same build that was counted on its own
    // (a compile beside others): its diagnostics, and its failure when this
    // verdict has none yet. Parts taken in in the order of their runs give
    // the verdict of one count over all of them.
    void add(const BuildVerdict& later);

    int errors() const { return m_errors; }
    int warnings() const { return m_warnings; }
    bool failed() const;
    // The line for the status bar:
    //   a tool that could not start  "Build failed: could not start gcc"
    //   a tool that crashed          "Build failed: gcc crashed"
    //   a run stopped by the user    "Build stopped"
    //   left unfinished otherwise    "Build failed" [": 1 error"]
    //   make ending with status N    "make failed (exit status 2)" [": 1 error"]
    //                                (named as started: "gmake failed ...")
    //   gcc with errors or status    "Build failed: 3 errors, 1 warning"
    //                                (no rows counted: "Build failed (gcc exit status 1)")
    //   otherwise                    "Build succeeded" [": 2 warnings"]
    QString text() const;

private:
    QString counted() const;

    int m_errors = 0;
    int m_warnings = 0;
    Tool m_tool = Tool::Gcc;
    QString m_toolName;
    ChildResult m_failure;
    bool m_failed = false;
    bool m_incomplete = false;
};

// Shows the verdict in the status bar for 10 seconds. It travels through the
// ordered message queue (any thread), so it appears after the rows of the
// build posted before it.
class MessageChannel;
void PostBuildVerdict(MessageChannel& messages, const BuildVerdict& verdict);
