// The message window inside a running framework: its frame, saving the log,
// the context menu and opening the file of a diagnostic by a double click.
#include "framework/Application.h"
#include "framework/CommandTable.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/StandardIds.h"
#include "messages/CMessageDoc.h"
#include "messages/CMessageFrame.h"
#include "messages/CMessageView.h"
#include "messages/LineNavigation.h"
#include "messages/MessageLog.h"
#include "resources/CommandIds.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A document that reads any existing file, standing in for a source.
class TextDoc : public fw::Document {
protected:
    bool readFile(const QString& path, QString* error) override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("The file cannot be read.");
            return false;
        }
        return true;
    }
};

class TextView : public QWidget, public fw::View, public LineSelectable {
public:
    QWidget* widget() override { return this; }
    void selectReportedLine(int line) override { selectedLines.append(line); }
    QList<int> selectedLines;
};

// A view that cannot select lines, like a project tree.
class PlainView : public QWidget, public fw::View {
public:
    QWidget* widget() override { return this; }
};

template <typename ViewType>
std::unique_ptr<fw::DocTemplate> textTemplate(int id, const QString& docString)
{
    fw::DocTemplate::Factories factories;
    factories.document = [] { return new TextDoc; };
    factories.frame = [](fw::Document* doc) {
        return new fw::MdiChildFrame(doc, new ViewType, fw::MdiChildFrame::Style{});
    };
    return std::make_unique<fw::DocTemplate>(id, docString, std::move(factories));
}

class MessageWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        oldCurrent = QDir::currentPath();
        table.addMenu(menu::MessageContext,
                      {fw::MenuItem::submenu(QStringLiteral("Messages"),
                                             {fw::MenuItem::command(cmd::ClearMessages, QStringLiteral("&Clear Messages")),
                                              fw::MenuItem::command(cmd::CopyrightVersion, QStringLiteral("Copyright and &Version")),
                                              fw::MenuItem::command(cmd::Tip, QStringLiteral("&Tip"))})});
        app = std::make_unique<fw::Application>(QStringLiteral("Tarn Tests"), QStringLiteral("TarnMessages"), 2);
        app->addDocTemplate(textTemplate<TextView>(129, QStringLiteral("\nUntitled\nSource File\nC Files (*.c)\n.c\n\n")));
        app->addDocTemplate(textTemplate<PlainView>(157, QStringLiteral("Project\nProject\nProject\nProject Files (*.tarn)\n.tarn\n\n")));
        app->addDocTemplate(createMessageDocTemplate());
        main = std::make_unique<fw::MdiMainFrame>(&table);
        app->setMainFrame(main.get());
        main->resize(1000, 700);
        main->show();

        messageDoc = app->docTemplates().back()->openDocumentFile(QString());
        ASSERT_NE(messageDoc, nullptr);
        view = dynamic_cast<CMessageView*>(messageDoc->firstView());
        ASSERT_NE(view, nullptr);
        frame = view->parentFrame();
    }

    void TearDown() override
    {
        QDir::setCurrent(oldCurrent);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        app->closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
    }

    QString makeFile(const QString& name)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testsupport::writeFile(path, "int main(void)\n{\n  return 0;\n}\n"));
        return path;
    }

    // Double-clicks the row with the mouse, as the user does.
    void doubleClickRow(int row)
    {
        view->flushLayout();
        const int y = (row - view->verticalScrollBar()->value()) * view->rowHeight() + view->rowHeight() / 2;
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(30, y));
    }

    int openDocuments() const
    {
        int count = 0;
        for (const auto& docTemplate : app->docTemplates())
            count += docTemplate->documents().size();
        return count;
    }

    QTemporaryDir dir;
    QString oldCurrent;
    ScriptedPrompts prompts;
    fw::CommandTable table;
    std::unique_ptr<fw::Application> app;
    std::unique_ptr<fw::MdiMainFrame> main;
    fw::Document* messageDoc = nullptr;
    CMessageView* view = nullptr;
    fw::MdiChildFrame* frame = nullptr;
};

