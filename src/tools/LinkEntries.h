#pragma once

#include <QString>
#include <QStringList>

class ToolCommand;

// Link lists of Build Source, Link and the project: each entry is either an
// object (its text is longer than 2 characters and its second-to-last
// character is '.', as the full path of a ".o" file) or a library name that
// gcc gets as "-l" plus the name.

// A list holds at most this many entries; a full list refuses the next one.
inline constexpr int kMaxLinkEntries = 500;

// The C++ runtime library Build Source adds for a C++ source, as this host
// names it ("-lstdc++").
inline constexpr const char* kCppRuntimeLibrary = "stdc++";

// The message a full list shows instead of taking another entry.
QString LinkListFullMessage();

bool IsObjectEntry(const QString& entry);

// The entry for a chosen file: extension "o" (any case) gives the full
// path; "a" the file name without its last 2 and then its first 3
// characters (libm.a -> m); any other extension the name without its last 3
// and first 3 characters (libfoo.so -> foo).
QString MakeLinkEntry(const QString& extension, const QString& fileName, const QString& fullPath);

// Appends every object followed by " ", then "-l" · library · " " for
// every library, each group in list order, to the command's line; each
// object path and each "-l" entry is one argument. The one place a link's
// inputs are written: Build Source, Link and the project link.
void AppendLinkInputs(ToolCommand& command, const QStringList& objects,
                      const QStringList& libraries);

// A link list taken apart: its object entries and its library entries,
// each in list order.
struct LinkInputs {
    QStringList objects;
    QStringList libraries;
};
LinkInputs SplitLinkEntries(const QStringList& entries);

// The inputs of a link list: its objects, then its libraries
// (AppendLinkInputs of SplitLinkEntries).
void AppendLinkEntries(ToolCommand& command, const QStringList& entries);

// A link without compile options, as Link and the project link run it:
// gccPath " -o " output " " and the inputs (AppendLinkInputs). The output
// name is used exactly as given.
ToolCommand GccLinkCommand(const QString& gccPath, const QString& output,
                           const QStringList& objects, const QStringList& libraries);

// Whether the list already holds the C++ runtime library (compared without
// regard to case).
bool HasCppRuntimeEntry(const QStringList& entries);

// Sorts the entries the way the dialogs' lists show and use them:
// alphabetically without regard to case (ties keep a fixed order).
void SortLinkEntries(QStringList& entries);
