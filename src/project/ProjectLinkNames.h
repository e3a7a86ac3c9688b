#pragma once

#include <QString>

// The names the project's Linking Options dialog works with.

// The output name the dialog shows: a name longer than three characters
// that does not end in "exe" (any case) gets its extension replaced by
// "exe" (DefaultExecutableName); shorter names and "...exe" stay, and so
// does a Linux program name, whose file part has no '.'.
//   "/proj/DEMO.tarn" -> "/proj/DEMO.exe"   "a.out" -> "a.exe"   "ab" -> "ab"
//   "~/src/lua/lua" -> "~/src/lua/lua"
QString LinkDialogOutputName(const QString& outputName);

// The library entry of a chosen library file name: "libm.a" -> "m",
// "libfoo.so" -> "foo". With the extension "a" (any case) the last two
// characters go, otherwise the last three; then the first three.
QString LibraryEntryOfFile(const QString& fileName);
