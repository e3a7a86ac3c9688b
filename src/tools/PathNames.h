#pragma once

#include <QString>

// Path and file-name helpers shared by the single-file tools, the project
// document, its tree, its builds and the Makefile export. Paths are held as
// the host gives them (absolute, '/' on Linux) and compared exactly.

// The text of a path up to and including its last '/'; empty when it has
// none.
//   "/home/me/src/hello.c" -> "/home/me/src/"      "hello.c" -> ""
QString DirectoryOf(const QString& path);

// The file name of a path: the text after its last '/'.
QString FileNameOf(const QString& path);

// The path with the text after the last '.' of its file name replaced by
// "exe"; a file name with no '.' gets "exe" appended without a dot.
// "hello.c" -> "hello.exe", "hello.cpp" -> "hello.exe", "hello" ->
// "helloexe", "/a.b/prog" -> "/a.b/progexe".
QString DefaultExecutableName(const QString& path);

// True when the text from the last '.' to the end is ".cpp", ".cc" or
// ".cxx" in any case; a '.' at position 0, or none, means no extension.
bool IsCppSource(const QString& path);

// The object file of a source: directory followed by the source's file name
// with the text after its last '.' replaced by "o".
//   ("/src/main.cpp", "/proj/") -> "/proj/main.o"
// A file name without '.' gets "o" appended without a dot.
QString ObjectFileName(const QString& source, const QString& directory);
