#pragma once

#include <QString>

// What a source window holds, by its file name: it decides the colouring.
enum class SourceKind {
    C,        // C and C++ sources and headers, and an untitled window
    Makefile, // Makefile, makefile, GNUmakefile, *.mk
    Text,     // anything else
};

// The kind of the file a path names ("" for an untitled window: C).
// Extensions are compared without regard to case (".C" and ".H" are C++).
SourceKind SourceKindOf(const QString& path);

// The language of a C source window, by its file name: it decides the
// keywords. A ".c" file is C, ".cpp", ".cc", ".cxx", ".C" and their headers
// ".hpp", ".hh", ".hxx", ".H" and ".inl" are C++; a ".h" and an untitled
// window may be either and get the keywords of both.
enum class SourceLanguage {
    C,
    Cpp,
    CAndCpp,
};
SourceLanguage SourceLanguageOf(const QString& path);

// The keywords of a language, separated by blanks: C's up to C23, C++'s up to
// C++20, or both.
const char* SourceKeywordsOf(SourceLanguage language);
