#pragma once

// What a source window's debugger margin shows, read from its Scintilla
// markers the way the window paints them.
#include "editor/DebugMargin.h"

#include <Qsci/qsciscintilla.h>

#include <QList>

namespace marginmarks {

inline constexpr int kBreakpointMask =
    (1 << debugmargin::kBreakpointMarker) | (1 << debugmargin::kDisabledBreakpointMarker) |
    (1 << debugmargin::kConditionalBreakpointMarker) |
    (1 << debugmargin::kDisabledConditionalMarker) | (1 << debugmargin::kNotSetBreakpointMarker);

// The zero-based lines that hold a breakpoint mark of any kind.
inline QList<int> BreakpointLines(QsciScintilla* editor)
{
    QList<int> lines;
    for (int line = editor->markerFindNext(0, kBreakpointMask); line >= 0;
         line = editor->markerFindNext(line + 1, kBreakpointMask))
        lines.append(line);
    return lines;
}

// Whether the zero-based line holds the marker.
inline bool HasMark(QsciScintilla* editor, int line, int marker)
{
    return (editor->markersAtLine(line) & (1 << marker)) != 0;
}

// The line of the stop arrow, or -1.
inline int CurrentLine(QsciScintilla* editor)
{
    return editor->markerFindNext(0, 1 << debugmargin::kCurrentArrowMarker);
}

// The line of a caller's band, or -1.
inline int CallerLine(QsciScintilla* editor)
{
    return editor->markerFindNext(0, 1 << debugmargin::kCallerLineMarker);
}

} // namespace marginmarks
