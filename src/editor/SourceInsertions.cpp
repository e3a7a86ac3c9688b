#include "editor/SourceInsertions.h"

#include "editor/EditControl.h"
#include "editor/SourceIndent.h"

#include <QDateTime>
#include <QLocale>

#include <initializer_list>

namespace {

// A skeleton is a list of pieces; nullptr stands for the indentation I.
using Pieces = std::initializer_list<const char*>;

QByteArray join(Pieces pieces, const QByteArray& indent)
{
    QByteArray text;
    for (const char* piece : pieces)
        text += piece ? QByteArray(piece) : indent;
    return text;
}

} // namespace

TemplateText BuildStatementTemplate(StatementTemplate kind, int tabs)
{
    const QByteArray I(tabs, '\t');
    const long b = tabs;
    constexpr const char* i = nullptr;
    switch (kind) {
    case StatementTemplate::If:
        return {join({"if ()\r\n", i, "{\r\n", i, "\t\r\n", i, "}\r\n", i}, I), 4 * b + 12};
    case StatementTemplate::IfElse:
        return {join({"if ()\r\n", i, "{\r\n", i, "\t\r\n", i, "}\r\n", i, "else\r\n", i, "{\r\n", i,
                      "\t\r\n", i, "}\r\n", i}, I),
                8 * b + 27};
    case StatementTemplate::While:
        return {join({"while ()\r\n", i, "{\r\n", i, "\t\r\n", i, "}\r\n", i}, I), 4 * b + 12};
    case StatementTemplate::DoWhile:
        return {join({"do\r\n", i, "{\r\n", i, "\t\r\n", i, "} while ();\r\n", i}, I), b + 4};
    case StatementTemplate::For:
        return {join({"for (;;)\r\n", i, "{\r\n", i, "\t\r\n", i, "}\r\n", i}, I), 4 * b + 14};
    case StatementTemplate::Switch:
        return {join({"switch ()\r\n", i, "{\r\n", i, "case :\r\n", i, "\r\n", i, "default :\r\n\r\n", i,
                      "}\r\n", i}, I),
                6 * b + 32};
    }
    return {};
}

void InsertStatementTemplate(EditControl& edit, StatementTemplate kind)
{
    const int tabs = LineIndentTabs(edit, edit.lineFromChar(edit.selection().start));
    const TemplateText skeleton = BuildStatementTemplate(kind, tabs);
    edit.replaceSelection(skeleton.text);
    // Positions count each break as two, so the distance back holds in a
    // document with LF breaks as well.
    const long caret = edit.caret() - skeleton.caretBack;
    edit.setSelection(caret, caret);
}

bool CommentSelection(EditControl& edit)
{
    const EditSelection sel = edit.selection();
    if (sel.start == sel.end)
        return false;
    edit.setSelection(sel.end, sel.end);
    edit.replaceSelection("*/");
    edit.setSelection(sel.start, sel.start);
    edit.replaceSelection("/*");
    return true;
}

QString FormatInsertDate(const QDateTime& when, const QLocale& locale)
{
    return locale.toString(when.date(), QLocale::LongFormat);
}

QString FormatInsertDateTime(const QDateTime& when, const QLocale& locale)
{
    const QTime time = when.time();
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return FormatInsertDate(when, locale) + QStringLiteral(", ") + QString::number(hour) + QLatin1Char(':')
           + QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0')) + QLatin1Char(' ')
           + (time.hour() < 12 ? locale.amText() : locale.pmText());
}
