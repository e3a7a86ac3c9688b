#include "singlefile/RunDebugDialogs.h"

#include "settings/IdeSettings.h"
#include "framework/Prompts.h"
#include "singlefile/BrowseFolders.h"
#include "singlefile/RunInTerminal.h"
#include "singlefile/TerminalLaunch.h"
#include "tools/CommandLine.h"
#include "settings/IdeContext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* button(const QString& text, const char* name, QWidget* parent, bool isDefault = false)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(isDefault);
    b->setDefault(isDefault);
    return b;
}
} // namespace

QString BrowseForExecutable(QWidget* parent, IdeContext& tools, const QString& key)
{
    fw::Prompts::FileDialog dialog;
    dialog.caption = QStringLiteral("Open");
    dialog.directory = BrowseFolder(tools, key);
    // Programs on this host have no extension; Tarn's builds name theirs .exe.
    dialog.filters = {QStringLiteral("Executable Files (*.exe)"), QStringLiteral("Programs (*)")};
    const QString path = fw::Prompts::current().openFileName(parent, dialog);
    RememberBrowseFolder(tools, key, path);
    return path;
}

CRunDialog::CRunDialog(IdeContext& tools, QWidget* parent) : QDialog(parent), m_tools(tools)
{
    setObjectName(QStringLiteral("CRunDialog"));
    setWindowTitle(QStringLiteral("Run Executable..."));
    m_command = new QLineEdit(this);
    m_command->setObjectName(QStringLiteral("command"));
    m_arguments = new QLineEdit(this);
    m_arguments->setObjectName(QStringLiteral("arguments"));
    QPushButton* browse = button(QStringLiteral("Browse..."), "browse", this);
    QPushButton* ok = button(QStringLiteral("OK"), "ok", this, true);
    QPushButton* cancel = button(QStringLiteral("Cancel"), "cancel", this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Name of Command to Run:"), this), 0, 0, 1, 2);
    grid->addWidget(m_command, 1, 0);
    grid->addWidget(browse, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Arguments to Pass:"), this), 2, 0, 1, 2);
    grid->addWidget(m_arguments, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    connect(browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(ok, &QPushButton::clicked, this, [this] { OnRun(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CRunDialog::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CRunDialog::OnInitDialog()
{
    command = m_tools.lastRunCommand;
    arguments = m_tools.lastRunArguments;
    m_command->setText(command);
    m_arguments->setText(arguments);
}

void CRunDialog::OnBrowse()
{
    const QString path = BrowseForExecutable(this, m_tools, QStringLiteral("run"));
    if (path.isEmpty())
        return;
    command = path;
    m_command->setText(command);
}

void CRunDialog::OnRun()
{
    command = m_command->text();
    arguments = m_arguments->text();
    m_tools.lastRunCommand = command;
    m_tools.lastRunArguments = arguments;
    // An empty command is not refused: the terminal says there is nothing
    // to run. Arguments are split as a shell would, without a shell.
    const QString directory = m_tools.directory();
    RunInTerminal(this, directory, ResolveRunCommand(command, directory), SplitCommandLine(arguments));
    accept();
}

CDebugDialog::CDebugDialog(IdeContext& tools, QWidget* parent) : QDialog(parent), m_tools(tools)
{
    setObjectName(QStringLiteral("CDebugDialog"));
    setWindowTitle(QStringLiteral("Debug"));
    m_executable = new QLineEdit(this);
    m_executable->setObjectName(QStringLiteral("executable"));
    QPushButton* browse = button(QStringLiteral("&Browse..."), "browse", this);
    QPushButton* go = button(QStringLiteral("&Go"), "go", this, true);
    QPushButton* cancel = button(QStringLiteral("Cancel"), "cancel", this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_executable, 1);
    row->addWidget(browse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(go);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Application to Debug:"), this));
    layout->addLayout(row);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    connect(browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(go, &QPushButton::clicked, this, [this] { OnGo(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CDebugDialog::OnBrowse()
{
    const QString path = BrowseForExecutable(this, m_tools, QStringLiteral("debug"));
    if (path.isEmpty())
        return;
    executable = path;
    m_executable->setText(executable);
}

void CDebugDialog::OnGo()
{
    const QString gdb = m_tools.settings().gdbPath;
    if (gdb.isEmpty()) {
        fw::messageBox(this, QStringLiteral(
            "It appears you have not set your gdb path! If you installed gdb, the GNU text-mode "
            "debugger, set the path to its executable on the options menu with the \"browse\" "
            "button."));
        return;
    }
    executable = m_executable->text();
    if (executable.isEmpty()) {
        fw::messageBox(this, QStringLiteral("Please enter an executable file"));
        return;
    }
    // gdb gets the executable as one argument, exactly as typed.
    RunInTerminal(this, m_tools.directory(), gdb, {executable});
    accept();
}
