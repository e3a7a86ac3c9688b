#pragma once

#include "framework/MdiChildFrame.h"

// The frame of a source window. A context-menu request on the frame itself
// shows the source window's context menu.
class CChildFrame : public fw::MdiChildFrame {
    Q_OBJECT
public:
    CChildFrame(fw::Document* document, fw::View* view);

    static fw::MdiChildFrame* create(fw::Document* document);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};
