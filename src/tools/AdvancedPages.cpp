#include "tools/AdvancedPages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <limits>

namespace {

QCheckBox* addCheck(QWidget* page, QLayout* layout, const char* name, const char* text)
{
    auto* box = new QCheckBox(QString::fromLatin1(text), page);
    box->setObjectName(QString::fromLatin1(name));
    layout->addWidget(box);
    return box;
}

// Radio buttons named prefix0, prefix1, ... whose group ids are their values.
QButtonGroup* makeRadios(QWidget* page, const char* prefix, const QStringList& texts)
{
    auto* group = new QButtonGroup(page);
    group->setObjectName(QString::fromLatin1(prefix));
    for (int value = 0; value < texts.size(); ++value) {
        auto* button = new QRadioButton(texts.at(value), page);
        button->setObjectName(QString::fromLatin1(prefix) + QString::number(value));
        group->addButton(button, value);
    }
    return group;
}

QVBoxLayout* stackRadios(QButtonGroup* group, QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    for (QAbstractButton* button : group->buttons())
        layout->addWidget(button);
    layout->addStretch();
    return layout;
}

} // namespace

void ExchangeCheck(bool save, QCheckBox* box, std::int32_t& field)
{
    if (save)
        field = box->isChecked() ? 1 : 0;
    else
        box->setChecked(field == 1);
}

