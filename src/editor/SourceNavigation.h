#pragma once

#include <QString>

class EditControl;

// Moving the caret to a numbered line or to a scanned definition's line.

// The number a user typed, read as the C library's string-to-integer
// conversion reads it: leading white space, an optional sign, digits up to
// the first other character; no leading number gives 0. Values beyond the
// range of int are held at its ends.
int ParseLineNumber(const QString& text);

// Go To Line: the caret (an empty selection) to the start of 1-based line
// `number`; below 1 to the start of the text, past the end to the start of
// the last line.
void GoToLineNumber(EditControl& edit, int number);

// The caret to the start of zero-based `line` (the last line when the text
// has fewer), that line scrolled to the top as far as the text allows.
void GoToSourceLine(EditControl& edit, int line);
