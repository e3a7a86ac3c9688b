// Latency of Enter with both typing rules on, in a 1,000,000-line LF source
// in a real source view: 100 keystrokes at the end of the text and 100 in
// the middle, each timed from the key press until its events are handled.
// Median and worst, with and without a first keystroke that fills the
// view's line caches. Run under xvfb-run or with QT_QPA_PLATFORM=offscreen.
#include "app/CChildFrame.h"
#include "BenchEditor.h"
#include "tools/ToolSession.h"
#include "settings/IdeSettings.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "editor/ScintillaEditControl.h"
#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/MdiMainFrame.h"
#include "resources/CommandIds.h"
#include "resources/TarnCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool writeSource(const QString& path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    text.reserve(lines * 20);
    for (int i = 0; i < lines; ++i)
        text += i % 4 == 0 ? "int f(int a)\n" : i % 4 == 1 ? "{\n" : i % 4 == 2 ? "\treturn g(a,\n" : "}\n";
    return file.write(text) == text.size();
}

double pressEnter(CTarnView* view)
{
    QElapsedTimer timer;
    timer.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(view, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(view, &release);
    QApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

void report(const char* where, std::vector<double> ms)
{
    const double first = ms.front();
    const double worstLater = *std::max_element(ms.begin() + 1, ms.end());
    std::sort(ms.begin(), ms.end());
    std::printf("%-8s median %6.3f ms  worst %7.3f ms  (first keystroke %7.3f ms, worst of the rest %7.3f ms)\n",
                where, ms[ms.size() / 2], ms.back(), first, worstLater);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const int lines = 1000000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.c"));
    if (!writeSource(path, lines))
        return 1;

    IdeContext& tools = benchContext();
    BenchEditorWindow window(tools);
    fw::Application& app = window.app;
    // TARN_RULES_OFF=1 measures the control alone, for comparison.
    const int rules = qEnvironmentVariableIntValue("TARN_RULES_OFF") ? 0 : 1;
    IdeSettings settings = benchContext().settings();
    settings.keepLevelAfterSemicolon = rules;
    settings.moveBraces = rules;
    benchContext().setSettings(settings);
    std::printf("typing rules %s\n", rules ? "on" : "off");

    auto* doc = qobject_cast<CTarnDoc*>(app.openDocumentFile(path));
    if (!doc)
        return 1;
    CTarnView* view = doc->sourceView();
    view->setFocus();
    QApplication::processEvents();

    struct Place {
        const char* name;
        int line;
    };
    // The end of the text, and the end of "\treturn g(a," in the middle
    // (Enter there goes one level deeper).
    for (const Place place : {Place{"end", lines}, Place{"middle", lines / 2 + 2}}) {
        const long position = view->editControl().lineIndex(place.line) + view->editControl().lineLength(place.line);
        view->editControl().setSelection(position, position);
        view->SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
        QApplication::processEvents();
        std::vector<double> ms;
        for (int i = 0; i < 100; ++i)
            ms.push_back(pressEnter(view));
        report(place.name, ms);
    }
    doc->setModified(false);
    return 0;
}
