#include "singlefile/CSourceBuildDialog.h"

#include "settings/IdeSettings.h"
#include "framework/Prompts.h"
#include "tools/ToolPathMessages.h"
#include "singlefile/InterfaceGccRun.h"
#include "singlefile/LinkListBox.h"
#include "singlefile/SingleFileCommands.h"
#include "tools/AdvancedSheet.h"
#include "tools/PathNames.h"
#include "settings/IdeContext.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

CSourceBuildDialog::CSourceBuildDialog(IdeContext& tools, QWidget* parent)
    : QDialog(parent), m_tools(tools)
{
    setObjectName(QStringLiteral("CSourceBuildDialog"));
    setWindowTitle(QStringLiteral("Build Source File"));

    auto* output = new QGroupBox(QStringLiteral("Output"), this);
    m_aOut = new QRadioButton(QStringLiteral("A.out"), output);
    m_aOut->setObjectName(QStringLiteral("outputAOut"));
    m_named = new QRadioButton(output);
    m_named->setObjectName(QStringLiteral("outputNamed"));
    m_name = new QLineEdit(output);
    m_name->setObjectName(QStringLiteral("executableName"));
    auto* outputLayout = new QGridLayout(output);
    outputLayout->addWidget(m_aOut, 0, 0, 1, 2);
    outputLayout->addWidget(new QLabel(QStringLiteral("Executable Name:"), output), 1, 1);
    outputLayout->addWidget(m_named, 2, 0);
    outputLayout->addWidget(m_name, 2, 1);

    auto* linking = new QGroupBox(QStringLiteral("Linking"), this);
    m_list = new LinkListBox(tools, linking);
    m_list->setObjectName(QStringLiteral("linkList"));
    QPushButton* add = button(QStringLiteral("Add..."), "add", linking);
    QPushButton* remove = button(QStringLiteral("Remove"), "remove", linking);
    auto* linkButtons = new QHBoxLayout;
    linkButtons->addWidget(add);
    linkButtons->addWidget(remove);
    auto* linkLayout = new QVBoxLayout(linking);
    linkLayout->addWidget(new QLabel(QStringLiteral("Object/Library files to Link"), linking));
    linkLayout->addWidget(m_list);
    linkLayout->addLayout(linkButtons);

    QPushButton* advanced = button(QStringLiteral("Advanced Options..."), "advanced", this);
    m_compile = button(QStringLiteral("Compile!"), "compile", this);
    m_compile->setDefault(true);
    QPushButton* cancel = button(QStringLiteral("Cancel"), "cancel", this);
    auto* side = new QVBoxLayout;
    side->addWidget(m_compile);
    side->addWidget(cancel);
    side->addStretch();
    side->addWidget(advanced);

    auto* left = new QVBoxLayout;
    left->addWidget(output);
    left->addWidget(linking);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);

    // toggled, not clicked: a radio button checked by the keyboard or an
    // accessibility tool must switch the name field too.
    connect(m_aOut, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OnOutputAOut();
    });
    connect(m_named, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OnOutputNamed();
    });
    connect(add, &QPushButton::clicked, this, [this] { OnAddLink(); });
    connect(remove, &QPushButton::clicked, this, [this] { OnRemoveLink(); });
    connect(advanced, &QPushButton::clicked, this, [this] { OnAdvancedOptions(); });
    connect(m_compile, &QPushButton::clicked, this, [this] { OnCompile(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CSourceBuildDialog::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CSourceBuildDialog::OnInitDialog()
{
    executableName = DefaultExecutableName(sourcePath);
    m_name->setText(executableName);
    m_aOut->setChecked(outputChoice == 0);
    m_named->setChecked(outputChoice != 0);
    m_name->setEnabled(outputChoice != 0);
    m_list->setEntries(linkEntries);
    linkCount = m_list->count();
}

void CSourceBuildDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // After the default handling: "Compile!" has the focus.
    QTimer::singleShot(0, m_compile, [this] { m_compile->setFocus(Qt::OtherFocusReason); });
}

void CSourceBuildDialog::OnOutputAOut()
{
    m_name->setEnabled(false);
}

void CSourceBuildDialog::OnOutputNamed()
{
    m_name->setEnabled(true);
}

void CSourceBuildDialog::OnAddLink()
{
    if (m_list->browseAndAdd())
        linkCount = m_list->count();
}

void CSourceBuildDialog::OnRemoveLink()
{
    if (m_list->removeSelected())
        linkCount = m_list->count();
}

void CSourceBuildDialog::OnAdvancedOptions()
{
    EditCompileOptions(this, options);
}

void CSourceBuildDialog::readControls()
{
    executableName = m_name->text();
    outputChoice = m_aOut->isChecked() ? 0 : 1;
}

void CSourceBuildDialog::OnCompile()
{
    const IdeSettings& settings = m_tools.settings();
    if (settings.gccPath.isEmpty()) {
        fw::messageBox(this, GccPathMessage());
        return;
    }
    readControls();
    // Run proposes the program built last, whatever the output choice.
    m_tools.lastRunCommand = executableName;
    const QStringList entries = m_list->entries();
    RunGccOnInterface(m_tools, QStringLiteral("Compiling ") + sourcePath + QStringLiteral(" with command line of:"),
                      BuildSourceCommand(settings.gccPath, sourcePath, outputChoice, executableName,
                                         options, entries));
    linkEntries = entries;
    linkCount = int(entries.size());
    accept();
}
