#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Project > Insert Folder's dialog: the folder (with Browse...) and the
// file patterns. Insert checks that the folder is there and says so in the
// dialog, which stays open; the insertion is the caller's.
class InsertFolderDialog : public QDialog {
    Q_OBJECT
public:
    InsertFolderDialog(const QString& folder, const QString& patterns, QWidget* parent = nullptr);

    QString folder() const;
    QString patterns() const;

    QLineEdit* folderEdit() const { return m_folder; }
    QLineEdit* patternsEdit() const { return m_patterns; }
    QPushButton* insertButton() const { return m_insert; }

public slots:
    void accept() override;

private:
    QLineEdit* m_folder = nullptr;
    QLineEdit* m_patterns = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_insert = nullptr;
};
