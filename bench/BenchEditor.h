#pragma once

// What the editor benches share: a large C source, and Tarn's main window
// with the source template as the application sets it up.
#include "BenchContext.h"
#include "app/CChildFrame.h"
#include "editor/CTarnDoc.h"
#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/MdiMainFrame.h"
#include "resources/CommandIds.h"
#include "resources/TarnCommands.h"

#include <QByteArray>

#include <memory>

// C functions of about 250 bytes, to at least `size` bytes; every
// `everyIfZero`-th holds an "#if 0" block (0: none).
inline QByteArray BenchCSource(qint64 size, int everyIfZero)
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

// The main window (1000 x 700) opening C sources in source windows, shown.
struct BenchEditorWindow {
    explicit BenchEditorWindow(IdeContext& tools) : main(&tarnCommandTable())
    {
        main.setDefaultMenuResource(menu::MainFrame);
        main.resize(1000, 700);
        app.setMainFrame(&main);
        app.addDocTemplate(std::make_unique<fw::DocTemplate>(
            menu::Source, QStringLiteral("\nTarn\nSource File\nC Files (*.c)\n.c\n\n"),
            fw::DocTemplate::Factories{[] { return new CTarnDoc; },
                                       [&tools](fw::Document* d) { return CChildFrame::create(d, tools); }}));
        main.show();
    }

    fw::Application app{QStringLiteral("Tarn Bench"), QStringLiteral("Tarn"), 2};
    fw::MdiMainFrame main;
};
