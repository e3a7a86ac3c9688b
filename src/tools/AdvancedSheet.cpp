#include "tools/AdvancedSheet.h"

#include "tools/AdvancedPages.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

CAdvancedSheet::CAdvancedSheet(const CompileOptions& options, QWidget* parent)
    : QDialog(parent), m_options(options)
{
    setObjectName(QStringLiteral("CAdvancedSheet"));
    setWindowTitle(QStringLiteral("Advanced Options"));
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pages"));
    m_pages = {new COverallPage(m_options), new CCDialectPage(m_options),
               new CWarningPage(m_options), new COptimizePage(m_options),
               new COtherPage(m_options)};
    for (CAdvancedPage* page : m_pages)
        m_tabs->addTab(page, page->title());
    // Every tab shows, whatever the font: the tab bar asks for its whole
    // width instead of scrolling (the pages alone are narrower, and
    // "Other", where options are typed, would hide behind the arrows).
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setElideMode(Qt::ElideNone);
    m_tabs->setCurrentIndex(0);
    m_pages[0]->markOpened();
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && index < int(m_pages.size()))
            m_pages[index]->markOpened();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

void CAdvancedSheet::accept()
{
    for (CAdvancedPage* page : m_pages)
        page->OnOK();
    QDialog::accept();
}

bool EditCompileOptions(QWidget* parent, CompileOptions& options)
{
    CAdvancedSheet sheet(options, parent);
    if (sheet.exec() != QDialog::Accepted)
        return false;
    options = sheet.options();
    return true;
}
