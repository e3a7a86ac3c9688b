#pragma once

#include "search/FindInFiles.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Find in Files dialog: the text, the folder (with Browse...), the file
// patterns, Match case, Whole word and Regular expression. Find checks the
// entries (FindRequestError) and shows what is wrong in the dialog, which
// stays open; the search itself is the caller's.
class FindInFilesDialog : public QDialog {
    Q_OBJECT
public:
    FindInFilesDialog(const FindInFilesRequest& initial, QWidget* parent = nullptr);

    // The search as the entries stand.
    FindInFilesRequest request() const;

    QLineEdit* textEdit() const { return m_text; }
    QLineEdit* folderEdit() const { return m_folder; }
    QLineEdit* patternsEdit() const { return m_patterns; }
    QCheckBox* matchCaseBox() const { return m_matchCase; }
    QCheckBox* wholeWordBox() const { return m_wholeWord; }
    QCheckBox* regexBox() const { return m_regex; }
    QPushButton* findButton() const { return m_find; }

public slots:
    void accept() override;

private:
    void browse();

    QLineEdit* m_text = nullptr;
    QLineEdit* m_folder = nullptr;
    QLineEdit* m_patterns = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_regex = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_find = nullptr;
};
