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
