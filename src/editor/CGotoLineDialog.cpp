#include "editor/CGotoLineDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CGotoLineDialog::CGotoLineDialog(QWidget* parent) : QDialog(parent), m_edit(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Go To Line"));
    m_edit->setObjectName(QStringLiteral("lineEdit"));
    auto* label = new QLabel(QStringLiteral("Enter line number to go to:"), this);
    label->setBuddy(m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CGotoLineDialog::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    setSizeGripEnabled(false);
}

void CGotoLineDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_edit->setFocus(Qt::OtherFocusReason);
}

void CGotoLineDialog::OnOK()
{
    lineText = m_edit->text();
    accept();
}
