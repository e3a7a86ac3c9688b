#pragma once

#include "framework/CommandTarget.h"

class QWidget;

namespace fw {

class Application;
class Document;
class MdiChildFrame;
class MdiMainFrame;

// A view shows a document inside a child frame. Views are widgets of
// different kinds (an editor, a tree, a list), so this is a mix-in: the
// widget class derives from both its Qt base and View.
class View : public CommandTarget {
public:
    ~View() override;

    Document* document() const { return m_document; }
    MdiChildFrame* parentFrame() const { return m_frame; }
    // The application the document's type is registered with, and its main
    // window; nullptr for a view used alone.
    Application* application() const;
    MdiMainFrame* mainFrame() const;
    virtual QWidget* widget() = 0;

    // Runs once after the frame is created and the document loaded; also
    // called again by commands that re-apply settings.
    virtual void onInitialUpdate() {}

private:
    friend class Document;
    friend class MdiChildFrame;
    Document* m_document = nullptr;
    MdiChildFrame* m_frame = nullptr;
};

} // namespace fw
