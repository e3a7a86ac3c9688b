// The project tree of a generated project of 500 sources (or the number
// given) of about 2,000 lines each, or of about 600 with the argument
// "short" (100 functions and 3 quoted includes per source either way,
// about 51,000 nodes in all for 500). Median (and worst) of 5 runs of
//   1. the scan of sources already in memory, definitions and includes in
//      one pass as the tree's worker does (the floor),
//   2. opening: a new project view on the project, shown,
//   3. rebuilding a filled tree, as after a save of the project,
// each measured from the moment it is asked for until the tree is complete,
// with the longest gap between ticks of a 1 ms timer meanwhile: the longest
// time the interface could not paint or take input. On a busy machine that
// gap also holds the time other processes had the processor, so the most
// processor time the interface thread itself used between two ticks is
// given too ("work"). Then the view is closed: the longest gap in the half
// second after.
// Run with QT_QPA_PLATFORM=offscreen or under xvfb-run; run it on an idle
// machine and again with other work running (e.g. a build).
#include "editor/SourceScanner.h"
#include "BenchContext.h"
#include "project/CProjectDoc.h"
#include "project/CProjectView.h"
#include "tools/ToolSession.h"
#include "project/ProjectTreeLayout.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kFunctionsPerSource = 100;
constexpr int kRuns = 5;

QByteArray sourceText(int index, bool shortFunctions)
{
    QByteArray text;
    text += "#include <stdio.h>\n#include \"common.h\"\n#include \"module" + QByteArray::number(index % 7)
            + ".h\"\n#include \"local" + QByteArray::number(index) + ".h\"\n\n";
    for (int f = 0; f < kFunctionsPerSource; ++f) {
        if (shortFunctions) {
            text += "/* Function " + QByteArray::number(f) + " doubles its argument. */\n"
                    "static int function_" + QByteArray::number(f) + "(int argument)\n"
                    "{\n"
                    "\treturn argument * 2; // twice\n"
                    "}\n\n";
            continue;
        }
        text += "/* Function " + QByteArray::number(f) + " adds up the lines of a text. */\n"
                "static int function_" + QByteArray::number(f) + "(int argument, const char* text)\n"
                "{\n"
                "\tint total = 0;\n"
                "\tfor (int i = 0; i < argument; ++i) {\n"
                "\t\tif (text[i] == '\\n')\n"
                "\t\t\ttotal += i * 3; // count the lines\n"
                "\t\telse if (text[i] == '\\t')\n"
                "\t\t\ttotal -= 1;\n"
                "\t}\n"
                "\tprintf(\"%d\\n\", total);\n"
                "\tswitch (total) {\n"
                "\tcase 0: return 0;\n"
                "\tdefault: break;\n"
                "\t}\n"
                "\twhile (total > 100)\n"
                "\t\ttotal /= 2;\n"
                "\treturn total;\n"
                "}\n\n";
    }
    return text;
}

class Found : public SourceScanReceiver {
public:
    void definitionFound(const ScannedDefinition&) override { ++definitions; }
    void includeFound(const QByteArray& name) override { includes << name; }
    qint64 definitions = 0;
    QByteArrayList includes;
};

struct Figures {
    double completeMs = 0; // asked for until the tree is complete
    double longestGapMs = 0; // longest interval between 1 ms timer ticks
    double longestWorkMs = 0; // most thread processor time between two ticks
    double totalWorkMs = 0; // thread processor time until the tree is complete
};

// Processor time of the calling thread.
qint64 threadNanoseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// The node counts of the complete tree: one per source, its functions, the
// "Dependancies" node and the distinct included files. A node's children
// are made when it is opened: the tree is complete when the fill is over
// and every top-level node is there.
struct Shape {
    int topLevel = 0;
    qint64 children = 0;

    bool isShownBy(const CProjectView& view) const
    {
        return !view.isFilling() && view.topLevelItemCount() == topLevel
               && view.topLevelItem(topLevel - 1)->text(0) == kDependenciesNodeText;
    }
};

// Runs `start` from the event loop and lets the loop run until the view
// shows the complete tree and 200 ms more (or, without a view, for half a
// second), timing it and recording the longest gap between ticks of a 1 ms
// timer.
Figures measure(const std::function<CProjectView*()>& start, const Shape& shape)
{
    bool viewless = false;
    Figures figures;
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 lastWork = 0;
    qint64 firstWork = 0;
    qint64 settledBy = 0;
    CProjectView* view = nullptr;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        figures.longestGapMs = std::max(figures.longestGapMs, (now - lastTick) / 1e6);
        lastTick = now;
        const qint64 work = threadNanoseconds();
        figures.longestWorkMs = std::max(figures.longestWorkMs, (work - lastWork) / 1e6);
        lastWork = work;
        if (settledBy == 0 && view && shape.isShownBy(*view)) {
            figures.completeMs = now / 1e6;
            figures.totalWorkMs = (work - firstWork) / 1e6;
            // What the complete tree sets off (fitting the column to the
            // texts, painting) counts towards the longest gap too.
            settledBy = now + 200'000'000;
        }
        if ((settledBy != 0 && now > settledBy) || (viewless && now > 500'000'000))
            loop.quit();
    });
    QTimer::singleShot(30000, &loop, [&] {
        std::fprintf(stderr, "the tree was not complete after 30 s\n");
        loop.quit();
    });
    QTimer::singleShot(0, &loop, [&] {
        clock.start();
        lastTick = 0;
        lastWork = firstWork = threadNanoseconds();
        view = start();
        viewless = !view;
    });
    ticks.start();
    loop.exec();
    return figures;
}

