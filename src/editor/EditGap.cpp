#include "editor/EditGap.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>

namespace {

// Texts smaller than this move their gap fast enough at the first key.
constexpr long kLargeText = 1024 * 1024;
// A gap this close to the caret is left where it is.
constexpr long kNearBytes = 256 * 1024;
// How far one slice moves the gap (the text and its styles: a few ms).
constexpr long kStepBytes = 4 * 1024 * 1024;
// How long the caret rests before the gap follows.
constexpr int kSettleMs = 100;

long send(QsciScintilla& control, unsigned int message, unsigned long w = 0, long l = 0)
{
    return control.SendScintilla(message, w, l);
}

} // namespace

bool MoveEditGap(QsciScintilla& control, long position)
{
    if (send(control, QsciScintillaBase::SCI_GETREADONLY))
        return false;
    const long at = send(control, QsciScintillaBase::SCI_POSITIONFROMLINE,
                         static_cast<unsigned long>(send(control, QsciScintillaBase::SCI_LINEFROMPOSITION,
                                                         static_cast<unsigned long>(position))));
    const long length = send(control, QsciScintillaBase::SCI_GETLENGTH);
    const long styledTo = send(control, QsciScintillaBase::SCI_GETENDSTYLED);
    const bool undo = send(control, QsciScintillaBase::SCI_GETUNDOCOLLECTION);
    const long eventMask = send(control, QsciScintillaBase::SCI_GETMODEVENTMASK);
    send(control, QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
    send(control, QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    control.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(at), " ");
    const bool inserted = send(control, QsciScintillaBase::SCI_GETLENGTH) == length + 1;
    if (inserted)
        send(control, QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(at), 1L);
    send(control, QsciScintillaBase::SCI_SETMODEVENTMASK, static_cast<unsigned long>(eventMask));
    send(control, QsciScintillaBase::SCI_SETUNDOCOLLECTION, undo ? 1UL : 0UL);
    // The text is as it was, and so are its styles: the styled part is
    // what it was, not cut back to the insertion.
    send(control, QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(styledTo));
    return inserted;
}

EditGapFollower::EditGapFollower(QsciScintilla* control) : QObject(control), m_control(control)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &EditGapFollower::step);
}

void EditGapFollower::caretMoved()
{
    if (send(*m_control, QsciScintillaBase::SCI_GETLENGTH) >= kLargeText)
        m_timer.start(kSettleMs);
}

void EditGapFollower::step()
{
    QsciScintilla& control = *m_control;
    // A list or tip on show keeps positions of its own.
    if (send(control, QsciScintillaBase::SCI_AUTOCACTIVE) || send(control, QsciScintillaBase::SCI_CALLTIPACTIVE))
        return;
    const long gap = send(control, QsciScintillaBase::SCI_GETGAPPOSITION);
    const long caret = send(control, QsciScintillaBase::SCI_GETCURRENTPOS);
    const long distance = caret - gap;
    if (std::abs(distance) < kNearBytes)
        return;
    if (MoveEditGap(control, gap + std::clamp(distance, -kStepBytes, kStepBytes)) && std::abs(distance) > kStepBytes)
        m_timer.start(0);
}
