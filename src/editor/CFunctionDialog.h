#pragma once

#include <QDialog>
#include <QStringList>

#include <vector>

class QListWidget;

// "Go To Function:": the definitions of a file in scan order (never
// sorted); OK or a double click chooses one.
class CFunctionDialog : public QDialog {
    Q_OBJECT
public:
    // names and lines (zero-based) in scan order, at most the first
    // kMaxScannedDefinitions; total is how many the scan found.
    CFunctionDialog(const QStringList& names, const std::vector<int>& lines, int total,
                    QWidget* parent = nullptr);

    // The line of the chosen entry, -1 when none was chosen.
    int selectedLine = -1;

    QListWidget* list() const { return m_list; }

private:
    void OnOK();

    std::vector<int> m_lines;
    QListWidget* m_list;
};
