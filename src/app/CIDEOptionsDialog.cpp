#include "app/CIDEOptionsDialog.h"

#include "settings/IdeContext.h"

#include "framework/Prompts.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The last entry of every Browse filter list.
const QString allFiles = QStringLiteral("All Files (*)");

// Dialog units: a quarter of the average character width across, an eighth
// of the character height down, so the dialog scales with its font.
struct DialogUnits {
    explicit DialogUnits(const QFontMetrics& metrics)
        : x(metrics.averageCharWidth() / 4.0), y(metrics.height() / 8.0)
    {}
    int width(int units) const { return int(units * x + 0.5); }
    int height(int units) const { return int(units * y + 0.5); }
    double x;
    double y;
};

template <typename Widget> Widget* named(Widget* widget, const char* objectName, int controlId)
{
    widget->setObjectName(QLatin1String(objectName));
    widget->setProperty("controlId", controlId);
    return widget;
}

QPushButton* pushButton(const QString& text, const char* objectName, int controlId)
{
    auto* button = named(new QPushButton(text), objectName, controlId);
    button->setAutoDefault(false); // Enter in a field means OK
    return button;
}

void exchangeText(QLineEdit* edit, QString& value, bool save)
{
    if (save)
        value = edit->text();
    else
        edit->setText(value);
}

void exchangeCheck(QCheckBox* box, int& value, bool save)
{
    if (save)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

} // namespace

CIDEOptionsDialog::CIDEOptionsDialog(IdeContext& context, QWidget* parent)
    : QDialog(parent), m_context(context)
{
    setWindowTitle(QStringLiteral("Dialog"));
    buildControls();
    OnInitDialog();
}

