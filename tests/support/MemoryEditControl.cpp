#include "support/MemoryEditControl.h"

#include "editor/SourceText.h"

#include <algorithm>

MemoryEditControl::MemoryEditControl(const QByteArray& text)
    : m_text(sourcetext::convertLineBreaks(text, "\r\n"))
{
    indexLines();
}

void MemoryEditControl::indexLines()
{
    m_lineStarts.assign(1, 0);
    for (qsizetype i = 0; i + 1 < m_text.size(); ++i) {
        if (m_text[i] == '\r' && m_text[i + 1] == '\n')
            m_lineStarts.push_back(long(i + 2));
    }
}

long MemoryEditControl::normalize(long position) const
{
    const long p = std::clamp(position, 0L, textLength());
    if (p > 0 && p < textLength() && m_text[qsizetype(p - 1)] == '\r' && m_text[qsizetype(p)] == '\n')
        return p - 1;
    return p;
}

long MemoryEditControl::textLength() const
{
    return long(m_text.size());
}

EditSelection MemoryEditControl::selection() const
{
    return {std::min(m_anchor, m_caret), std::max(m_anchor, m_caret)};
}

long MemoryEditControl::caret() const
{
    return m_caret;
}

void MemoryEditControl::setSelection(long anchor, long caret)
{
    m_anchor = normalize(anchor);
    m_caret = normalize(caret < 0 ? textLength() : caret);
}

void MemoryEditControl::replaceSelection(const QByteArray& text)
{
    const EditSelection sel = selection();
    const QByteArray inserted = sourcetext::convertLineBreaks(text, "\r\n");
    m_text.replace(sel.start, sel.end - sel.start, inserted);
    indexLines();
    m_anchor = m_caret = sel.start + long(inserted.size());
}

int MemoryEditControl::lineCount() const
{
    return int(m_lineStarts.size());
}

long MemoryEditControl::lineIndex(int line) const
{
    if (line < 0)
        line = lineFromChar(m_caret);
    if (line >= lineCount())
        return -1;
    return m_lineStarts[line];
}

int MemoryEditControl::lineFromChar(long position) const
{
    if (position < 0)
        position = selection().start;
    const long p = normalize(position);
    const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), p);
    return int(it - m_lineStarts.begin()) - 1;
}

int MemoryEditControl::lineLength(int line) const
{
    if (line < 0 || line >= lineCount())
        return 0;
    const long start = m_lineStarts[line];
    const long end = line + 1 < lineCount() ? m_lineStarts[line + 1] - 2 : textLength();
    return int(end - start);
}

QByteArray MemoryEditControl::textRange(long start, long end) const
{
    const long from = normalize(start);
    const long to = normalize(end < 0 ? textLength() : end);
    if (to <= from)
        return {};
    return m_text.mid(from, to - from);
}

int MemoryEditControl::firstVisibleLine() const
{
    return m_firstVisible;
}

void MemoryEditControl::lineScroll(int lines)
{
    m_firstVisible = std::clamp(m_firstVisible + lines, 0, lineCount() - 1);
}
