#include "project/CProjectLinkDialog.h"

#include "framework/Prompts.h"
#include "project/ProjectFile.h"
#include "project/ProjectLinkNames.h"
#include "tools/PathNames.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CProjectLinkDialog::CProjectLinkDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CProjectLinkDialog"));
    setWindowTitle(QStringLiteral("Linking Options"));

    auto* group = new QGroupBox(QStringLiteral("Linking"), this);
    m_list = new QListWidget(group);
    m_list->setObjectName(QStringLiteral("libraryList"));
    auto* add = new QPushButton(QStringLiteral("Add..."), group);
    add->setObjectName(QStringLiteral("addButton"));
    auto* remove = new QPushButton(QStringLiteral("Remove"), group);
    remove->setObjectName(QStringLiteral("removeButton"));
    m_output = new QLineEdit(group);
    m_output->setObjectName(QStringLiteral("outputEdit"));

    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Library Files to Link"), group), 0, 0, 1, 2);
    grid->addWidget(m_list, 1, 0, 3, 1);
    grid->addWidget(add, 1, 1);
    grid->addWidget(remove, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Output:"), group), 4, 0, 1, 2);
    grid->addWidget(m_output, 5, 0, 1, 2);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    resize(260, 250);

    connect(add, &QPushButton::clicked, this, &CProjectLinkDialog::OnAddLibrary);
    connect(remove, &QPushButton::clicked, this, &CProjectLinkDialog::OnRemoveLibrary);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CProjectLinkDialog::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CProjectLinkDialog::OnInitDialog()
{
    outputName = LinkDialogOutputName(outputName);
    m_list->clear();
    for (qsizetype i = 0; i < std::min<qsizetype>(libraryCount, libraries.size()); ++i)
        insertSorted(libraries.at(i));
    m_output->setText(outputName);
}

// The list keeps its entries in alphabetical order without regard to case;
// names equal but for case stay in the order they came.
void CProjectLinkDialog::insertSorted(const QString& name)
{
    int row = m_list->count();
    while (row > 0 && m_list->item(row - 1)->text().compare(name, Qt::CaseInsensitive) > 0)
        --row;
    m_list->insertItem(row, name);
}

void CProjectLinkDialog::OnAddLibrary()
{
    if (libraryCount >= kProjectListCapacity) {
        fw::messageBox(this, QStringLiteral("The project already links %1 libraries, as many as "
                                            "it can hold. Remove one before adding another.")
                                 .arg(kProjectListCapacity));
        return;
    }
    fw::Prompts::FileDialog dialog;
    dialog.caption = QStringLiteral("Open");
    dialog.filters << QStringLiteral("Library Files (*.a *.so)");
    const QString chosen = fw::Prompts::current().openFileName(this, dialog);
    if (chosen.isEmpty())
        return;
    insertSorted(LibraryEntryOfFile(FileNameOf(chosen)));
    ++libraryCount;
}

void CProjectLinkDialog::OnRemoveLibrary()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    delete item;
    --libraryCount;
}

void CProjectLinkDialog::accept()
{
    outputName = m_output->text();
    libraries.clear();
    for (int row = 0; row < m_list->count(); ++row)
        libraries.append(m_list->item(row)->text());
    libraryCount = int(libraries.size());
    QDialog::accept();
}
