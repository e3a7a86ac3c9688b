#pragma once

#include "editor/EditControl.h"

#include <QMetaObject>

#include <vector>

class QsciScintilla;

// The EditControl of a source window, over its Scintilla control.
//
// Scintilla keeps the file's own line breaks, so a position here is the
// byte position plus one for every line break of a single byte (a lone LF
// or CR) before it: in a CR LF file the two are equal, in an LF file the
// position is the byte position plus the line number. The count of
// single-byte breaks before each line is cached and cut back whenever the
// text changes.
class ScintillaEditControl : public EditControl {
public:
    explicit ScintillaEditControl(QsciScintilla* editor);
    ~ScintillaEditControl() override;
    ScintillaEditControl(const ScintillaEditControl&) = delete;
    ScintillaEditControl& operator=(const ScintillaEditControl&) = delete;

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

    // Conversions between positions of this interface and byte positions
    // of the control (a position inside a line break maps to its start).
    long toBytePosition(long position) const;
    long fromBytePosition(long bytePosition) const;

    // Forgets the cached line-break counts from the line of a changed byte
    // on (the control reports its own changes; this is for bulk loads).
    void textChangedAt(long bytePosition);

private:
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    int breakWidth(int line) const;
    long singleBreaksBefore(int line) const;

    QsciScintilla* m_editor;
    QMetaObject::Connection m_connection;
    // m_singleBreaks[i]: single-byte line breaks in lines 0 .. i-1.
    mutable std::vector<long> m_singleBreaks{0};
};