void CIDEOptionsDialog::buildControls()
{
    const DialogUnits units(fontMetrics());
    auto* paths = new QGroupBox(QStringLiteral("Program Paths"));
    auto* pathGrid = new QGridLayout(paths);
    int row = 0;
    auto addPath = [&](const QString& label, QLineEdit* edit, QPushButton* button,
                       void (CIDEOptionsDialog::*handler)()) {
        edit->setMinimumWidth(units.width(120));
        button->setMinimumWidth(units.width(40));
        pathGrid->addWidget(new QLabel(label), row++, 0, 1, 2);
        pathGrid->addWidget(edit, row, 0);
        pathGrid->addWidget(button, row++, 1);
        connect(button, &QPushButton::clicked, this, handler);
    };
    m_gccPath = named(new QLineEdit, "gccPathEdit", 1041);
    m_gdbPath = named(new QLineEdit, "gdbPathEdit", 1046);
    m_makePath = named(new QLineEdit, "makePathEdit", 1044);
    m_libcPath = named(new QLineEdit, "libcPathEdit", 1053);
    addPath(QStringLiteral("GCC path:"), m_gccPath,
            pushButton(QStringLiteral("Browse..."), "browseGccButton", 1042),
            &CIDEOptionsDialog::OnBrowseGcc);
    addPath(QStringLiteral("GDB path:"), m_gdbPath,
            pushButton(QStringLiteral("Browse..."), "browseGdbButton", 1043),
            &CIDEOptionsDialog::OnBrowseGdb);
    addPath(QStringLiteral("Make path:"), m_makePath,
            pushButton(QStringLiteral("Browse..."), "browseMakeButton", 1045),
            &CIDEOptionsDialog::OnBrowseMake);
    addPath(QStringLiteral("libc.hlp path:"), m_libcPath,
            pushButton(QStringLiteral("Browse..."), "browseLibcButton", 1052),
            &CIDEOptionsDialog::OnBrowseLibc);
    pathGrid->setRowStretch(row, 1);

    m_debugDefault =
        named(new QCheckBox(QStringLiteral("Debug info option on for new projects and sources")),
              "debugDefaultCheck", 1039);
    auto* indenting = new QGroupBox(QStringLiteral("Auto-Indenting"));
    auto* indentingColumn = new QVBoxLayout(indenting);
    m_moveBraces = named(new QCheckBox(QStringLiteral("Move Braces")), "moveBracesCheck", 1040);
    m_keepLevel =
        named(new QCheckBox(QStringLiteral("Keep same level after ';'")), "keepLevelCheck", 1056);
    indentingColumn->addWidget(m_moveBraces);
    indentingColumn->addWidget(m_keepLevel);
    m_clearBeforeBuild = named(new QCheckBox(QStringLiteral("Clear message window before builds")),
                               "clearBeforeBuildCheck", 1050);
    m_minimizeOnTile = named(new QCheckBox(QStringLiteral("Minimize message window on tile")),
                             "minimizeOnTileCheck", 1055);
    auto* switches = new QVBoxLayout;
    switches->addSpacing(units.height(25));
    switches->addWidget(m_debugDefault);
    switches->addWidget(indenting);
    switches->addWidget(m_clearBeforeBuild);
    switches->addWidget(m_minimizeOnTile);
    switches->addStretch(1);

    auto* sourceFont =
        pushButton(QStringLiteral("Source Window Font..."), "sourceFontButton", 1007);
    connect(sourceFont, &QPushButton::clicked, this, &CIDEOptionsDialog::OnSourceFont);
    auto* ok = named(new QPushButton(QStringLiteral("OK")), "okButton", 1);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = pushButton(QStringLiteral("Cancel"), "cancelButton", 2);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sourceFont);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* general = new QWidget;
    auto* generalGrid = new QGridLayout(general);
    generalGrid->addWidget(paths, 0, 0);
    generalGrid->addLayout(switches, 0, 1);

    auto* language = new QWidget;
    auto* languageGrid = new QGridLayout(language);
    m_clangdPath = named(new QLineEdit, "clangdPathEdit", 1060);
    auto* browseClangd = pushButton(QStringLiteral("Browse..."), "browseClangdButton", 1061);
    connect(browseClangd, &QPushButton::clicked, this, &CIDEOptionsDialog::OnBrowseClangd);
    auto* about = new QLabel(QStringLiteral(
        "clangd underlines problems as you type, completes names, finds definitions and uses, "
        "and renames. Leave the path empty to do without it; View > Code Intelligence "
        "switches it off and on."));
    about->setWordWrap(true);
    languageGrid->addWidget(new QLabel(QStringLiteral("clangd path:")), 0, 0, 1, 2);
    languageGrid->addWidget(m_clangdPath, 1, 0);
    languageGrid->addWidget(browseClangd, 1, 1);
    languageGrid->addWidget(about, 2, 0, 1, 2);
    languageGrid->setRowStretch(3, 1);

    auto* pages = named(new QTabWidget, "optionsPages", 1062);
    pages->addTab(general, QStringLiteral("Tools and Editing"));
    pages->addTab(language, QStringLiteral("Code Intelligence"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(pages, 0, 0);
    layout->addLayout(buttons, 1, 0);
    // Tab order follows the rows: each path with its Browse button, the
    // switches, then the buttons along the bottom.
    QWidget* previous = nullptr;
    for (QWidget* widget : std::initializer_list<QWidget*>{
             m_gccPath, findChild<QWidget*>(QStringLiteral("browseGccButton")), m_gdbPath,
             findChild<QWidget*>(QStringLiteral("browseGdbButton")), m_makePath,
             findChild<QWidget*>(QStringLiteral("browseMakeButton")), m_libcPath,
             findChild<QWidget*>(QStringLiteral("browseLibcButton")), m_debugDefault, m_moveBraces,
             m_keepLevel, m_clearBeforeBuild, m_minimizeOnTile, m_clangdPath, browseClangd,
             sourceFont, ok, cancel}) {
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
    const QSize designed(units.width(354), units.height(182));
    resize(sizeHint().expandedTo(designed));
    m_gccPath->setFocus();
}

void CIDEOptionsDialog::OnInitDialog()
{
    m_working = m_context.settings();
    DoDataExchange(false);
}

void CIDEOptionsDialog::DoDataExchange(bool save)
{
    exchangeCheck(m_debugDefault, m_working.debugDefault, save);
    exchangeText(m_gccPath, m_working.gccPath, save);
    exchangeCheck(m_moveBraces, m_working.moveBraces, save);
    exchangeText(m_gdbPath, m_working.gdbPath, save);
    exchangeText(m_makePath, m_working.makePath, save);
    exchangeCheck(m_clearBeforeBuild, m_working.clearBeforeBuild, save);
    exchangeText(m_libcPath, m_working.libcPath, save);
    exchangeCheck(m_minimizeOnTile, m_working.minimizeOnTile, save);
    exchangeCheck(m_keepLevel, m_working.keepLevelAfterSemicolon, save);
    if (save)
        m_working.language.clangdPath = m_clangdPath->text();
    else
        m_clangdPath->setText(m_working.language.clangdPath);
}

// Executables on this host carry no extension: each tool's filter list
// starts with its bare name, so the dialog does not open on a folder that
// looks empty, then offers the ".exe" name. The libc reference may be an
// HTML or PDF manual as well as a help file.
void CIDEOptionsDialog::OnBrowseGcc()
{
    browse(&IdeSettings::gccPath, {QStringLiteral("Gcc Executable (gcc)"),
                                   QStringLiteral("Gcc Executable (gcc.exe)"), allFiles});
}

void CIDEOptionsDialog::OnBrowseGdb()
{
    browse(&IdeSettings::gdbPath, {QStringLiteral("Gdb Executable (gdb)"),
                                   QStringLiteral("Gdb Executable (gdb.exe)"), allFiles});
}

void CIDEOptionsDialog::OnBrowseMake()
{
    browse(&IdeSettings::makePath, {QStringLiteral("Make Executable (make)"),
                                    QStringLiteral("Make Executable (make.exe)"), allFiles});
}

void CIDEOptionsDialog::OnBrowseLibc()
{
    browse(&IdeSettings::libcPath,
           {QStringLiteral("LibC Help file (libc.hlp)"),
            QStringLiteral("LibC Reference (*.html *.htm *.pdf *.hlp)"), allFiles});
}

void CIDEOptionsDialog::OnBrowseClangd()
{
    fw::Prompts::FileDialog dialog;
    dialog.caption = QStringLiteral("Open");
    dialog.filters = {QStringLiteral("clangd Executable (clangd*)"), allFiles};
    const QString chosen = fw::Prompts::current().openFileName(this, dialog);
    if (chosen.isEmpty())
        return;
    m_working.language.clangdPath = chosen;
    DoDataExchange(false);
}

void CIDEOptionsDialog::browse(QString IdeSettings::*path, const QStringList& filters)
{
    fw::Prompts::FileDialog dialog;
    dialog.caption = QStringLiteral("Open");
    dialog.filters = filters;
    const QString chosen = fw::Prompts::current().openFileName(this, dialog);
    if (chosen.isEmpty())
        return;
    m_working.*path = chosen;
    // Every control shows the working copy again, so text typed into another
    // field since the last refresh gives way to the stored value.
    DoDataExchange(false);
}

void CIDEOptionsDialog::OnSourceFont()
{
    // The colour the font dialog offers is not used.
    if (const std::optional<QFont> font =
            fw::Prompts::current().chooseFont(this, m_working.sourceFont))
        m_working.sourceFont = *font;
}

void CIDEOptionsDialog::accept()
{
    DoDataExchange(true);
    m_context.setSettings(m_working);
    // A file that cannot be written is reported there; the settings stay in
    // force for this run either way.
    if (SaveSettings(m_working, this))
        SaveLanguageSettings(m_working.language, this);
    QDialog::accept();
}
