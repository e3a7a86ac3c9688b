#pragma once

#include <QByteArray>
#include <QString>

class EditControl;
class QDateTime;
class QLocale;

// The insertion commands of a source window: statement skeletons, the
// comment delimiters around a selection, and the date texts.

enum class StatementTemplate { If, IfElse, While, DoWhile, For, Switch };

// The skeleton for an indentation of `tabs` tab characters, with CR LF line
// breaks (the control writes the document's own), and how many positions
// before its end the caret belongs (inside the parentheses of the head).
struct TemplateText {
    QByteArray text;
    long caretBack = 0;
};
TemplateText BuildStatementTemplate(StatementTemplate kind, int tabs);

// Replaces the selection by the skeleton, indented like the line where the
// selection starts, and leaves the caret in the head's parentheses.
void InsertStatementTemplate(EditControl& edit, StatementTemplate kind);

// Encloses a non-empty selection in "/*" and "*/"; the caret ends just
// after the "/*". An empty selection changes nothing (returns false).
bool CommentSelection(EditControl& edit);

// "Insert Date": the locale's long date. "Insert Date/Time": that, ", ",
// the hour on the 12-hour clock without a leading zero, ":", two-digit
// minutes, " " and the locale's AM or PM text.
QString FormatInsertDate(const QDateTime& when, const QLocale& locale);
QString FormatInsertDateTime(const QDateTime& when, const QLocale& locale);
