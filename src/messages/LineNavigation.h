#pragma once

class QRegularExpression;

// A view that can show a line reported by a tool: the message window's double
// click hands the line number (1-based, as the compiler reports it) to the
// first view of the document it opened, when that view implements this.
class LineSelectable {
public:
    virtual ~LineSelectable() = default;
    virtual void selectReportedLine(int line) = 0;
    // A search match on the line: selects what the pattern matches first
    // on it (the line when nothing does).
    virtual void selectReportedMatch(int line, const QRegularExpression& pattern)
    {
        (void)pattern;
        selectReportedLine(line);
    }
};
