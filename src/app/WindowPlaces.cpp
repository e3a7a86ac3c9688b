// Where the main window's children stand: kept in the session, brought back
// onto the client area, and the message window's place across the bottom.
#include "app/CMainFrame.h"

#include "framework/MdiChildFrame.h"
#include "framework/MdiLayout.h"
#include "messages/CMessageView.h"

#include <QMdiArea>

WindowPlace CMainFrame::placeOf(const fw::MdiChildFrame* frame)
{
    WindowPlace place;
    place.rect = frame->normalPlace();
    if (frame->isMinimized())
        place.state = WindowPlace::State::Minimised;
    else if (frame->isMaximized())
        place.state = WindowPlace::State::Maximised;
    return place;
}

void CMainFrame::moveToPlace(fw::MdiChildFrame* frame, const WindowPlace& place)
{
    if (!place.known())
        return;
    if (frame->isMaximized() || frame->isMinimized())
        frame->showNormal();
    if (mdiArea()->isVisible()) {
        frame->setGeometry(fw::clampPlace(place.rect, clientSpace()));
    } else {
        // Before the main window shows, the area's size is a guess: the
        // place is taken as it is and brought onto the area once it has
        // its real size.
        frame->setGeometry(place.rect);
        m_unclampedPlaces << frame;
    }
    // A window without the buttons cannot be maximised or minimised by
    // the user either.
    if (!frame->style().minMaxButtons)
        return;
    if (place.state == WindowPlace::State::Maximised)
        frame->showMaximized();
    else if (place.state == WindowPlace::State::Minimised)
        frame->showMinimized();
}

void CMainFrame::placeMessageWindow(const WindowPlace& place)
{
    fw::MdiChildFrame* messageFrame = m_messageView ? m_messageView->parentFrame() : nullptr;
    if (!messageFrame)
        return;
    if (place.known()) {
        m_dockedMessage = QRect();
        moveToPlace(messageFrame, place);
        return;
    }
    dockMessageWindow();
}

void CMainFrame::dockMessageWindow()
{
    fw::MdiChildFrame* messageFrame = m_messageView ? m_messageView->parentFrame() : nullptr;
    if (!messageFrame)
        return;
    const QRect space = clientSpace();
    const int top = space.top() + space.height() * 3 / 4;
    m_dockedMessage = QRect(space.left(), top, space.width(), space.bottom() + 1 - top);
    messageFrame->setGeometry(m_dockedMessage);
    // (What the frame's minimum size made of it.)
    m_dockedMessage = messageFrame->geometry();
}

QRect CMainFrame::newChildSpace() const
{
    QRect space = clientSpace();
    const fw::MdiChildFrame* messageFrame = m_messageView ? m_messageView->parentFrame() : nullptr;
    if (!messageFrame || messageFrame->isHidden() || messageFrame->isMaximized() || messageFrame->isMinimized())
        return space;
    const QRect message = messageFrame->geometry();
    // Across (nearly) the whole width and in the lower half, with room left
    // above it for a window.
    if (message.width() >= space.width() * 3 / 4 && message.top() > space.top() + space.height() / 2 &&
        message.top() - space.top() >= 200)
        space.setBottom(message.top() - 1);
    return space;
}

void CMainFrame::clampRestoredPlaces()
{
    const QRect space = mdiArea()->viewport()->rect();
    for (const QPointer<fw::MdiChildFrame>& frame : std::as_const(m_unclampedPlaces)) {
        if (!frame)
            continue;
        if (frame->isMaximized() || frame->isMinimized())
            continue; // the area places it; its normal place stays as kept
        frame->setGeometry(fw::clampPlace(frame->geometry(), space));
    }
    m_unclampedPlaces.clear();
}
