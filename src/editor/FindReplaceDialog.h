#pragma once

#include "editor/FindRequest.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QLabel;

// The modeless Find and Replace dialog of a source window. It only asks;
// the view searches when a button signals.
class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindReplaceDialog(QWidget* parent = nullptr);

    // Shows the dialog in Find or Replace form, filled from request.
    void present(bool replace, const FindRequest& request);
    bool replaceMode() const { return m_replaceMode; }
    FindRequest request() const;

    QLineEdit* findEdit() const { return m_findEdit; }
    QLineEdit* replaceEdit() const { return m_replaceEdit; }
    QCheckBox* matchCaseBox() const { return m_matchCase; }
    QCheckBox* wholeWordBox() const { return m_wholeWord; }
    QRadioButton* upButton() const { return m_up; }
    QPushButton* findNextButton() const { return m_findNext; }
    QPushButton* replaceButton() const { return m_replace; }
    QPushButton* replaceAllButton() const { return m_replaceAll; }

signals:
    void findNextRequested(const FindRequest& request);
    void replaceRequested(const FindRequest& request);
    void replaceAllRequested(const FindRequest& request);

private:
    void updateButtons();

    bool m_replaceMode = false;
    QLineEdit* m_findEdit;
    QLabel* m_replaceLabel;
    QLineEdit* m_replaceEdit;
    QCheckBox* m_wholeWord;
    QCheckBox* m_matchCase;
    QRadioButton* m_up;
    QRadioButton* m_down;
    QPushButton* m_findNext;
    QPushButton* m_replace;
    QPushButton* m_replaceAll;
};
