#include "app/CAboutDlg.h"

#include "app/TarnIcons.h"

#include <QLabel>
#include <QPushButton>

namespace {
// Dialog units of the box's layout, turned into pixels for a common font
// (one horizontal unit is a quarter, one vertical unit an eighth of the
// font's average character box).
QRect dialogUnits(const QFontMetrics& fm, int x, int y, int w, int h)
{
    const int cx = fm.averageCharWidth();
    const int cy = fm.height();
    return QRect(x * cx / 4, y * cy / 8, w * cx / 4, h * cy / 8);
}
} // namespace

QString CAboutDlg::copyrightText()
{
    return QStringLiteral("Copyright (C) 2026 the Tarn developers");
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Tarn"));
    const QFontMetrics fm(font());
    setFixedSize(dialogUnits(fm, 0, 0, 249, 177).size());

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    const QRect pictureRect = dialogUnits(fm, 10, 15, 180, 108);
    picture->setGeometry(pictureRect);
    picture->setPixmap(tarnLogo(pictureRect.size()));

    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("version"));
    version->setGeometry(dialogUnits(fm, 65, 155, 180, 10));

    auto* copyright = new QLabel(copyrightText(), this);
    copyright->setObjectName(QStringLiteral("copyright"));
    copyright->setGeometry(dialogUnits(fm, 65, 165, 180, 10));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setGeometry(dialogUnits(fm, 10, 155, 50, 20));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
