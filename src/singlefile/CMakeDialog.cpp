#include "singlefile/CMakeDialog.h"

#include "settings/IdeSettings.h"
#include "framework/Prompts.h"
#include "tools/ToolPathMessages.h"
#include "singlefile/BrowseFolders.h"
#include "singlefile/MakeRun.h"
#include "settings/IdeContext.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CMakeDialog::CMakeDialog(IdeContext& tools, QWidget* parent) : QDialog(parent), m_tools(tools)
{
    setObjectName(QStringLiteral("CMakeDialog"));
    setWindowTitle(QStringLiteral("Make"));
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("makeFile"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addWidget(m_file, 1);
    row->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("File to make:"), this));
    layout->addLayout(row);
    layout->addWidget(buttons);
    connect(browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setMinimumWidth(420);
}

int CMakeDialog::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CMakeDialog::OnInitDialog()
{
    makeFile = m_tools.lastMakeFile;
    m_file->setText(makeFile);
}

void CMakeDialog::OnBrowse()
{
    fw::Prompts::FileDialog dialog;
    dialog.caption = QStringLiteral("Open");
    dialog.directory = BrowseFolder(m_tools, QStringLiteral("make"));
    // Makefiles seldom have an extension: every file is offered.
    dialog.filters = {QStringLiteral("Makefiles (*)"), QStringLiteral("All Files (*)")};
    const QString path = fw::Prompts::current().openFileName(this, dialog);
    if (path.isEmpty())
        return;
    RememberBrowseFolder(m_tools, QStringLiteral("make"), path);
    makeFile = path;
    m_file->setText(makeFile);
}

void CMakeDialog::OnOK()
{
    if (m_tools.settings().makePath.isEmpty()) {
        fw::messageBox(this, MakePathMessage());
        return;
    }
    makeFile = m_file->text();
    m_tools.lastMakeFile = makeFile;
    MakeThread(m_tools, makeFile);
    accept();
}
