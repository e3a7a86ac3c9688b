#pragma once

// A main window with the source document type registered, the way Tarn
// registers it, for tests of source windows.
#include "app/CChildFrame.h"
#include "settings/IdeContext.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "editor/ScintillaEditControl.h"
#include "framework/Application.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "resources/CommandIds.h"
#include "resources/TarnCommands.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <memory>

struct EditorFixture {
    fw::Application app{QStringLiteral("Tarn Tests"), QStringLiteral("EditorTest"), 2};
    // The windows' context: their settings start at the defaults.
    IdeContext tools{&app};
    std::unique_ptr<fw::MdiMainFrame> main;
    QTemporaryDir dir;

    EditorFixture()
    {
        main = std::make_unique<fw::MdiMainFrame>(&tarnCommandTable());
        main->setDefaultMenuResource(menu::MainFrame);
        main->resize(900, 700);
        app.setMainFrame(main.get());
        app.addDocTemplate(std::make_unique<fw::DocTemplate>(
            menu::Source, QStringLiteral("\nTarn\nSource File\nC and C++ Files (*.c)\n.c\n\n"),
            fw::DocTemplate::Factories{[] { return new CTarnDoc; },
                                       [this](fw::Document* d) { return CChildFrame::create(d, tools); }}));
        main->show();
    }
    ~EditorFixture()
    {
        app.closeAllDocuments();
        app.setMainFrame(nullptr);
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    CTarnDoc* open(const QString& path)
    {
        return qobject_cast<CTarnDoc*>(app.openDocumentFile(path));
    }
    CTarnDoc* openBytes(const QString& name, const QByteArray& bytes)
    {
        if (!testsupport::writeFile(path(name), bytes))
            return nullptr;
        return open(path(name));
    }
    CTarnDoc* newDocument()
    {
        return qobject_cast<CTarnDoc*>(app.docTemplates().front()->openDocumentFile(QString()));
    }
    static CTarnView* viewOf(CTarnDoc* doc) { return doc ? doc->sourceView() : nullptr; }
    bool execute(int id) { return main->router()->execute(id); }
};
