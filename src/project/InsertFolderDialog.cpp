#include "project/InsertFolderDialog.h"

#include "framework/Prompts.h"
#include "tools/PathBytes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

InsertFolderDialog::InsertFolderDialog(const QString& folder, const QString& patterns, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Insert Folder"));
    m_folder = new QLineEdit(folder, this);
    m_patterns = new QLineEdit(patterns, this);
    auto* browseButton = new QPushButton(QStringLiteral("&Browse..."), this);
    connect(browseButton, &QPushButton::clicked, this, [this] {
        const QString chosen =
            fw::Prompts::current().folderName(this, QStringLiteral("Insert Folder"), m_folder->text());
        if (!chosen.isEmpty())
            m_folder->setText(chosen);
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browseButton);

    auto* form = new QFormLayout;
    auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
    folderLabel->setBuddy(m_folder);
    form->addRow(folderLabel, folderRow);
    form->addRow(QStringLiteral("File &patterns:"), m_patterns);

    auto* note = new QLabel(QStringLiteral("Every file of the folder and its subfolders whose name fits "
                                           "a pattern is inserted, in name order."),
                            this);
    note->setWordWrap(true);
    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("insertFolderError"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: #b00000"));
    m_error->hide();

    auto* buttons = new QDialogButtonBox(this);
    m_insert = buttons->addButton(QStringLiteral("Insert"), QDialogButtonBox::AcceptRole);
    m_insert->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &InsertFolderDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &InsertFolderDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(m_error);
    layout->addWidget(buttons);
    resize(480, sizeHint().height());
    m_folder->setFocus();
}

QString InsertFolderDialog::folder() const
{
    return m_folder->text();
}

QString InsertFolderDialog::patterns() const
{
    return m_patterns->text();
}

void InsertFolderDialog::accept()
{
    if (FileTypeOf(folder()) != FileType::Folder) {
        m_error->setText(QStringLiteral("There is no folder \"%1\".").arg(folder()));
        m_error->show();
        m_folder->setFocus();
        return;
    }
    m_error->hide();
    QDialog::accept();
}
