#pragma once

#include "framework/MdiChildFrame.h"

class BreakpointBook;
class IdeContext;

// The frame of a source window. A context-menu request on the frame itself
// shows the source window's context menu.
class CChildFrame : public fw::MdiChildFrame {
    Q_OBJECT
public:
    CChildFrame(fw::Document* document, fw::View* view);

    // A source window whose Quick Compile and Build Source run in the
    // session's current directory, and whose margin shows the book's
    // breakpoints (none without a book).
    static fw::MdiChildFrame* create(fw::Document* document, IdeContext& context,
                                     BreakpointBook* breakpoints = nullptr);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};
