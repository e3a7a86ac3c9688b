#pragma once

// A tiny document type of our own for framework tests: a text file shown in
// a plain text edit, registered with the given document string.
#include "framework/Application.h"
#include "framework/CommandTable.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/View.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QSaveFile>

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
        if (failWrites) {
            *error = QStringLiteral("disk full");
            return false;
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
            *error = file.errorString();
            return false;
        }
        return true;
    }
};

class TextView : public QPlainTextEdit, public fw::View {
public:
    int initialUpdates = 0;
    QWidget* widget() override { return this; }
    void onInitialUpdate() override { ++initialUpdates; }
    using fw::CommandTarget::onCommand;
    using fw::CommandTarget::onUpdateEnabled;
};

// A main frame whose own handlers tests can add.
class TestMainFrame : public fw::MdiMainFrame {
public:
    using fw::MdiMainFrame::MdiMainFrame;
    using fw::CommandTarget::onCommand;
};

class TestApp : public fw::Application {
public:
    TestApp() : fw::Application(QStringLiteral("Tarn Tests"), QStringLiteral("FrameworkTest"), 2) {}
    using fw::CommandTarget::onCommand;
};

struct FrameworkFixture {
    fw::CommandTable table;
    TestApp app;
    std::unique_ptr<TestMainFrame> main;

    // Templates: "text" (.txt, resource 1) then "other" (.oth, resource 2).
    FrameworkFixture()
    {
        fw::MenuLayout textMenu{fw::MenuItem::submenu(
            QStringLiteral("&File"), {fw::MenuItem::command(57603, QStringLiteral("&Save")),
                                      fw::MenuItem::recentFiles(57616, QStringLiteral("Recent File"))})};
        fw::MenuLayout otherMenu{fw::MenuItem::submenu(QStringLiteral("&Other"), {}),
                                 fw::MenuItem::submenu(QStringLiteral("&Window"),
                                                       {fw::MenuItem::windowList()})};
        table.addMenu(1, textMenu);
        table.addMenu(2, otherMenu);
        table.addMenu(100, {fw::MenuItem::submenu(QStringLiteral("&Main"), {})});
        table.addCommand({500, QStringLiteral("Prompt 500"), QStringLiteral("Tip 500"),
                          {QKeySequence(QStringLiteral("Ctrl+K"))}});
        main = std::make_unique<TestMainFrame>(&table);
        main->setDefaultMenuResource(100);
        main->resize(800, 600);
        app.setMainFrame(main.get());
        app.addDocTemplate(makeTemplate(1, QStringLiteral("\nText\nText File\nText Files (*.txt)\n.txt\n\n")));
        app.addDocTemplate(makeTemplate(2, QStringLiteral("\nOther\nOther\nOther Files\n.oth\n\n")));
        main->show();
    }
    ~FrameworkFixture()
    {
        app.closeAllDocuments();
        app.setMainFrame(nullptr);
    }

    static std::unique_ptr<fw::DocTemplate> makeTemplate(int id, const QString& docString)
    {
        return std::make_unique<fw::DocTemplate>(
            id, docString,
            fw::DocTemplate::Factories{[] { return new TextDoc; }, [](fw::Document* doc) {
                                           return new fw::MdiChildFrame(doc, new TextView,
                                                                        fw::MdiChildFrame::Style{});
                                       }});
    }
    fw::DocTemplate* textTemplate() { return app.docTemplates().at(0).get(); }
    fw::DocTemplate* otherTemplate() { return app.docTemplates().at(1).get(); }
};
