// Build Source of a small C file: time from "Compile!" (the dialog's
// OnCompile) to the last row in the message window, against the same gcc
// arguments run directly, alternating, in the same run. Prints the medians
// of 15 runs each and the overhead.
#include "settings/IdeSettings.h"
#include "BenchContext.h"
#include "messages/CMessageView.h"
#include "singlefile/CSourceBuildDialog.h"
#include "singlefile/SingleFileCommands.h"
#include "tools/ToolSession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
    if (gcc.isEmpty()) {
        std::fprintf(stderr, "gcc is needed\n");
        return 1;
    }
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("hello.c"));
    QFile file(source);
    file.open(QIODevice::WriteOnly);
    file.write("#include <stdio.h>\nint main(void) { puts(\"hello\"); return 0; }\n");
    file.close();
    IdeContext& tools = benchContext();
    tools.setDirectory(dir.path());
    IdeSettings settings = benchContext().settings();
    settings.gccPath = gcc;
    settings.clearBeforeBuild = 1;
    benchContext().setSettings(settings);

    CMessageView view;
    view.resize(630, 200);
    view.show();
    view.installAsMessageSink(benchContext().messages());
    QApplication::processEvents();

    const QString exe = dir.filePath(QStringLiteral("hello.exe"));
    const ToolCommand command = BuildSourceCommand(gcc, source, 1, exe, {}, {});
    std::vector<double> direct, tarn;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(command.program(), command.arguments());
        process.waitForFinished(-1);
        process.readAllStandardError();
        direct.push_back(timer.nsecsElapsed() / 1e6);

        CSourceBuildDialog dialog(tools);
        dialog.sourcePath = source;
        dialog.OnInitDialog();
        timer.restart();
        dialog.OnCompile();
        QApplication::processEvents(); // the last row painted
        tarn.push_back(timer.nsecsElapsed() / 1e6);
        if (view.rowText(view.rowCount() - 2) != QStringLiteral("No warnings or errors recieved from gcc")) {
            std::fprintf(stderr, "unexpected rows\n");
            return 1;
        }
    }
    const double d = median(direct), t = median(tarn);
    std::printf("gcc run directly (median of 15):     %.1f ms\n", d);
    std::printf("Build Source, Compile! to last row:  %.1f ms\n", t);
    std::printf("overhead:                            %.1f ms\n", t - d);
    benchContext().messages().setSink(nullptr);
    return 0;
}
