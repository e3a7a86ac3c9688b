// A 50 MB C source opened and shown in a source window with colouring off
// and on (the View menu's Syntax Colouring, line numbers on in both), and
// Ctrl+End in it: wall time of each, best of three runs of each mode,
// alternating so both see the same machine. Run under xvfb-run or with
// QT_QPA_PLATFORM=offscreen.
#include "settings/IdeSettings.h"
#include "editor/CTarnView.h"

#include <Qsci/qscicommand.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// C functions; every `everyIfZero`-th one holds an "#if 0" block (0: none).
QByteArray bigSource(qint64 size, int everyIfZero)
{
    const QByteArray head = "/* A function of the benchmark source. */\n"
                            "static int function_body(int argument, const char* text)\n"
                            "{\n"
                            "\tint total = 0;\n";
    const QByteArray leftOut = "#if 0\n"
                               "\ttotal = -1; /* left out */\n"
                               "#endif\n";
    const QByteArray tail = "\tfor (int i = 0; i < argument; ++i) {\n"
                            "\t\tif (text[i] == '\\n')\n"
                            "\t\t\ttotal += i * 3; // count the lines\n"
                            "\t}\n"
                            "\treturn total;\n"
                            "}\n\n";
    QByteArray bytes;
    bytes.reserve(size + 1024);
    for (int n = 0; bytes.size() < size; ++n) {
        bytes += head;
        if (everyIfZero > 0 && n % everyIfZero == 0)
            bytes += leftOut;
        bytes += tail;
    }
    return bytes;
}

struct Times {
    double open = 1e9;
    double end = 1e9;
};

// Loads the text into a fresh window and paints its first screen, then
// goes to the end (as Ctrl+End does) and paints that screen.
void measure(const QByteArray& bytes, bool colouring, Times& best)
{
    IdeSettings settings = ideSettings();
    settings.editor.syntaxColouring = colouring;
    settings.editor.lineNumbers = true;
    setIdeSettings(settings);
    CTarnView view;
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    view.applyEditorSwitches();
    view.loadText(bytes);
    view.repaint();
    QApplication::processEvents();
    best.open = std::min(best.open, timer.nsecsElapsed() / 1e9);
    timer.restart();
    view.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    view.repaint();
    QApplication::processEvents();
    best.end = std::min(best.end, timer.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Every function with an "#if 0" block, and one in ten (closer to
    // ordinary code): the preprocessor tracking that greys such blocks is
    // part of the styling cost.
    for (const int every : {1, 10}) {
        const QByteArray bytes = bigSource(50LL * 1024 * 1024, every);
        Times off;
        Times on;
        for (int run = 0; run < 3; ++run) {
            measure(bytes, false, off);
            measure(bytes, true, on);
        }
        std::printf("%.1f MB, \"#if 0\" in 1 of %d functions\n", bytes.size() / 1048576.0, every);
        std::printf("  open and show       colouring off %.3f s, on %.3f s (%.2fx)\n", off.open,
                    on.open, on.open / off.open);
        std::printf("  Ctrl+End and paint  colouring off %.3f s, on %.3f s\n", off.end, on.end);
    }
    return 0;
}
