#pragma once

#include <QObject>
#include <QTimer>

class QsciScintilla;

// The edit control keeps a text and its styles with a gap where the last
// edit was; an edit anywhere else first moves the gap there, copying every
// byte (and style) in between. In a text of tens of megabytes a key typed
// far from the gap waits for that copy: 20 ms and more for 50 MB.

// Moves the gap to the start of the line holding `position` by an
// insertion and its deletion that leave no trace: nothing to undo, no
// change announced, the styles and the modified flag as they were. False
// when the control refuses (read-only).
bool MoveEditGap(QsciScintilla& control, long position);

// Moves the gap of a large text towards the caret once the caret has
// settled far from it, a few megabytes per slice of idle time, so that the
// first key typed there copies little.
class EditGapFollower : public QObject {
public:
    explicit EditGapFollower(QsciScintilla* control);
    // The caret moved: the gap follows after a pause.
    void caretMoved();

private:
    void step();

    QsciScintilla* m_control;
    QTimer m_timer;
};
