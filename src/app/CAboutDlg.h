#pragma once

#include <QDialog>

// The About box: a picture, the version text, a copyright notice and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static QString versionText() { return QStringLiteral("Tarn Version 3.4"); }
    static QString copyrightText();
};
