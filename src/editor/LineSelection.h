#pragma once

class EditControl;
class QRegularExpression;

// Selects the text of a line reported by a tool (1-based, as gcc counts),
// without its line break. A line at or past the end selects the last line
// to the end of the text; line 0 or less puts the caret at the start.
void selectReportedLine(EditControl& edit, int line);

// Selects the first text of a reported line (as above) that the pattern
// matches; the whole line when nothing on it does.
void selectReportedMatch(EditControl& edit, int line, const QRegularExpression& pattern);
