#pragma once

#include <QDialog>

class QLineEdit;

// "Run Executable...": a command and its arguments, remembered by the main
// frame. OK stores both and starts the command in a terminal window;
// Cancel keeps the old ones.
class CRunDialog : public QDialog {
    Q_OBJECT
public:
    CRunDialog(QString& lastRunCommand, QString& lastRunArguments, QWidget* parent = nullptr);

    QString command;
    QString arguments;

    int exec() override;
    void OnInitDialog();
    void OnBrowse();
    void OnRun();

private:
    QString& m_lastCommand;
    QString& m_lastArguments;
    QLineEdit* m_command;
    QLineEdit* m_arguments;
};

// "Debug": starts gdb on an executable in a terminal window. Empty at each
// opening.
class CDebugDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDebugDialog(QWidget* parent = nullptr);

    QString executable;

    void OnBrowse();
    void OnGo();

private:
    QLineEdit* m_executable;
};

// The open-file dialog of both Browse buttons; empty when cancelled.
QString BrowseForExecutable(QWidget* parent, const QString& key);
