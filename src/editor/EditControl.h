#pragma once

#include <QByteArray>

// A selection in an edit control: start <= end, both positions.
struct EditSelection {
    long start = 0;
    long end = 0;
    friend bool operator==(const EditSelection&, const EditSelection&) = default;
};

// The operations Tarn's text algorithms need from a source window's edit
// control (indentation, templates, comment, Go To Line, the selection of a
// reported line).
//
// Positions count every line break as TWO positions (carriage return and
// line feed), whatever the document holds, so that arithmetic such as
// "the start of the line plus the indent plus 2" means the same on every
// file. Text read from or written through this interface uses CR LF breaks.
//
// Every position passed in is first clamped to [0, textLength()] and, when
// it falls between the two positions of a line break, moved onto the start
// of that break.
class EditControl {
public:
    virtual ~EditControl() = default;

    virtual long textLength() const = 0;

    virtual EditSelection selection() const = 0;
    // The caret position (the end of the selection where it was dragged to).
    virtual long caret() const = 0;
    // Selects from anchor to caret; a negative caret means the end of the
    // text (so setSelection(0, -1) selects everything).
    virtual void setSelection(long anchor, long caret) = 0;
    // Replaces the selection by text (any line breaks in it become the
    // document's own); the caret ends up after the inserted text.
    virtual void replaceSelection(const QByteArray& text) = 0;

    // Lines count from 0; an empty text has one line, and a text ending in a
    // line break has an empty last line.
    virtual int lineCount() const = 0;
    // Position of the first character of a line; a negative line means the
    // caret's line; a line past the last gives -1.
    virtual long lineIndex(int line) const = 0;
    // Line holding a position; a negative position means the line of the
    // selection start (or of the caret when nothing is selected).
    virtual int lineFromChar(long position) const = 0;
    // Characters of a line without its line break; 0 for a line past the end.
    virtual int lineLength(int line) const = 0;
    // The text between two positions (a negative end: the end of the text).
    virtual QByteArray textRange(long start, long end) const = 0;

    virtual int firstVisibleLine() const = 0;
    // Scrolls the view by lines (negative: towards the top).
    virtual void lineScroll(int lines) = 0;

    QByteArray text() const { return textRange(0, -1); }
};
