#pragma once

#include <QDialog>

class QLineEdit;
class IdeContext;

// "Run Executable...": a command and its arguments, remembered by the tool
// session. OK stores both and starts the command in a terminal window;
// Cancel keeps the old ones.
class CRunDialog : public QDialog {
    Q_OBJECT
public:
    explicit CRunDialog(IdeContext& tools, QWidget* parent = nullptr);

    QString command;
    QString arguments;

    int exec() override;
    void OnInitDialog();
    void OnBrowse();
    void OnRun();

private:
    IdeContext& m_tools;
    QLineEdit* m_command;
    QLineEdit* m_arguments;
};

// "Debug": starts gdb on an executable in a terminal window. Empty at each
// opening.
class CDebugDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDebugDialog(IdeContext& tools, QWidget* parent = nullptr);

    QString executable;

    void OnBrowse();
    void OnGo();

private:
    IdeContext& m_tools;
    QLineEdit* m_executable;
};

// The open-file dialog of both Browse buttons; empty when cancelled.
QString BrowseForExecutable(QWidget* parent, IdeContext& tools, const QString& key);
