#pragma once

#include <QDialog>

class QLineEdit;

// "Go To Line": asks for a line number. The field has the keyboard focus as
// soon as the dialog shows.
class CGotoLineDialog : public QDialog {
    Q_OBJECT
public:
    explicit CGotoLineDialog(QWidget* parent = nullptr);

    // The field's text, taken when the dialog ends with OK.
    QString lineText;

    QLineEdit* lineEdit() const { return m_edit; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnOK();

    QLineEdit* m_edit;
};