void ExchangeRadio(bool save, QButtonGroup* group, std::int32_t& field)
{
    if (save) {
        field = group->checkedId(); // -1 when no button is checked
        return;
    }
    if (QAbstractButton* button = group->button(field)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group cannot be emptied directly.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

CAdvancedPage::CAdvancedPage(const QString& title, CompileOptions& record, QWidget* parent)
    : QWidget(parent), m_record(record), m_title(title)
{
}

void CAdvancedPage::OnOK()
{
    if (m_opened)
        DoDataExchange(true);
}

void CAdvancedPage::setDialogUnits(int width, int height)
{
    // A dialog unit is a quarter of the average character width and an
    // eighth of the character height.
    const QFontMetrics metrics(font());
    const int charWidth = metrics.averageCharWidth();
    setMinimumSize(width * charWidth / 4, height * metrics.height() / 8);
}

COverallPage::COverallPage(CompileOptions& record, QWidget* parent)
    : CAdvancedPage(QStringLiteral("Overall"), record, parent)
{
    setObjectName(QStringLiteral("COverallPage"));
    auto* layout = new QVBoxLayout(this);
    m_noAssemble = addCheck(this, layout, "noAssemble", "-S (do not assemble)");
    m_preprocessOnly = addCheck(this, layout, "preprocessOnly", "-E (preprocess only)");
    m_debugInfo = addCheck(this, layout, "debugInfo", "-g (Generate Debug Info)");

    auto* box = new QGroupBox(QStringLiteral("-X (force language)"), this);
    box->setObjectName(QStringLiteral("languageBox"));
    m_language = makeRadios(this, "language",
                            {QStringLiteral("do not force"), QStringLiteral("c"),
                             QStringLiteral("objective-c"), QStringLiteral("c++"),
                             QStringLiteral("c-header"), QStringLiteral("cpp-output"),
                             QStringLiteral("c++-cpp-output"), QStringLiteral("assembler")});
    // Two columns; the value is the place in id order, not on screen:
    // left 0 1 2 3, right 5 6 7 and "c-header" (4) at the bottom.
    auto* grid = new QGridLayout(box);
    const int places[8][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {0, 1}, {1, 1}, {2, 1}};
    for (int value = 0; value < 8; ++value) {
        QAbstractButton* button = m_language->button(value);
        button->setParent(box);
        grid->addWidget(button, places[value][0], places[value][1]);
    }
    layout->addWidget(box);
    layout->addStretch();
    setDialogUnits(179, 132);
    DoDataExchange(false);
}

void COverallPage::DoDataExchange(bool save)
{
    ExchangeCheck(save, m_noAssemble, m_record.noAssemble);
    ExchangeCheck(save, m_preprocessOnly, m_record.preprocessOnly);
    ExchangeCheck(save, m_debugInfo, m_record.debugInfo);
    ExchangeRadio(save, m_language, m_record.language);
}

CCDialectPage::CCDialectPage(CompileOptions& record, QWidget* parent)
    : CAdvancedPage(QStringLiteral("C Dialect"), record, parent)
{
    setObjectName(QStringLiteral("CCDialectPage"));
    auto* layout = new QVBoxLayout(this);
    m_ansi = addCheck(this, layout, "ansi", "-ansi (ansi standard code only)");
    m_noAsm = addCheck(this, layout, "noAsm", "-fno-asm (no inline assembly)");
    m_traditional =
        addCheck(this, layout, "traditional", "-traditional (older compiler compatibility)");
    layout->addStretch();
    setDialogUnits(149, 57);
    DoDataExchange(false);
}

void CCDialectPage::DoDataExchange(bool save)
{
    ExchangeCheck(save, m_ansi, m_record.ansi);
    ExchangeCheck(save, m_noAsm, m_record.noAsm);
    ExchangeCheck(save, m_traditional, m_record.traditional);
}

CWarningPage::CWarningPage(CompileOptions& record, QWidget* parent)
    : CAdvancedPage(QStringLiteral("Warnings"), record, parent)
{
    setObjectName(QStringLiteral("CWarningPage"));
    m_warningLevel = makeRadios(this, "warningLevel",
                                {QStringLiteral("default warnings"),
                                 QStringLiteral("-w (no warnings)"),
                                 QStringLiteral("-Wall (warnings for uncommon mistakes)"),
                                 QStringLiteral("-W (warnings for tricky mistakes)"),
                                 QStringLiteral("-Werror (warnings as errors)")});
    stackRadios(m_warningLevel, this);
    setDialogUnits(149, 77);
    DoDataExchange(false);
}

void CWarningPage::DoDataExchange(bool save)
{
    ExchangeRadio(save, m_warningLevel, m_record.warningLevel);
}

COptimizePage::COptimizePage(CompileOptions& record, QWidget* parent)
    : CAdvancedPage(QStringLiteral("Optimization"), record, parent)
{
    setObjectName(QStringLiteral("COptimizePage"));
    m_optimizeLevel = makeRadios(this, "optimizeLevel",
                                 {QStringLiteral("no optimization"),
                                  QStringLiteral("-O1 (some optimization)"),
                                  QStringLiteral("-O2 (aggressive optimization)"),
                                  QStringLiteral("-O3 (very aggressive optimization)")});
    QVBoxLayout* layout = stackRadios(m_optimizeLevel, this);
    // Only advice: -g and an optimisation level may still be chosen together.
    auto* warning = new QLabel(QStringLiteral("Warning: optimizing options should not be used "
                                              "with the -g (debug info) option"),
                               this);
    warning->setObjectName(QStringLiteral("optimizeWarning"));
    warning->setWordWrap(true);
    layout->insertWidget(layout->count() - 1, warning);
    setDialogUnits(134, 82);
    DoDataExchange(false);
}

void COptimizePage::DoDataExchange(bool save)
{
    ExchangeRadio(save, m_optimizeLevel, m_record.optimizeLevel);
}

COtherPage::COtherPage(CompileOptions& record, QWidget* parent)
    : CAdvancedPage(QStringLiteral("Other"), record, parent)
{
    setObjectName(QStringLiteral("COtherPage"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(
        QStringLiteral("If you would like any other options passed to GCC, enter them here:"),
        this);
    label->setObjectName(QStringLiteral("otherLabel"));
    label->setWordWrap(true);
    layout->addWidget(label);
    m_otherOptions = new QLineEdit(this);
    m_otherOptions->setObjectName(QStringLiteral("otherOptions"));
    // No length limit (a line edit cuts at 32767 characters otherwise).
    m_otherOptions->setMaxLength(std::numeric_limits<int>::max());
    layout->addWidget(m_otherOptions);
    layout->addStretch();
    setDialogUnits(134, 52);
    DoDataExchange(false);
}

void COtherPage::DoDataExchange(bool save)
{
    if (save)
        m_record.otherOptions = m_otherOptions->text();
    else
        m_otherOptions->setText(m_record.otherOptions);
}
