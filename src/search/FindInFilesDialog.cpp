#include "search/FindInFilesDialog.h"

#include "framework/Prompts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FindInFilesDialog::FindInFilesDialog(const FindInFilesRequest& initial, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Find in Files"));
    m_text = new QLineEdit(initial.options.text, this);
    m_folder = new QLineEdit(initial.folder, this);
    m_patterns = new QLineEdit(initial.patterns, this);
    auto* browseButton = new QPushButton(QStringLiteral("&Browse..."), this);
    connect(browseButton, &QPushButton::clicked, this, &FindInFilesDialog::browse);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browseButton);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Fi&nd what:"), m_text);
    // A label given as text names no buddy when the field is a layout.
    auto* folderLabel = new QLabel(QStringLiteral("In &folder:"), this);
    folderLabel->setBuddy(m_folder);
    form->addRow(folderLabel, folderRow);
    form->addRow(QStringLiteral("File &patterns:"), m_patterns);

    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setChecked(initial.options.matchCase);
    m_wholeWord = new QCheckBox(QStringLiteral("&Whole word"), this);
    m_wholeWord->setChecked(initial.options.wholeWord);
    m_regex = new QCheckBox(QStringLiteral("&Regular expression"), this);
    m_regex->setChecked(initial.options.regularExpression);

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("findInFilesError"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: #b00000"));
    m_error->hide();

    auto* buttons = new QDialogButtonBox(this);
    m_find = buttons->addButton(QStringLiteral("Find"), QDialogButtonBox::AcceptRole);
    m_find->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &FindInFilesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FindInFilesDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_matchCase);
    layout->addWidget(m_wholeWord);
    layout->addWidget(m_regex);
    layout->addWidget(m_error);
    layout->addWidget(buttons);
    resize(480, sizeHint().height());
    m_text->selectAll();
    m_text->setFocus();
}

FindInFilesRequest FindInFilesDialog::request() const
{
    FindInFilesRequest request;
    request.options.text = m_text->text();
    request.options.matchCase = m_matchCase->isChecked();
    request.options.wholeWord = m_wholeWord->isChecked();
    request.options.regularExpression = m_regex->isChecked();
    request.folder = m_folder->text();
    request.patterns = m_patterns->text();
    return request;
}

void FindInFilesDialog::accept()
{
    const QString error = FindRequestError(request());
    if (!error.isEmpty()) {
        m_error->setText(error);
        m_error->show();
        // The text's fault is mended in the text, the folder's in the folder.
        QLineEdit* culprit = FindOptionsError(request().options).isEmpty() ? m_folder : m_text;
        culprit->setFocus();
        return;
    }
    m_error->hide();
    QDialog::accept();
}

void FindInFilesDialog::browse()
{
    const QString folder = fw::Prompts::current().folderName(
        this, QStringLiteral("Find in Files: Folder"), m_folder->text());
    if (!folder.isEmpty())
        m_folder->setText(folder);
}
