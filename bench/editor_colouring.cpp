// A 50 MB C source opened and shown in a source window with colouring off
// and on (the View menu's Syntax Colouring, line numbers on in both), and
// Ctrl+End in it: wall time of each, best of three runs of each mode,
// alternating so both see the same machine; the thread's CPU time beside
// it, as the machine may be shared. Then the styling alone, of the whole
// text in a control not shown: QScintilla's C++ lexer (with "#if" tracking,
// as Tarn used it) against Tarn's CSourceLexer. Run under xvfb-run or with
// QT_QPA_PLATFORM=offscreen.
#include "settings/IdeSettings.h"
#include "BenchEditor.h"
#include "editor/CSourceLexer.h"
#include "editor/CTarnView.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscilexercpp.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {


// Wall and CPU time of this thread since start().
struct Clock {
    QElapsedTimer wall;
    double cpu0 = 0;
    static double cpuNow()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
    }
    void start()
    {
        wall.start();
        cpu0 = cpuNow();
    }
    double wallSeconds() const { return double(wall.nsecsElapsed()) / 1e9; }
    double cpuSeconds() const { return cpuNow() - cpu0; }
};

struct Best {
    double wall = 1e9;
    double cpu = 1e9;
    void take(const Clock& clock)
    {
        wall = std::min(wall, clock.wallSeconds());
        cpu = std::min(cpu, clock.cpuSeconds());
    }
};

struct Times {
    Best open;
    Best end;
    // Right after the file shows: a first key at the start of the text,
    // and after Ctrl+End and 0.3 s a key at the end.
    Best firstKeyAtOnce;
    Best keyAtEnd;
    // Colouring on, the user pausing 1.5 s after the file shows: Ctrl+End,
    // then a first key at the start of the text; the longest time between
    // two ticks of a 1 ms timer during the pause (the idle styling's
    // slices).
    Best endAfterPause;
    Best firstKey;
    double longestGapMs = 0;
};

// Syntax colouring on or off, line numbers on.
void useSwitches(bool colouring)
{
    IdeSettings settings = benchContext().settings();
    settings.editor.syntaxColouring = colouring;
    settings.editor.lineNumbers = true;
    benchContext().setSettings(settings);
}

void showEmpty(CTarnView& view)
{
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
}

// The text loaded into the shown window and its first screen painted.
void openIn(CTarnView& view, const QByteArray& bytes)
{
    view.applyEditorSwitches();
    view.loadText(bytes);
    view.repaint();
    QApplication::processEvents();
}

// A key typed in the window, to its screen painted.
void typeKey(CTarnView& view, Best& best)
{
    Clock clock;
    clock.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(&view, &press);
    view.repaint();
    QApplication::processEvents();
    best.take(clock);
}

// Loads the text into a fresh window and paints its first screen, types a
// key at the start, then goes to the end (as Ctrl+End does), paints that
// screen and types a key there.
void measure(const QByteArray& bytes, bool colouring, Times& best)
{
    useSwitches(colouring);
    CTarnView view(benchContext());
    showEmpty(view);
    Clock clock;
    clock.start();
    openIn(view, bytes);
    best.open.take(clock);
    typeKey(view, best.firstKeyAtOnce);
    clock.start();
    view.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    view.repaint();
    QApplication::processEvents();
    best.end.take(clock);
    // A user's pause before typing there.
    QElapsedTimer pause;
    pause.start();
    while (pause.elapsed() < 300)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    typeKey(view, best.keyAtEnd);
}

void measureAfterPause(const QByteArray& bytes, Times& best)
{
    useSwitches(true);
    CTarnView view(benchContext());
    showEmpty(view);
    openIn(view, bytes);
    QElapsedTimer pause;
    pause.start();
    QElapsedTimer tick;
    tick.start();
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, tick.nsecsElapsed());
        tick.start();
    });
    ticker.start(1);
    while (pause.elapsed() < 1500)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    ticker.stop();
    best.longestGapMs = std::max(best.longestGapMs, double(longest) / 1e6);
    Clock clock;
    clock.start();
    view.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    view.repaint();
    QApplication::processEvents();
    best.endAfterPause.take(clock);
    view.SendScintilla(QsciScintillaBase::SCI_DOCUMENTSTART);
    view.repaint();
    QApplication::processEvents();
    typeKey(view, best.firstKey);
}

