#include "editor/LineSelection.h"

#include "editor/EditControl.h"

void selectReportedLine(EditControl& edit, int line)
{
    if (line <= 0) {
        edit.setSelection(0, 0);
        return;
    }
    const int count = edit.lineCount();
    if (line >= count) {
        edit.setSelection(edit.lineIndex(count - 1), -1);
        return;
    }
    // From the first character of the line to two positions before the next
    // line's first one: the line without its CR LF.
    edit.setSelection(edit.lineIndex(line - 1), edit.lineIndex(line) - 2);
}