TEST_F(MessageWindow, FrameStartsWithBannerAndCannotBeClosed)
{
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Message Window"));
    EXPECT_EQ(frame->size(), QSize(630, 110));
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowCloseButtonHint);
    ASSERT_EQ(view->rowCount(), 2);
    EXPECT_EQ(view->rowText(0), messageBanner());
    EXPECT_EQ(view->rowIcon(1), 2);

    EXPECT_FALSE(frame->close());
    EXPECT_FALSE(frame->commandEnabled(fw::id::FileClose));
    EXPECT_TRUE(main->mdiArea()->subWindowList().contains(frame));
    EXPECT_TRUE(app->saveAllModified());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MessageWindow, SavesTheLogKeepsItsCaptionAndReportsAFailedSave)
{
    for (int i = 0; i < 1000; ++i)
        view->AppendLine(QStringLiteral("line %1").arg(i), 0);
    EXPECT_FALSE(messageDoc->isModified());
    // A long unsaved log is never offered for saving.
    EXPECT_TRUE(app->saveAllModified());
    EXPECT_TRUE(prompts.messages.isEmpty());

    view->ClearMessages();
    view->AppendLine(QStringLiteral("Errors:"), 1);
    view->AppendLine(QStringLiteral("foo.c:3: error: boom"), 0);
    view->AppendLine(QString(), 0);
    // A failed save is reported and keeps the rows and the untitled log.
    const QString bad = dir.filePath(QStringLiteral("no/such/folder/build.log"));
    prompts.saveFiles.push_back(bad);
    EXPECT_FALSE(messageDoc->doFileSave());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("build.log")));
    EXPECT_TRUE(messageDoc->pathName().isEmpty());
    EXPECT_EQ(view->rowCount(), 4);
    EXPECT_FALSE(QFile::exists(bad));
    prompts.messages.clear();

    const QString path = dir.filePath(QStringLiteral("build.log"));
    prompts.saveFiles.push_back(path);
    EXPECT_TRUE(messageDoc->runCommand(fw::id::FileSave));
    ASSERT_EQ(prompts.saveDialogs.size(), 2);
    EXPECT_TRUE(prompts.saveDialogs[1].defaultSuffix.isEmpty());
    EXPECT_EQ(testsupport::readFile(path),
              QByteArray("Saved messages from Tarn version 3.4\r\n\r\nErrors:\r\n\r\nfoo.c:3: error: boom\r\n\r\n"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Message Window"));
    EXPECT_EQ(view->rowCount(), 4);

    // Later saves go to the same file without asking.
    view->ClearMessages();
    EXPECT_TRUE(messageDoc->runCommand(fw::id::FileSave));
    EXPECT_EQ(prompts.saveDialogs.size(), 2);
    EXPECT_EQ(testsupport::readFile(path), messageLogHeader());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MessageWindow, DoubleClickOpensTheFileAtItsLine)
{
    const QString path = makeFile(QStringLiteral("main.c"));
    view->AppendLine(path + QStringLiteral(":3:5: error: expected ';'"), 0);
    const int row = view->rowCount() - 1;
    doubleClickRow(row);

    fw::Document* opened = main->activeDocument();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->pathName(), QDir::cleanPath(path));
    auto* textView = dynamic_cast<TextView*>(opened->firstView());
    ASSERT_NE(textView, nullptr);
    EXPECT_EQ(textView->selectedLines, QList<int>{3});
    // The message window keeps its rows and its selection.
    EXPECT_EQ(view->rowCount(), row + 1);
    EXPECT_EQ(view->selectedRow(), row);

    // Again: the open document is activated and its line selected anew.
    main->mdiArea()->setActiveSubWindow(frame);
    doubleClickRow(row);
    EXPECT_EQ(main->activeDocument(), opened);
    EXPECT_EQ(textView->selectedLines, (QList<int>{3, 3}));
    EXPECT_EQ(openDocuments(), 2);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MessageWindow, DoubleClickOnRowsThatOpenNothingOrAnotherLine)
{
    makeFile(QStringLiteral("rel.c"));
    const QString zero = makeFile(QStringLiteral("z.c"));
    const QString project = makeFile(QStringLiteral("demo.tarn"));
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    struct Case {
        const char* name;
        QString line;
        QString opened; // empty: nothing opens
        int selectedLine;
        QStringList messageParts; // what the one message names; empty: no message
    };
    const Case cases[] = {
        {"heading", QStringLiteral("Errors:"), {}, 0, {}},
        {"no line number", QStringLiteral("foo.c: In function 'main':"), {}, 0, {}},
        {"earlier colon and digits belong to the name", QStringLiteral("note:1 rel.c:7: warning: unused"), {}, 0,
         {QStringLiteral("note:1 rel.c")}},
        {"missing file", dir.filePath(QStringLiteral("gone.c")) + QStringLiteral(":4: error: x"), {}, 0,
         {QStringLiteral("gone.c")}},
        {"file name before the colons", QStringLiteral("std::string"), {}, 0, {QStringLiteral("/std\"")}},
        {"a project is not opened", project + QStringLiteral(":2: see here"), {}, 0,
         {QStringLiteral("demo.tarn"), QStringLiteral("line 2")}},
        {"relative to the current folder", QStringLiteral("rel.c:7: warning: unused"),
         QDir::cleanPath(dir.filePath(QStringLiteral("rel.c"))), 7, {}},
        {"no digits name line 0", zero + QStringLiteral("::x"), QDir::cleanPath(zero), 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int open = openDocuments();
        prompts.messages.clear();
        main->mdiArea()->setActiveSubWindow(frame);
        view->AppendLine(c.line, 0);
        const int row = view->rowCount() - 1;
        doubleClickRow(row);
        // The message window keeps its rows and the selection.
        EXPECT_EQ(view->rowCount(), row + 1);
        EXPECT_EQ(view->rowText(row), c.line);
        EXPECT_EQ(view->selectedRow(), row);
        ASSERT_EQ(prompts.messages.size(), c.messageParts.isEmpty() ? 0 : 1);
        for (const QString& part : c.messageParts)
            EXPECT_TRUE(prompts.messages[0].contains(part)) << prompts.messages[0].toStdString();
        EXPECT_EQ(openDocuments(), open + (c.opened.isEmpty() ? 0 : 1));
        if (!c.opened.isEmpty()) {
            ASSERT_NE(main->activeDocument(), nullptr);
            EXPECT_EQ(main->activeDocument()->pathName(), c.opened);
            EXPECT_EQ(dynamic_cast<TextView*>(main->activeDocument()->firstView())->selectedLines,
                      QList<int>{c.selectedLine});
        } else {
            EXPECT_EQ(main->activeChild(), frame);
        }
    }
    // No selection at all: nothing either.
    view->setSelectedRow(-1);
    view->OnDoubleClick();
    EXPECT_EQ(openDocuments(), 3);
}

TEST_F(MessageWindow, ContextMenuActivatesTheWindowAndOffersItsCommands)
{
    const QString path = makeFile(QStringLiteral("other.c"));
    ASSERT_NE(app->openDocumentFile(path), nullptr);
    ASSERT_NE(main->activeChild(), frame);

    const QPoint local(40, 10);
    QContextMenuEvent event(QContextMenuEvent::Mouse, local, view->viewport()->mapToGlobal(local));
    QCoreApplication::sendEvent(view->viewport(), &event);

    EXPECT_EQ(main->activeChild(), frame);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("&Clear Messages"), QStringLiteral("Copyright and &Version"),
                                  QStringLiteral("&Tip")}));
    // The menu's commands reach the message view.
    menu->actions().at(0)->trigger();
    EXPECT_EQ(view->rowCount(), 0);
}

} // namespace
