#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QTreeWidget;

// Keeps the columns of one of the debugger's tree panes readable: each
// column but the last is as wide as the longest text of the rows shown
// (indentation of opened rows included), but at most half the pane, so a
// long value leaves room for the columns after it; the last column fills
// the rest of the pane, or is as wide as its texts with a scroll bar.
//
// A pane that cannot be measured (hidden, or not laid out yet) is fitted
// when it is shown or resized. A column the user drags to a width keeps
// it, until a double click on its header edge gives it back to fitting.
class PaneColumns : public QObject {
    Q_OBJECT
public:
    // `key` names the pane in the settings ("Locals").
    PaneColumns(QTreeWidget* tree, const QString& key);

    // Fits the columns to the rows now, or as soon as the pane can be
    // measured.
    void fit();

    const QString& key() const { return m_key; }
    // The widths the user gave, one per column but the last; 0: fitted.
    QList<int> userWidths() const;
    void setUserWidths(const QList<int>& widths);

signals:
    // The user dragged a column to a new width.
    void userResized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sectionResized(int column, int oldWidth, int newWidth);

    QTreeWidget* m_tree;
    // What the filter watches, compared by address only.
    const QObject* m_viewport = nullptr;
    const QObject* m_headerViewport = nullptr;
    QString m_key;
    QList<int> m_user;
    bool m_fitting = false;
    bool m_dragging = false;
};
