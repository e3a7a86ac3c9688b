// Opens and shows a 50 MB C source in a source window, then saves it
// unchanged and types a key at the top: wall time of each step and the
// peak memory the open added, relative to the file size. Run under xvfb-run or with
// QT_QPA_PLATFORM=offscreen.
#include "app/CChildFrame.h"
#include "BenchEditor.h"
#include "tools/ToolSession.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "editor/SourceText.h"
#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/MdiMainFrame.h"
#include "resources/CommandIds.h"
#include "resources/TarnCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool writeSource(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray chunk =
        "/* A function of the benchmark source. */\n"
        "static int function_body(int argument, const char* text)\n"
        "{\n"
        "\tint total = 0;\n"
        "\tfor (int i = 0; i < argument; ++i) {\n"
        "\t\tif (text[i] == '\\n')\n"
        "\t\t\ttotal += i * 3; // count the lines\n"
        "\t}\n"
        "\treturn total;\n"
        "}\n\n";
    qint64 written = 0;
    while (written < size)
        written += file.write(chunk);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const qint64 size = 50LL * 1024 * 1024;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.c"));
    if (!writeSource(path, size))
        return 1;
    const qint64 fileSize = QFileInfo(path).size();

    IdeContext& tools = benchContext();
    BenchEditorWindow window(tools);
    fw::Application& app = window.app;
    QApplication::processEvents();

    const long before = peakKilobytes();
    QElapsedTimer timer;
    timer.start();
    auto* doc = qobject_cast<CTarnDoc*>(app.openDocumentFile(path));
    if (!doc)
        return 1;
    doc->sourceView()->repaint(); // shown: the first screen is painted
    QApplication::processEvents();
    const double openSeconds = timer.nsecsElapsed() / 1e9;
    const long after = peakKilobytes();

    timer.restart();
    const bool saved = doc->doFileSave();
    const double saveSeconds = timer.nsecsElapsed() / 1e9;
    // A key at the caret (the top) right after: it waits for whatever the
    // save moved in the edit control.
    timer.restart();
    doc->sourceView()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1UL, "x");
    const double keySeconds = timer.nsecsElapsed() / 1e9;

    std::printf("file size           %.1f MB\n", fileSize / 1048576.0);
    std::printf("open and show       %.3f s\n", openSeconds);
    std::printf("save unchanged      %.3f s (%s)\n", saveSeconds, saved ? "ok" : "FAILED");
    std::printf("a key at the top right after the save: %.1f ms\n", keySeconds * 1e3);
    std::printf("peak memory added   %.1f MB = %.2f x the file\n", (after - before) / 1024.0,
                (after - before) * 1024.0 / double(fileSize));

    // Where the open's time goes: the same steps one by one on a bare view.
    timer.restart();
    QFile raw(path);
    raw.open(QIODevice::ReadOnly);
    QByteArray bytes = raw.readAll();
    const double readSeconds = timer.nsecsElapsed() / 1e9;
    timer.restart();
    const bool utf8 = sourcetext::isValidUtf8(bytes);
    const double scanSeconds = timer.nsecsElapsed() / 1e9;
    CTarnView bare(benchContext());
    bare.resize(800, 600);
    bare.show();
    QApplication::processEvents();
    timer.restart();
    bare.loadText(bytes);
    const double loadSeconds = timer.nsecsElapsed() / 1e9;
    timer.restart();
    bare.repaint();
    const double paintSeconds = timer.nsecsElapsed() / 1e9;
    std::printf("  read %.3f s, UTF-8 scan %.3f s (%s), load into the control %.3f s, first paint %.3f s\n",
                readSeconds, scanSeconds, utf8 ? "valid" : "8-bit", loadSeconds, paintSeconds);

    // For comparison: a bare control without a lexer, same bytes.
    QsciScintilla plain;
    plain.resize(800, 600);
    plain.show();
    QApplication::processEvents();
    timer.restart();
    plain.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()),
                        bytes.constData());
    plain.repaint();
    std::printf("  bare QsciScintilla, no lexer: append and paint %.3f s\n", timer.nsecsElapsed() / 1e9);

    app.closeAllDocuments();
    app.setMainFrame(nullptr);
    return saved ? 0 : 1;
}
