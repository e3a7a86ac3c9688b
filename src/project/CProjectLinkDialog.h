#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;
class QListWidget;

// "Linking Options" of a project: the libraries to link (kept sorted without
// regard to case) and the output name. Works on its members; the caller
// copies them in before exec() and takes them back only after OK.
class CProjectLinkDialog : public QDialog {
    Q_OBJECT
public:
    explicit CProjectLinkDialog(QWidget* parent = nullptr);

    int libraryCount = 0;
    QStringList libraries;
    QString outputExtension;
    QString outputName;

    int exec() override;
    void accept() override;

    void OnAddLibrary();
    void OnRemoveLibrary();

    QListWidget* libraryList() const { return m_list; }
    QLineEdit* outputEdit() const { return m_output; }

protected:
    // Applies the output-name rule and shows the members in the controls.
    void OnInitDialog();

private:
    void insertSorted(const QString& name);

    QListWidget* m_list = nullptr;
    QLineEdit* m_output = nullptr;
};
