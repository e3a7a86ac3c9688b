#include "app/AppIdentity.h"

#include <QGuiApplication>

void setTarnIdentity()
{
    QGuiApplication::setApplicationName(QStringLiteral("Tarn"));
    QGuiApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tarn"));
}
