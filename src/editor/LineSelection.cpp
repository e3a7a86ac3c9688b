#include "editor/LineSelection.h"

#include "editor/EditControl.h"
#include "messages/RowBytes.h"

#include <QRegularExpression>

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

void selectReportedMatch(EditControl& edit, int line, const QRegularExpression& pattern)
{
    selectReportedLine(edit, line);
    if (line <= 0 || line > edit.lineCount() || !pattern.isValid() || pattern.pattern().isEmpty())
        return;
    const long start = edit.lineIndex(line - 1);
    const QByteArray bytes = edit.textRange(start, start + edit.lineLength(line - 1));
    // Positions are bytes: a line that is not UTF-8 is read as Latin-1, a
    // character a byte.
    const bool utf8 = IsValidUtf8(bytes);
    const QString text = utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch() || match.capturedLength() == 0)
        return;
    auto bytesOf = [&](QStringView piece) { return utf8 ? long(piece.toUtf8().size()) : long(piece.size()); };
    const long from = start + bytesOf(QStringView(text).first(match.capturedStart()));
    edit.setSelection(from, from + bytesOf(match.capturedView()));
}
