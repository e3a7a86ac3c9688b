#pragma once

#include "framework/MdiChildFrame.h"

#include <memory>

class CMessageView;
namespace fw {
class DocTemplate;
}

// The message window's frame: 630 x 110, the fixed caption "Message Window"
// (it stays after the log is saved under a name), no system menu, no
// minimise or maximise buttons, and it cannot be closed while Tarn runs; it
// closes only at program exit (allowClose()).
class CMessageFrame : public fw::MdiChildFrame {
    Q_OBJECT
public:
    CMessageFrame(fw::Document* document, CMessageView* view, QWidget* parent = nullptr);

    static Style messageFrameStyle();
    CMessageView* messageView() const;
};

// A message frame holding a new CMessageView for the document (the frame
// factory of the message window's document type).
fw::MdiChildFrame* createMessageFrame(fw::Document* document);

// The message window's document type: resource 155, its document string, a
// CMessageDoc and createMessageFrame.
std::unique_ptr<fw::DocTemplate> createMessageDocTemplate();
