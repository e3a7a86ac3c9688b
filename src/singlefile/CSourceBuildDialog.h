#pragma once

#include "tools/CompileOptions.h"

#include <QDialog>
#include <QStringList>

class LinkListBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class IdeContext;

// "Build Source File": compiles and links the window's source into an
// executable with one gcc run. Works on copies of the window's settings;
// the caller takes them back only when the dialog ends through "Compile!".
class CSourceBuildDialog : public QDialog {
    Q_OBJECT
public:
    explicit CSourceBuildDialog(IdeContext& tools, QWidget* parent = nullptr);

    QString sourcePath;
    CompileOptions options;
    int linkCount = 0;
    QStringList linkEntries;
    QString executableName;
    int outputChoice = 1;

    // Shows the dialog modally (OnInitDialog first); QDialog::Accepted when
    // "Compile!" ran.
    int exec() override;

    void OnInitDialog();
    void OnOutputAOut();
    void OnOutputNamed();
    void OnAddLink();
    void OnRemoveLink();
    void OnAdvancedOptions();
    void OnCompile();

    LinkListBox* linkList() const { return m_list; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void readControls();

    IdeContext& m_tools;

    QRadioButton* m_aOut;
    QRadioButton* m_named;
    QLineEdit* m_name;
    LinkListBox* m_list;
    QPushButton* m_compile;
};
