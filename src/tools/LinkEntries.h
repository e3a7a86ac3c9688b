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

// Appends every object entry followed by " ", then "-l" · entry · " " for
// every library entry, each group in list order, to the command's line; each
// object path and each "-l" entry is one argument.
void AppendLinkEntries(ToolCommand& command, const QStringList& entries);

// Whether the list already holds the C++ runtime library (compared without
// regard to case).
bool HasCppRuntimeEntry(const QStringList& entries);

// Sorts the entries the way the dialogs' lists show and use them:
// alphabetically without regard to case (ties keep a fixed order).
void SortLinkEntries(QStringList& entries);
