// The floor of Tarn's start-up: a bare Qt Widgets main window with a menu
// bar, shown maximised as Tarn's is, that prints the same probe line at the
// same moment (app/StartupProbe.h). bench/startup_bench.sh runs it and
// tarn alternately under one Xvfb server.
#include "app/StartupProbe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"), &app, &QCoreApplication::quit);
    window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));
    if (QScreen* screen = window.screen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    if (qEnvironmentVariableIsSet("TARN_STARTUP_PROBE"))
        ReportStartupAndQuit();
    return app.exec();
}
