#pragma once

#include <QDialog>

class QLineEdit;
class IdeContext;

// "Make": names a makefile; OK starts make on it in the background and
// closes at once.
class CMakeDialog : public QDialog {
    Q_OBJECT
public:
    // The session's last makefile is shown at the start and set by OK.
    explicit CMakeDialog(IdeContext& tools, QWidget* parent = nullptr);

    QString makeFile;

    int exec() override;
    void OnInitDialog();
    void OnBrowse();
    void OnOK();

private:
    IdeContext& m_tools;
    QLineEdit* m_file;
};
