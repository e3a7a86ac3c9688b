#pragma once

#include <QDialog>

class QLineEdit;

// "Make": names a makefile; OK starts make on it in the background and
// closes at once.
class CMakeDialog : public QDialog {
    Q_OBJECT
public:
    // lastMakeFile is the main frame's remembered name: shown at the start,
    // set by OK.
    CMakeDialog(QString& lastMakeFile, QWidget* parent = nullptr);

    QString makeFile;

    int exec() override;
    void OnInitDialog();
    void OnBrowse();
    void OnOK();

private:
    QString& m_lastMakeFile;
    QLineEdit* m_file;
};
