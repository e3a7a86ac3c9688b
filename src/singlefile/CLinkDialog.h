#pragma once

#include <QDialog>

class LinkListBox;
class QLineEdit;
class IdeContext;

// "Link": links objects and libraries into an executable with one gcc run,
// without compiling. Starts empty every time.
class CLinkDialog : public QDialog {
    Q_OBJECT
public:
    explicit CLinkDialog(IdeContext& tools, QWidget* parent = nullptr);

    QString outputName;

    void OnAddLink();
    void OnRemoveLink();
    void OnOK();

    LinkListBox* linkList() const { return m_list; }

private:
    IdeContext& m_tools;
    LinkListBox* m_list;
    QLineEdit* m_output;
};
