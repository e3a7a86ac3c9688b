#include "editor/FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FindReplaceDialog::FindReplaceDialog(QWidget* parent)
    : QDialog(parent), m_findEdit(new QLineEdit), m_replaceLabel(new QLabel(tr("Re&place with:"))),
      m_replaceEdit(new QLineEdit), m_wholeWord(new QCheckBox(tr("Match &whole word only"))),
      m_matchCase(new QCheckBox(tr("Match &case"))), m_up(new QRadioButton(tr("&Up"))),
      m_down(new QRadioButton(tr("&Down"))), m_findNext(new QPushButton(tr("&Find Next"))),
      m_replace(new QPushButton(tr("&Replace"))), m_replaceAll(new QPushButton(tr("Replace &All")))
{
    setModal(false);
    auto* fields = new QGridLayout;
    auto* findLabel = new QLabel(tr("Fi&nd what:"));
    findLabel->setBuddy(m_findEdit);
    m_replaceLabel->setBuddy(m_replaceEdit);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findEdit, 0, 1);
    fields->addWidget(m_replaceLabel, 1, 0);
    fields->addWidget(m_replaceEdit, 1, 1);

    auto* direction = new QGroupBox(tr("Direction"));
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);
    m_down->setChecked(true);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(m_wholeWord);
    left->addWidget(m_matchCase);
    left->addWidget(direction);
    left->addStretch();

    auto* cancel = new QPushButton(tr("Cancel"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_replace);
    buttons->addWidget(m_replaceAll);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
    m_findNext->setDefault(true);

    connect(m_findEdit, &QLineEdit::textChanged, this, &FindReplaceDialog::updateButtons);
    connect(m_findNext, &QPushButton::clicked, this, [this] { emit findNextRequested(request()); });
    connect(m_replace, &QPushButton::clicked, this, [this] { emit replaceRequested(request()); });
    connect(m_replaceAll, &QPushButton::clicked, this, [this] { emit replaceAllRequested(request()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    updateButtons();
}

void FindReplaceDialog::present(bool replace, const FindRequest& request)
{
    m_replaceMode = replace;
    setWindowTitle(replace ? tr("Replace") : tr("Find"));
    m_replaceLabel->setVisible(replace);
    m_replaceEdit->setVisible(replace);
    m_replace->setVisible(replace);
    m_replaceAll->setVisible(replace);
    m_findEdit->setText(request.text);
    if (replace)
        m_replaceEdit->setText(request.replacement);
    m_matchCase->setChecked(request.matchCase);
    m_wholeWord->setChecked(request.wholeWord);
    (request.down ? m_down : m_up)->setChecked(true);
    updateButtons();
    show();
    raise();
    activateWindow();
    m_findEdit->setFocus();
    m_findEdit->selectAll();
}

FindRequest FindReplaceDialog::request() const
{
    FindRequest r;
    r.text = m_findEdit->text();
    r.replacement = m_replaceEdit->text();
    r.matchCase = m_matchCase->isChecked();
    r.wholeWord = m_wholeWord->isChecked();
    r.down = !m_up->isChecked();
    return r;
}

void FindReplaceDialog::updateButtons()
{
    const bool hasText = !m_findEdit->text().isEmpty();
    m_findNext->setEnabled(hasText);
    m_replace->setEnabled(hasText);
    m_replaceAll->setEnabled(hasText);
}
