// A 5 MB C source made ready in Tarn (opened through the document template
// as the command line opens it, shown in its window and its first screen
// painted, colouring on) against its floor: a bare QsciScintilla with
// QsciLexerCPP given the same bytes read from the same file, shown at the
// same size in a window already shown, and painted the same way. Two ways
// of painting: at once (QWidget::repaint), and by the event loop until the
// text is painted. Each is timed to the text's first paint and to when the
// event loop has nothing left to paint (a shown widget's own request to be
// painted included): the control is ready for a key then.
// Alternating, after one untimed run of each; medians of N runs (default
// 15) of each way, their ratio, and the load average. Run
// under xvfb-run or with QT_QPA_PLATFORM=offscreen.
// Usage: editor_open_floor_bench [runs] [megabytes]
#include "app/CChildFrame.h"
#include "BenchEditor.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/MdiMainFrame.h"
#include "resources/CommandIds.h"
#include "resources/TarnCommands.h"
#include "settings/IdeSettings.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {


// Counts the paints of a control's text area, and every request to paint
// anything (all objects: installed on the application).
class PaintWatch : public QObject {
public:
    int paints = 0;
    int requests = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Paint:
            ++paints;
            break;
        case QEvent::UpdateRequest:
        case QEvent::UpdateLater:
            ++requests;
            break;
        default:
            break;
        }
        return false;
    }
};

// Turns the event loop until a turn delivers no paint and no request to
// paint: what showing the control queued (Qt asks for a paint of every
// widget it shows, after the show) is painted too. A control is ready
// when its window has nothing left to paint.
void settle()
{
    PaintWatch watch;
    qApp->installEventFilter(&watch);
    for (int turn = 0; turn < 50; ++turn) {
        watch.paints = watch.requests = 0;
        QApplication::processEvents();
        if (watch.paints == 0 && watch.requests == 0)
            break;
    }
    qApp->removeEventFilter(&watch);
}

// When a run's text was first painted and when nothing was left to
// paint, in ms from its start.
struct Times {
    double firstPaint = 0;
    double settled = 0;
};

// Forced: the control painted at once (QWidget::repaint). Otherwise the
// event loop turns, as Tarn's own would, until the control's text has been
// painted once. Either way the event loop then turns until nothing is left
// to paint.
Times painted(QsciScintillaBase* control, bool forced, const QElapsedTimer& timer)
{
    Times times;
    if (forced) {
        control->repaint();
        times.firstPaint = timer.nsecsElapsed() / 1e6;
        settle();
        times.settled = timer.nsecsElapsed() / 1e6;
        return times;
    }
    PaintWatch watch;
    control->viewport()->installEventFilter(&watch);
    QElapsedTimer limit;
    limit.start();
    while (watch.paints == 0 && limit.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    times.firstPaint = timer.nsecsElapsed() / 1e6;
    control->viewport()->removeEventFilter(&watch);
    if (watch.paints == 0) {
        std::fprintf(stderr, "the text was not painted\n");
        std::exit(1);
    }
    settle();
    times.settled = timer.nsecsElapsed() / 1e6;
    return times;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const qint64 megabytes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.c"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(BenchCSource(megabytes * 1024 * 1024, 10)) < 0)
            return 1;
    }
    const qint64 fileSize = QFileInfo(path).size();

    IdeContext& tools = benchContext();
    IdeSettings settings = tools.settings();
    settings.editor.syntaxColouring = true;
    tools.setSettings(settings);
    BenchEditorWindow window(tools);
    fw::Application& app = window.app;
    QApplication::processEvents();

    QSize viewSize(800, 600);
    // Tarn: open, show, paint the first screen; the window closed after.
    auto tarnRun = [&](bool forced) {
        QElapsedTimer timer;
        timer.start();
        auto* doc = qobject_cast<CTarnDoc*>(app.openDocumentFile(path));
        if (!doc || !doc->sourceView())
            std::exit(1);
        const Times times = painted(doc->sourceView(), forced, timer);
        viewSize = doc->sourceView()->size();
        app.closeAllDocuments();
        // Gone for good, its timers with it, before the next run.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        return times;
    };
    // The floor: the same bytes from the same file into a bare control,
    // made in a shown window as Tarn's is in its main window.
    QWidget host;
    auto* hostLayout = new QVBoxLayout(&host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    host.show();
    QApplication::processEvents();
    auto bareRun = [&](bool forced) {
        QElapsedTimer timer;
        timer.start();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            std::exit(1);
        const QByteArray bytes = file.readAll();
        auto* control = new QsciScintilla(&host);
        control->setUtf8(true);
        control->setLexer(new QsciLexerCPP(control));
        control->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(bytes.size()),
                               bytes.constData());
        host.resize(viewSize);
        hostLayout->addWidget(control);
        control->show();
        const Times times = painted(control, forced, timer);
        delete control;
        QApplication::processEvents();
        return times;
    };

    const QByteArray loadBefore = loadAverage();
    struct Figures {
        std::vector<Times> tarn;
        std::vector<Times> bare;
    };
    Figures byMode[2];
    for (const bool forced : {true, false}) {
        Figures& figures = byMode[forced ? 0 : 1];
        tarnRun(forced);
        bareRun(forced);
        for (int run = 0; run < runs; ++run) {
            if (run % 2 == 0) {
                figures.tarn.push_back(tarnRun(forced));
                figures.bare.push_back(bareRun(forced));
            } else {
                figures.bare.push_back(bareRun(forced));
                figures.tarn.push_back(tarnRun(forced));
            }
        }
    }
    const QByteArray loadAfter = loadAverage();
    std::printf("%.1f MB C source, colouring on, window %dx%d, %d runs each (alternating)\n",
                fileSize / 1048576.0, viewSize.width(), viewSize.height(), runs);
    const char* const modes[] = {"painted at once (repaint)", "painted by the event loop"};
    for (int mode = 0; mode < 2; ++mode) {
        const Figures& figures = byMode[mode];
        std::printf(" %s:\n", modes[mode]);
        for (const bool settled : {false, true}) {
            auto pick = [settled](const std::vector<Times>& all) {
                std::vector<double> values;
                for (const Times& times : all)
                    values.push_back(settled ? times.settled : times.firstPaint);
                return values;
            };
            const std::vector<double> tarn = pick(figures.tarn);
            const std::vector<double> bare = pick(figures.bare);
            std::printf("  %s: Tarn median %.1f ms (best %.1f), bare QsciScintilla + QsciLexerCPP %.1f ms "
                        "(best %.1f): %.2fx\n",
                        settled ? "nothing left to paint" : "text first painted  ", median(tarn),
                        *std::min_element(tarn.begin(), tarn.end()), median(bare),
                        *std::min_element(bare.begin(), bare.end()), median(tarn) / median(bare));
        }
    }
    std::printf("  load average before: %s\n  load average after:  %s\n", loadBefore.constData(),
                loadAfter.constData());
    app.setMainFrame(nullptr);
    return 0;
}
