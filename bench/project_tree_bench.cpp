// RebuildTree of a generated project of 500 sources of about 2,000 lines
// each (100 functions and 3 quoted includes per source): median wall time
// of 5 runs of
//   1. the two scanner passes over sources already in memory (the floor),
//   2. the tree layout (reading each source twice and scanning it),
//   3. RebuildTree on a real project view (layout and 50,000 nodes).
// Run with QT_QPA_PLATFORM=offscreen or under xvfb-run.
#include "editor/SourceScanner.h"
#include "project/CProjectDoc.h"
#include "project/CProjectView.h"
#include "tools/ToolSession.h"
#include "project/ProjectSourceScan.h"
#include "project/ProjectTreeLayout.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kSources = 500;
constexpr int kFunctionsPerSource = 100;

QByteArray sourceText(int index)
{
    QByteArray text;
    text += "#include <stdio.h>\n#include \"common.h\"\n#include \"module" + QByteArray::number(index % 7)
            + ".h\"\n#include \"local" + QByteArray::number(index) + ".h\"\n\n";
    for (int f = 0; f < kFunctionsPerSource; ++f) {
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

double medianMs(const std::function<void()>& run)
{
    std::vector<qint64> ns;
    QElapsedTimer timer;
    for (int i = 0; i < 5; ++i) {
        timer.start();
        run();
        ns.push_back(timer.nsecsElapsed());
    }
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QStringList sources;
    std::vector<QByteArray> texts;
    qint64 bytes = 0, lines = 0;
    for (int i = 0; i < kSources; ++i) {
        const QString path = dir.filePath(QStringLiteral("src%1/file%2.c").arg(i % 10).arg(i));
        texts.push_back(sourceText(i));
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

    qint64 found = 0;
    const double scan = medianMs([&] {
        found = 0;
        for (const QByteArray& text : texts) {
            found += qint64(ScanDefinitions(text).size());
            found += ScanQuotedIncludes(text).size();
        }
    });
    ProjectTreeLayout layout;
    const double layOut = medianMs([&] {
        layout = LayOutProjectTree(sources, ScanFunctionNames, ScanQuotedIncludeNames);
    });

    CProjectDoc doc;
    doc.project().sources = sources;
    ToolSession tools;
    CProjectView view(tools);
    doc.addView(&view);
    view.resize(600, 400);
    view.show();
    const double rebuild = medianMs([&] {
        view.RebuildTree();
        QCoreApplication::processEvents();
    });
    int nodes = view.topLevelItemCount();
    for (int i = 0; i < view.topLevelItemCount(); ++i)
        nodes += view.topLevelItem(i)->childCount();
    doc.removeView(&view);

    std::printf("%d sources, %lld lines, %.1f MB; %lld definitions and includes found; %d nodes\n",
                kSources, static_cast<long long>(lines), bytes / 1e6,
                static_cast<long long>(found), nodes);
    std::printf("both scanner passes, in memory: median %.1f ms\n", scan);
    std::printf("tree layout (read twice + scan): median %.1f ms\n", layOut);
    std::printf("RebuildTree (layout + nodes):    median %.1f ms\n", rebuild);
    return layout.unreadable ? 1 : 0;
}
