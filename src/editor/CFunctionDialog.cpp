#include "editor/CFunctionDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CFunctionDialog::CFunctionDialog(const QStringList& names, const std::vector<int>& lines, int total,
                                 QWidget* parent)
    : QDialog(parent), m_lines(lines), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Go To Function:"));
    m_list->setObjectName(QStringLiteral("functionList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSortingEnabled(false);
    // Entry i is definition i: the list is never sorted.
    m_list->addItems(names);
    // The first function is selected, so OK or Enter at once goes there.
    m_list->setCurrentRow(names.isEmpty() ? -1 : 0);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CFunctionDialog::OnOK);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CFunctionDialog::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    if (total > names.size()) {
        auto* limit = new QLabel(
            QStringLiteral("Only the first %1 of %2 functions are shown.").arg(names.size()).arg(total), this);
        limit->setObjectName(QStringLiteral("limitLabel"));
        layout->addWidget(limit);
    }
    layout->addWidget(buttons);
    resize(360, 320);
}

void CFunctionDialog::OnOK()
{
    const int row = m_list->currentRow();
    const QListWidgetItem* item = row >= 0 ? m_list->item(row) : nullptr;
    if (item && item->isSelected() && std::size_t(row) < m_lines.size())
        selectedLine = m_lines[std::size_t(row)];
    accept();
}
