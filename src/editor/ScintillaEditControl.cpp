#include "editor/ScintillaEditControl.h"

#include "editor/SourceText.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>

ScintillaEditControl::ScintillaEditControl(QsciScintilla* editor) : m_editor(editor)
{
    m_connection = QObject::connect(
        editor, &QsciScintillaBase::SCN_MODIFIED, editor,
        [this](int position, int type, const char*, int, int, int, int, int, int, int) {
            // The view may ask for the before-events only (see CTarnView);
            // the changed line is the same either way.
            if (type & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT
                        | QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE))
                textChangedAt(position);
        });
}

ScintillaEditControl::~ScintillaEditControl()
{
    QObject::disconnect(m_connection);
}

long ScintillaEditControl::send(unsigned int message, unsigned long wParam, long lParam) const
{
    return m_editor->SendScintilla(message, wParam, lParam);
}

void ScintillaEditControl::textChangedAt(long bytePosition)
{
    // Lines before the changed one keep their breaks, except that the line
    // just before may have gained or lost half of a CR LF.
    const long line = send(QsciScintillaBase::SCI_LINEFROMPOSITION, bytePosition);
    const std::size_t keep = std::size_t(std::max(1L, line));
    if (m_singleBreaks.size() > keep)
        m_singleBreaks.resize(keep);
}

int ScintillaEditControl::breakWidth(int line) const
{
    if (line + 1 >= lineCount())
        return 0;
    return int(send(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1)
               - send(QsciScintillaBase::SCI_GETLINEENDPOSITION, line));
}

long ScintillaEditControl::singleBreaksBefore(int line) const
{
    while (m_singleBreaks.size() <= std::size_t(line)) {
        const int previous = int(m_singleBreaks.size()) - 1;
        m_singleBreaks.push_back(m_singleBreaks.back() + (breakWidth(previous) == 1 ? 1 : 0));
    }
    return m_singleBreaks[line];
}

long ScintillaEditControl::fromBytePosition(long bytePosition) const
{
    const long length = send(QsciScintillaBase::SCI_GETLENGTH);
    const long b = std::clamp(bytePosition, 0L, length);
    const int line = int(send(QsciScintillaBase::SCI_LINEFROMPOSITION, b));
    return b + singleBreaksBefore(line);
}

long ScintillaEditControl::toBytePosition(long position) const
{
    // A position counts every single-byte line break twice, so it is never
    // below the byte position it stands for: the line holding byte
    // min(position, length) bounds the search (and the table to fill). With
    // the first K lines already counted, a position before line K needs no
    // more counting, and one after it is at least the breaks before K past
    // its byte: both keep this cheap anywhere in a big file after an edit.
    const long length = send(QsciScintillaBase::SCI_GETLENGTH);
    const int known = int(m_singleBreaks.size()) - 1;
    const long knownStart = send(QsciScintillaBase::SCI_POSITIONFROMLINE, known) + m_singleBreaks[known];
    const long bound = knownStart <= position ? position - m_singleBreaks[known] : position;
    int last = int(send(QsciScintillaBase::SCI_LINEFROMPOSITION, std::clamp(bound, 0L, length)));
    if (position < knownStart)
        last = std::min(last, known);
    singleBreaksBefore(last);
    // The last line whose first position is at or before the position.
    int low = 0;
    int high = last;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        const long start = send(QsciScintillaBase::SCI_POSITIONFROMLINE, mid) + m_singleBreaks[mid];
        if (start <= position)
            low = mid;
        else
            high = mid - 1;
    }
    const long lineStart = send(QsciScintillaBase::SCI_POSITIONFROMLINE, low);
    const long lineEnd = send(QsciScintillaBase::SCI_GETLINEENDPOSITION, low);
    const long offset = std::max(0L, position - (lineStart + m_singleBreaks[low]));
    return std::min(lineStart + offset, lineEnd);
}

long ScintillaEditControl::textLength() const
{
    return fromBytePosition(send(QsciScintillaBase::SCI_GETLENGTH));
}

EditSelection ScintillaEditControl::selection() const
{
    return {fromBytePosition(send(QsciScintillaBase::SCI_GETSELECTIONSTART)),
            fromBytePosition(send(QsciScintillaBase::SCI_GETSELECTIONEND))};
}

long ScintillaEditControl::caret() const
{
    return fromBytePosition(send(QsciScintillaBase::SCI_GETCURRENTPOS));
}

void ScintillaEditControl::setSelection(long anchor, long caret)
{
    const long a = toBytePosition(anchor);
    const long c = caret < 0 ? send(QsciScintillaBase::SCI_GETLENGTH) : toBytePosition(caret);
    send(QsciScintillaBase::SCI_SETSEL, a, c);
}

void ScintillaEditControl::replaceSelection(const QByteArray& text)
{
    QByteArray eol;
    switch (send(QsciScintillaBase::SCI_GETEOLMODE)) {
    case QsciScintillaBase::SC_EOL_CR: eol = "\r"; break;
    case QsciScintillaBase::SC_EOL_LF: eol = "\n"; break;
    default: eol = "\r\n"; break;
    }
    const QByteArray bytes = sourcetext::convertLineBreaks(text, eol);
    // Through the target, so a zero byte in the text does not cut it short.
    send(QsciScintillaBase::SCI_TARGETFROMSELECTION);
    m_editor->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, bytes.size(), bytes.constData());
    send(QsciScintillaBase::SCI_GOTOPOS, send(QsciScintillaBase::SCI_GETTARGETEND));
}

int ScintillaEditControl::lineCount() const
{
    return int(send(QsciScintillaBase::SCI_GETLINECOUNT));
}

long ScintillaEditControl::lineIndex(int line) const
{
    if (line < 0)
        line = int(send(QsciScintillaBase::SCI_LINEFROMPOSITION, send(QsciScintillaBase::SCI_GETCURRENTPOS)));
    if (line >= lineCount())
        return -1;
    return send(QsciScintillaBase::SCI_POSITIONFROMLINE, line) + singleBreaksBefore(line);
}

int ScintillaEditControl::lineFromChar(long position) const
{
    const long b = position < 0 ? send(QsciScintillaBase::SCI_GETSELECTIONSTART) : toBytePosition(position);
    return int(send(QsciScintillaBase::SCI_LINEFROMPOSITION, b));
}

int ScintillaEditControl::lineLength(int line) const
{
    if (line < 0 || line >= lineCount())
        return 0;
    return int(send(QsciScintillaBase::SCI_GETLINEENDPOSITION, line)
               - send(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
}

QByteArray ScintillaEditControl::textRange(long start, long end) const
{
    const long from = toBytePosition(start);
    const long to = end < 0 ? send(QsciScintillaBase::SCI_GETLENGTH) : toBytePosition(end);
    if (to <= from)
        return {};
    QByteArray bytes(to - from + 1, Qt::Uninitialized);
    m_editor->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, from, to, bytes.data());
    bytes.chop(1);
    return sourcetext::convertLineBreaks(bytes, "\r\n");
}

int ScintillaEditControl::firstVisibleLine() const
{
    return int(send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE));
}

void ScintillaEditControl::lineScroll(int lines)
{
    m_editor->SendScintilla(QsciScintillaBase::SCI_LINESCROLL, 0L, long(lines));
}
