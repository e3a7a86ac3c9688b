#pragma once

// A tiny document type of our own for framework tests: a text file shown in
// a plain text edit, registered with the given document string.
#include "framework/Application.h"
#include "framework/CommandTable.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/SafeSave.h"
#include "framework/View.h"

#include <QFile>
#include <QPlainTextEdit>

#include <memory>

class TextDoc : public fw::Document {
public:
    QByteArray bytes;
    bool failWrites = false;

protected:
    bool readFile(const QString& path, QString* error) override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = file.errorString();
            return false;
        }
        bytes = file.readAll();
        return true;
    }
    bool writeFile(const QString& path, QString* error) override
    {
        if (failWrites)
            *error = QStringLiteral("disk full");
        return !failWrites && fw::saveFileSafely(path, bytes, error);
    }
};

class TextView : public QPlainTextEdit, public fw::View {
public:
    int initialUpdates = 0;
    QWidget* widget() override { return this; }
    void onInitialUpdate() override { ++initialUpdates; }
};

struct FrameworkFixture {
    fw::CommandTable table;
    fw::Application app{QStringLiteral("Tarn Tests"), QStringLiteral("FrameworkTest"), 2};
    std::unique_ptr<fw::MdiMainFrame> main;

    // Templates: "text" (.txt, resource 1) then "other" (.oth, resource 2).
    FrameworkFixture()
    {
        table.addMenu(1, {fw::MenuItem::submenu(
                             QStringLiteral("&File"),
                             {fw::MenuItem::command(57603, QStringLiteral("&Save")),
                              fw::MenuItem::recentFiles(57616, QStringLiteral("Recent File"))})});
        table.addMenu(
            2, {fw::MenuItem::submenu(QStringLiteral("&Other"), {}),
                fw::MenuItem::submenu(QStringLiteral("&Window"), {fw::MenuItem::windowList()})});
        table.addMenu(100, {fw::MenuItem::submenu(QStringLiteral("&Main"), {})});
        main = std::make_unique<fw::MdiMainFrame>(&table);
        main->setDefaultMenuResource(100);
        main->resize(800, 600);
        app.setMainFrame(main.get());
        const fw::DocTemplate::Factories factories{
            [] { return new TextDoc; },
            [](fw::Document* doc) { return new fw::MdiChildFrame(doc, new TextView, {}); }};
        app.addDocTemplate(std::make_unique<fw::DocTemplate>(
            1, QStringLiteral("\nText\nText File\nText Files (*.txt)\n.txt\n\n"), factories));
        app.addDocTemplate(std::make_unique<fw::DocTemplate>(
            2, QStringLiteral("\nOther\nOther\nOther Files\n.oth\n\n"), factories));
        main->show();
    }
    ~FrameworkFixture()
    {
        app.closeAllDocuments();
        app.setMainFrame(nullptr);
    }

    fw::DocTemplate* textTemplate() { return app.docTemplates().at(0).get(); }
    fw::DocTemplate* otherTemplate() { return app.docTemplates().at(1).get(); }
};
