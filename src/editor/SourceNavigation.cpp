#include "editor/SourceNavigation.h"

#include "editor/EditControl.h"

#include <algorithm>
#include <climits>

int ParseLineNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<long long>(value * 10 + (text[i].unicode() - u'0'), 1LL + INT_MAX);
    if (negative)
        value = -value;
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

void GoToLineNumber(EditControl& edit, int number)
{
    long position = 0;
    if (number >= 1) {
        const int line = std::min(number - 1, edit.lineCount() - 1);
        position = edit.lineIndex(line);
    }
    edit.setSelection(position, position);
}

void GoToSourceLine(EditControl& edit, int line)
{
    line = std::clamp(line, 0, edit.lineCount() - 1);
    const long start = edit.lineIndex(line);
    edit.setSelection(start, start);
    edit.lineScroll(line - edit.firstVisibleLine());
}
