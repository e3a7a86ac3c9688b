#pragma once

#include "editor/EditControl.h"

#include <vector>

// An EditControl over a plain buffer, for the tests of the text algorithms
// without a widget. The text is kept with CR LF line breaks, so positions
// are byte offsets into it. "Visible lines" are simply a first-line counter.
class MemoryEditControl : public EditControl {
public:
    // Any line breaks in text (CR LF, LF, CR) are stored as CR LF.
    explicit MemoryEditControl(const QByteArray& text = {});

    long textLength() const override;
    EditSelection selection() const override;
    long caret() const override;
    void setSelection(long anchor, long caret) override;
    void replaceSelection(const QByteArray& text) override;
    int lineCount() const override;
    long lineIndex(int line) const override;
    int lineFromChar(long position) const override;
    int lineLength(int line) const override;
    QByteArray textRange(long start, long end) const override;
    int firstVisibleLine() const override;
    void lineScroll(int lines) override;

private:
    long normalize(long position) const;
    void indexLines();

    QByteArray m_text;
    std::vector<long> m_lineStarts;
    long m_anchor = 0;
    long m_caret = 0;
    int m_firstVisible = 0;
};
