#include "singlefile/CLinkDialog.h"

#include "settings/IdeSettings.h"
#include "framework/Prompts.h"
#include "tools/ToolPathMessages.h"
#include "singlefile/InterfaceGccRun.h"
#include "singlefile/LinkListBox.h"
#include "singlefile/SingleFileCommands.h"
#include "settings/IdeContext.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CLinkDialog::CLinkDialog(IdeContext& tools, QWidget* parent) : QDialog(parent), m_tools(tools)
{
    setObjectName(QStringLiteral("CLinkDialog"));
    setWindowTitle(QStringLiteral("Link"));
    auto* linking = new QGroupBox(QStringLiteral("Linking"), this);
    m_list = new LinkListBox(tools, linking);
    m_list->setObjectName(QStringLiteral("linkList"));
    auto* add = new QPushButton(QStringLiteral("Add..."), linking);
    add->setObjectName(QStringLiteral("add"));
    add->setAutoDefault(false);
    auto* remove = new QPushButton(QStringLiteral("Remove"), linking);
    remove->setObjectName(QStringLiteral("remove"));
    remove->setAutoDefault(false);
    auto* linkButtons = new QHBoxLayout;
    linkButtons->addWidget(add);
    linkButtons->addWidget(remove);
    auto* linkLayout = new QVBoxLayout(linking);
    linkLayout->addWidget(new QLabel(QStringLiteral("Object/Library Files to Link"), linking));
    linkLayout->addWidget(m_list);
    linkLayout->addLayout(linkButtons);

    m_output = new QLineEdit(this);
    m_output->setObjectName(QStringLiteral("outputName"));
    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(new QLabel(QStringLiteral("Output:"), this));
    outputRow->addWidget(m_output);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(linking);
    layout->addLayout(outputRow);
    layout->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, [this] { OnAddLink(); });
    connect(remove, &QPushButton::clicked, this, [this] { OnRemoveLink(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CLinkDialog::OnAddLink()
{
    m_list->browseAndAdd();
}

void CLinkDialog::OnRemoveLink()
{
    m_list->removeSelected();
}

void CLinkDialog::OnOK()
{
    const IdeSettings& settings = m_tools.settings();
    if (settings.gccPath.isEmpty()) {
        fw::messageBox(this, GccPathMessage());
        return;
    }
    outputName = m_output->text();
    if (outputName.isEmpty()) {
        fw::messageBox(this, QStringLiteral("You must enter an output filename"));
        return;
    }
    RunGccOnInterface(m_tools, QStringLiteral("Linking with command line of:"),
                      LinkCommand(settings.gccPath, outputName, m_list->entries()));
    accept();
}
