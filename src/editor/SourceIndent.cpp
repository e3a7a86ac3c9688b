#include "editor/SourceIndent.h"

#include "editor/EditControl.h"

#include <QByteArray>

#include <algorithm>

int LineIndentTabs(const EditControl& edit, int line)
{
    const long start = edit.lineIndex(line);
    if (start < 0)
        return 0;
    const long length = edit.lineLength(line);
    // Read in chunks: a long line is rarely all tabs.
    int tabs = 0;
    for (long from = start; from < start + length;) {
        const long to = std::min(start + length, from + 64);
        const QByteArray chunk = edit.textRange(from, to);
        for (char c : chunk) {
            if (c != '\t')
                return tabs;
            ++tabs;
        }
        if (chunk.isEmpty())
            break;
        from = to;
    }
    return tabs;
}

void SetCaretLineIndent(EditControl& edit, int count)
{
    const int line = edit.lineFromChar(edit.caret());
    const int current = LineIndentTabs(edit, line);
    if (count < 0 || count == current)
        return;
    const EditSelection sel = edit.selection();
    const long lineStart = edit.lineIndex(line);
    const long delta = long(count) - current;
    if (delta > 0) {
        edit.setSelection(lineStart, lineStart);
        edit.replaceSelection(QByteArray(delta, '\t'));
    } else {
        edit.setSelection(lineStart, lineStart - delta);
        edit.replaceSelection({});
    }
    // Only what stood after the line's start moves with the tabs; a place
    // inside removed tabs lands on the line's new first character.
    auto shifted = [&](long position) {
        if (position < lineStart)
            return position;
        return std::max(lineStart, position + delta);
    };
    edit.setSelection(shifted(sel.start), shifted(sel.end));
}

namespace {

// The Enter rule: the new line gets the previous line's tabs, one more when
// that line leaves a statement open.
void indentNewLine(EditControl& edit)
{
    const int previous = edit.lineFromChar(edit.caret()) - 1;
    if (previous < 0)
        return;
    const long start = edit.lineIndex(previous);
    const long length = edit.lineLength(previous);
    // L: the last character before the inserted break; an empty previous
    // line gives the break above it (or nothing at the top of the text).
    const QByteArray last = length > 0 ? edit.textRange(start + length - 1, start + length) : QByteArray();
    const QByteArray first = length > 0 ? edit.textRange(start, start + 1) : QByteArray();
    const bool keepLevel = last.isEmpty() || last == ";" || last == "}" || last == " " || last == "\t"
                           || first == "#" || first == "/";
    SetCaretLineIndent(edit, LineIndentTabs(edit, previous) + (keepLevel ? 0 : 1));
}

} // namespace

void ApplyTypingRules(EditControl& edit, char typed, const IndentRules& rules)
{
    if (typed == kEnterChar && rules.keepLevelAfterSemicolon)
        indentNewLine(edit);
    if ((typed == '{' || typed == '}') && rules.moveBraces)
        SetCaretLineIndent(edit, LineIndentTabs(edit, edit.lineFromChar(edit.caret())) - 1);
}