struct Summary {
    double median = 0;
    double worst = 0;
};

Summary summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

void report(const char* what, const std::vector<Figures>& runs)
{
    std::vector<double> complete, gap, work, total;
    for (const Figures& f : runs) {
        complete.push_back(f.completeMs);
        gap.push_back(f.longestGapMs);
        work.push_back(f.longestWorkMs);
        total.push_back(f.totalWorkMs);
    }
    const Summary c = summarise(complete), g = summarise(gap), w = summarise(work),
                  t = summarise(total);
    std::printf("%s\n  complete tree: median %6.1f ms (worst %6.1f); interface thread's work "
                "meanwhile: median %6.1f ms\n"
                "  longest event-loop gap: median %6.1f ms (worst %6.1f); work: median %6.1f ms "
                "(worst %6.1f)\n",
                what, c.median, c.worst, t.median, g.median, g.worst, w.median, w.worst);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // "short" and a number of sources, in either order.
    bool shortFunctions = false;
    int sourceCount = 500;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "short")
            shortFunctions = true;
        else if (QByteArray(argv[i]).toInt() > 0)
            sourceCount = QByteArray(argv[i]).toInt();
    }
    QTemporaryDir dir;
    QStringList sources;
    std::vector<QByteArray> texts;
    qint64 bytes = 0, lines = 0;
    for (int i = 0; i < sourceCount; ++i) {
        const QString path = dir.filePath(QStringLiteral("src%1/file%2.c").arg(i % 10).arg(i));
        texts.push_back(sourceText(i, shortFunctions));
        bytes += texts.back().size();
        lines += texts.back().count('\n');
        QFile file(path);
        if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly)
            || file.write(texts.back()) != texts.back().size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        sources << path;
    }

    // The floor: both scans of every source, in memory.
    Shape shape;
    shape.topLevel = sourceCount + 1;
    std::vector<double> scans;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        qint64 definitions = 0;
        QSet<QString> included;
        for (int i = 0; i < sourceCount; ++i) {
            Found found;
            ScanDefinitionsAndQuotedIncludes(texts[size_t(i)], found);
            definitions += found.definitions;
            for (const QByteArray& name : found.includes)
                included.insert(QFileInfo(sources[i]).path() + QLatin1Char('/') + QString::fromUtf8(name));
        }
        scans.push_back(timer.nsecsElapsed() / 1e6);
        shape.children = definitions + included.size();
    }

    // The document deletes itself when its last view goes: a view that is
    // never filled keeps it while the measured views come and go.
    auto* doc = new CProjectDoc;
    doc->project().sources = sources;
    IdeContext& tools = benchContext();
    CProjectView anchor(tools);
    doc->addView(&anchor);
    std::vector<Figures> opens, rebuilds;
    std::unique_ptr<CProjectView> view;
    for (int run = 0; run < kRuns; ++run) {
        if (view)
            doc->removeView(view.get());
        view.reset();
        opens.push_back(measure(
            [&] {
                view = std::make_unique<CProjectView>(tools);
                doc->addView(view.get());
                view->resize(600, 400);
                view->onInitialUpdate();
                view->show();
                return view.get();
            },
            shape));
    }
    for (int run = 0; run < kRuns; ++run) {
        rebuilds.push_back(measure(
            [&] {
                view->RebuildTree();
                return view.get();
            },
            shape));
    }
    const Figures closing = measure(
        [&]() -> CProjectView* {
            doc->removeView(view.get());
            view.reset();
            return nullptr;
        },
        shape);
    doc->removeView(&anchor);

    std::printf("%d sources, %lld lines, %.1f MB; %d top-level and %lld other nodes\n", sourceCount,
                static_cast<long long>(lines), bytes / 1e6, shape.topLevel,
                static_cast<long long>(shape.children));
    std::printf("scan of every source in memory, one pass: median %.1f ms\n", summarise(scans).median);
    report("open (new view, shown):", opens);
    report("rebuild of a filled tree:", rebuilds);
    std::printf("closing the view with its tree\n  longest event-loop gap %.1f ms; work %.1f ms\n",
                closing.longestGapMs, closing.longestWorkMs);
    return 0;
}
