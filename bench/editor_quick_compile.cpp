// Quick Compile of a small file, from the command to the last message row,
// against running the same gcc command line directly with QProcess.
#include "app/CChildFrame.h"
#include "BenchEditor.h"
#include "tools/ToolSession.h"
#include "settings/IdeSettings.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "framework/Application.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"
#include "framework/MdiMainFrame.h"
#include "messages/MessageSink.h"
#include "resources/CommandIds.h"
#include "resources/TarnCommands.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class CountingSink : public MessageSink, public QObject {
public:
    void AppendLine(const QString&, int) override { ++rows; }
    void ClearMessageRows() override {}
    QObject* sinkObject() override { return this; }
    int rows = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const QString gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
    if (gcc.isEmpty())
        return 1;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString path = dir.filePath(QStringLiteral("small.c"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("int f(void)\n{\n    return undeclared;\n}\n");
    file.close();

    IdeSettings settings = benchContext().settings();
    settings.gccPath = gcc;
    benchContext().setSettings(settings);
    CountingSink sink;
    benchContext().messages().setSink(&sink);

    IdeContext& tools = benchContext();
    BenchEditorWindow window(tools);
    fw::Application& app = window.app;
    fw::MdiMainFrame& main = window.main;
    if (!app.openDocumentFile(path))
        return 1;

    const int runs = 15;
    std::vector<double> ide;
    std::vector<double> direct;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        main.router()->execute(cmd::QuickCompile);
        ide.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        QProcess process;
        process.start(gcc, {path, QStringLiteral("-c")});
        process.waitForFinished(-1);
        process.readAllStandardError();
        direct.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double ideMs = median(ide);
    const double directMs = median(direct);
    std::printf("runs                 %d (medians), %d rows shown\n", runs, sink.rows);
    std::printf("Quick Compile        %.1f ms\n", ideMs);
    std::printf("gcc run directly     %.1f ms\n", directMs);
    std::printf("IDE overhead         %.1f ms\n", ideMs - directMs);
    benchContext().messages().setSink(nullptr);
    app.closeAllDocuments();
    app.setMainFrame(nullptr);
    return 0;
}