// Styles the whole text with `lexer` in a control that is not shown.
void styleAlone(const QByteArray& bytes, QsciLexer* lexer, Best& best)
{
    QsciScintilla control;
    control.setUtf8(true);
    control.setLexer(lexer);
    if (!qobject_cast<CSourceLexer*>(lexer)) {
        control.SendScintilla(QsciScintillaBase::SCI_SETPROPERTY, "lexer.cpp.track.preprocessor", "1");
        control.SendScintilla(QsciScintillaBase::SCI_SETPROPERTY, "lexer.cpp.update.preprocessor", "1");
    }
    control.SendScintilla(QsciScintillaBase::SCI_SETPROPERTY, "fold", "0");
    control.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()),
                          bytes.constData());
    Clock clock;
    clock.start();
    control.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    best.take(clock);
    control.setLexer(nullptr);
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
        const QByteArray bytes = BenchCSource(50LL * 1024 * 1024, every);
        Times off;
        Times on;
        for (int run = 0; run < 3; ++run) {
            measure(bytes, false, off);
            measure(bytes, true, on);
            measureAfterPause(bytes, on);
        }
        Best reference;
        Best tarn;
        for (int run = 0; run < 3; ++run) {
            QsciLexerCPP qscintillaLexer;
            styleAlone(bytes, &qscintillaLexer, reference);
            CSourceLexer tarnLexer;
            styleAlone(bytes, &tarnLexer, tarn);
        }
        const double mb = bytes.size() / 1048576.0;
        std::printf("%.1f MB, \"#if 0\" in 1 of %d functions (wall time; thread CPU time in brackets)\n", mb, every);
        std::printf("  open and show       colouring off %.3f s (%.3f), on %.3f s (%.3f): %.2fx\n", off.open.wall,
                    off.open.cpu, on.open.wall, on.open.cpu, on.open.wall / off.open.wall);
        std::printf("  first key at once   colouring off %.3f s (%.3f), on %.3f s (%.3f)\n", off.firstKeyAtOnce.wall,
                    off.firstKeyAtOnce.cpu, on.firstKeyAtOnce.wall, on.firstKeyAtOnce.cpu);
        std::printf("  Ctrl+End and paint  colouring off %.3f s (%.3f), on %.3f s (%.3f): %.2fx\n", off.end.wall,
                    off.end.cpu, on.end.wall, on.end.cpu, on.end.wall / off.end.wall);
        std::printf("  0.3 s later a key   colouring off %.3f s (%.3f), on %.3f s (%.3f)\n", off.keyAtEnd.wall,
                    off.keyAtEnd.cpu, on.keyAtEnd.wall, on.keyAtEnd.cpu);
        std::printf("  after a 1.5 s pause Ctrl+End %.3f s (%.3f), then a first key at the start %.3f s (%.3f); "
                    "longest gap in the pause %.1f ms\n",
                    on.endAfterPause.wall, on.endAfterPause.cpu, on.firstKey.wall, on.firstKey.cpu, on.longestGapMs);
        std::printf("  styling alone       QScintilla's lexer %.3f s (%.3f), %.0f MB/s of CPU; "
                    "Tarn's %.3f s (%.3f), %.0f MB/s of CPU: %.1fx\n",
                    reference.wall, reference.cpu, mb / reference.cpu, tarn.wall, tarn.cpu, mb / tarn.cpu,
                    reference.cpu / tarn.cpu);
    }
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (loadavg.open(QIODevice::ReadOnly))
        std::printf("load average: %s", loadavg.readAll().constData());
    return 0;
}
