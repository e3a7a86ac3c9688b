#include "app/CTarnApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarn"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarn"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QApplication::setDesktopFileName(QStringLiteral("tarn"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    CTarnApp tarn;
    if (!tarn.InitInstance(arguments))
        return 1;
    return app.exec();
}
