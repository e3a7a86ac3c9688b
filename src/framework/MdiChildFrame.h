#pragma once

#include "framework/CommandTarget.h"

#include <QMdiSubWindow>

namespace fw {

class Document;
class View;

// The frame of one view inside the main window's MDI area.
class MdiChildFrame : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    struct Style {
        bool addDocumentToTitle = true; // caption follows the document title
        bool closable = true;           // false: the frame refuses to close
        bool systemMenu = true;
        bool minMaxButtons = true;
        QSize initialSize;              // empty: the framework's default
        QString fixedTitle;             // used when addDocumentToTitle is false
    };

    MdiChildFrame(Document* document, View* view, const Style& style, QWidget* parent = nullptr);
    ~MdiChildFrame() override;

    View* view() const { return m_view; }
    Document* document() const;
    const Style& style() const { return m_style; }
    // Lets the frame close even though its style refuses it (program exit).
    void allowClose() { m_forceClose = true; }

    // Adds the frame to the main window's MDI area, runs the view's initial
    // update and shows it.
    void initialUpdate(bool makeVisible);
    void activate();

    // Where the frame stands when it is neither maximised nor minimised:
    // its geometry now, or the one it had before it was maximised or
    // minimised.
    QRect normalPlace() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateTitle();
    void trimSystemMenu();

    View* m_view = nullptr;
    Style m_style;
    bool m_forceClose = false;
    bool m_restorePending = false;
    QRect m_normalPlace;
    bool m_keptPlace = false; // maximised or minimised: m_normalPlace stays
};

} // namespace fw
