#pragma once

#include "framework/MdiChildFrame.h"

class IdeContext;

// The frame of a project window: 350 x 250 pixels, captioned with the
// project's title, without system menu or minimise and maximise boxes.
class CProjectFrame : public fw::MdiChildFrame {
    Q_OBJECT
public:
    CProjectFrame(fw::Document* document, fw::View* view);

    static Style frameStyle();
    // A project window whose commands run in the session.
    static fw::MdiChildFrame* create(fw::Document* document, IdeContext& tools);
};
