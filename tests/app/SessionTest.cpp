// The last session: at exit Tarn keeps its open project and source windows
// (paths, caret lines, the active one) in [Session] of Tarn32.ini, and a
// start without a file argument opens them again, passing over files that
// are gone or became folders; a section edited into nonsense never stops
// a start.
#include "SettingsTestEnvironment.h"

#include "app/CChildFrame.h"
#include "editor/CTarnView.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/StandardIds.h"
#include "messages/CMessageView.h"
#include "resources/CommandIds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>

#include <gtest/gtest.h>

namespace {

const QByteArray options = "[Options]\nGCC Path=/usr/bin/gcc\n";

class SessionTest : public SettingsTestEnvironment {
protected:
    void TearDown() override
    {
        app.reset();
        SettingsTestEnvironment::TearDown();
    }

    QString file(const QString& name) const { return configFolder() + QLatin1Char('/') + name; }

    // A C source of n numbered lines.
    void writeSource(const QString& name, int lines)
    {
        QByteArray text;
        for (int i = 1; i <= lines; ++i)
            text += "int line" + QByteArray::number(i) + ";\n";
        ASSERT_TRUE(testsupport::writeFile(file(name), text));
    }

    void start(const QStringList& arguments = {})
    {
        app.reset();
        app = std::make_unique<CTarnApp>();
        ASSERT_TRUE(app->InitInstance(arguments));
        main = app->mainWindow();
    }

    // The windows after the message window: file name (or title), and the
    // caret's zero-based line for a source.
    QStringList windows() const
    {
        QStringList result;
        for (fw::MdiChildFrame* frame : main->childFrames()) {
            if (frame == main->messageView()->parentFrame())
                continue;
            QString entry = frame->document()->title();
            if (auto* view = dynamic_cast<CTarnView*>(frame->view())) {
                int line = 0;
                int index = 0;
                view->getCursorPosition(&line, &index);
                entry += QStringLiteral(":%1").arg(line);
            }
            result << entry;
        }
        return result;
    }

    QString activeTitle() const { return main->activeChild()->document()->title(); }

    std::unique_ptr<CTarnApp> app;
    CMainFrame* main = nullptr;
};

TEST_F(SessionTest, WrittenAtExitAndOpenedAgainAtTheNextStart)
{
    ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), options));
    ASSERT_TRUE(testsupport::writeFile(file("hello.tarn"), QByteArray(46, '\0')));
    writeSource(QStringLiteral("main.c"), 80);
    writeSource(QStringLiteral("util.c"), 10);
    start();
    ASSERT_EQ(windows(), QStringList{QStringLiteral("Untitled1:0")});
    ASSERT_TRUE(app->openDocumentFile(file("hello.tarn")));
    fw::Document* mainC = app->openDocumentFile(file("main.c"));
    fw::Document* utilC = app->openDocumentFile(file("util.c"));
    ASSERT_TRUE(mainC && utilC);
    dynamic_cast<CTarnView*>(mainC->firstView())->setCursorPosition(41, 3);
    dynamic_cast<CTarnView*>(utilC->firstView())->setCursorPosition(7, 0);
    mainC->firstView()->parentFrame()->activate();
    ASSERT_EQ(activeTitle(), QStringLiteral("main.c"));

    ASSERT_TRUE(main->close());
    // (The windows' places have a test of their own.)
    QByteArray written;
    for (const QByteArray& line : testsupport::readFile(settingsFilePath()).split('\n')) {
        if (!line.startsWith("Place") && !line.startsWith("MessagePlace"))
            written += line + '\n';
    }
    written.chop(1);
    const QByteArray expected =
        options + "\n[Session]\nWindows=3\nWindow1=" + file("hello.tarn").toUtf8() +
        "\nWindow2=" + file("main.c").toUtf8() + "\nLine2=42\nWindow3=" + file("util.c").toUtf8() +
        "\nLine3=8\nActive=2\n";
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(prompts->messages.isEmpty()) << prompts->messages.join('\n').toStdString();

    start();
    EXPECT_EQ(windows(), (QStringList{QStringLiteral("hello.tarn"), QStringLiteral("main.c:41"),
                                      QStringLiteral("util.c:7")}));
    EXPECT_EQ(activeTitle(), QStringLiteral("main.c"));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Tarn - main.c"));
    EXPECT_TRUE(prompts->messages.isEmpty()) << prompts->messages.join('\n').toStdString();

    // Closing again with the message window active: no active entry.
    main->messageView()->parentFrame()->activate();
    ASSERT_TRUE(main->close());
    EXPECT_FALSE(testsupport::readFile(settingsFilePath()).contains("Active="));
}

TEST_F(SessionTest, WhatIsGoneIsPassedOverAndNonsenseNeverStopsAStart)
{
    writeSource(QStringLiteral("kept.c"), 30);
    writeSource(QStringLiteral("deleted.c"), 3);
    ASSERT_TRUE(QFile::remove(file("deleted.c")));
    ASSERT_TRUE(QDir().mkpath(file("folder.c")));
    const QByteArray kept = file("kept.c").toUtf8();
    const QByteArray deleted = file("deleted.c").toUtf8();
    const QByteArray folder = file("folder.c").toUtf8();
    const QStringList untitled = {QStringLiteral("Untitled1:0")};
    struct Case {
        const char* name;
        QByteArray file;
        QStringList arguments;
        QStringList windows;
    };
    const Case cases[] = {
        {"gone and folder skipped",
         options + "[Session]\nWindows=3\nWindow1=" + deleted + "\nWindow2=" + folder +
             "\nWindow3=" + kept + "\nLine3=12\nActive=1\n",
         {},
         {QStringLiteral("kept.c:11")}},
        {"a special file that cannot be read",
         options + "[Session]\nWindows=2\nWindow1=/proc/self/mem\nWindow2=" + kept + "\n",
         {},
         {QStringLiteral("kept.c:0")}},
        {"nothing left: untitled",
         options + "[Session]\nWindows=2\nWindow1=" + deleted + "\nWindow2=" + folder + "\n",
         {},
         untitled},
        {"nonsense",
         options + "[Session]\nWindows=lots\nWindow=x\n\x01\xff=\nActive=-4\nLine1=zz\n",
         {},
         untitled},
        {"nonsense numbers",
         options + "[Session]\nWindows=99999999999\nWindow1=" + kept +
             "\nLine1=-7\nActive=99\nWindow7=relative.c\n",
         {},
         {QStringLiteral("kept.c:0")}},
        {"line past the end",
         options + "[Session]\nWindows=1\nWindow1=" + kept + "\nLine1=5000\n",
         {},
         {QStringLiteral("kept.c:30")}}, // the empty line after the last break
        {"switch off",
         options + "[Editor]\nReopen Last Session=0\n[Session]\nWindows=1\nWindow1=" + kept + "\n",
         {},
         untitled},
        {"a file argument wins",
         options + "[Session]\nWindows=1\nWindow1=" + kept + "\n",
         {file("other.c")},
         {QStringLiteral("other.c:0")}},
    };
    writeSource(QStringLiteral("other.c"), 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), c.file));
        prompts->messages.clear();
        start(c.arguments);
        EXPECT_EQ(windows(), c.windows);
        EXPECT_TRUE(prompts->messages.isEmpty()) << prompts->messages.join('\n').toStdString();
        EXPECT_EQ(main->activeChild()->document()->title(), c.windows.back().section(u':', 0, 0));
    }
}

TEST_F(SessionTest, WindowsComeBackWhereTheyWereLeft)
{
    ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), options));
    writeSource(QStringLiteral("main.c"), 10);
    writeSource(QStringLiteral("util.c"), 10);
    writeSource(QStringLiteral("notes.c"), 10);
    start();
    // A first start: the message window across the bottom quarter, the
    // new source above it.
    fw::MdiChildFrame* messages = main->messageView()->parentFrame();
    const QRect area = main->mdiArea()->viewport()->rect();
    EXPECT_EQ(messages->geometry().left(), 0);
    EXPECT_EQ(messages->geometry().width(), area.width());
    EXPECT_EQ(messages->geometry().bottom(), area.bottom());
    EXPECT_NEAR(messages->geometry().top(), area.height() * 3 / 4, 2);
    EXPECT_LT(main->activeChild()->geometry().bottom(), messages->geometry().top());
    // It keeps to the bottom while the main window changes size.
    main->showNormal();
    main->resize(main->width() - 100, main->height() - 120);
    QCoreApplication::processEvents();
    const QRect smaller = main->mdiArea()->viewport()->rect();
    ASSERT_NE(smaller, area);
    EXPECT_EQ(messages->geometry().bottom(), smaller.bottom());
    EXPECT_EQ(messages->geometry().width(), smaller.width());

    auto frameOf = [](fw::Document* document) { return document->firstView()->parentFrame(); };
    fw::MdiChildFrame* mainC = frameOf(app->openDocumentFile(file("main.c")));
    fw::MdiChildFrame* utilC = frameOf(app->openDocumentFile(file("util.c")));
    fw::MdiChildFrame* notesC = frameOf(app->openDocumentFile(file("notes.c")));
    mainC->setGeometry(50, 60, 500, 300);
    utilC->setGeometry(70, 80, 400, 200);
    utilC->showMinimized();
    notesC->setGeometry(90, 20, 450, 250);
    messages->setGeometry(10, 200, 600, 120);
    notesC->activate();
    notesC->showMaximized();
    ASSERT_TRUE(main->close());

    // Kept with the normal rectangles, the states and the message window's
    // place; a later size of the main window does not move them.
    start();
    auto frameNamed = [&](const QString& name) -> fw::MdiChildFrame* {
        for (fw::MdiChildFrame* frame : main->childFrames()) {
            if (frame->document()->title() == name)
                return frame;
        }
        return nullptr;
    };
    mainC = frameNamed(QStringLiteral("main.c"));
    utilC = frameNamed(QStringLiteral("util.c"));
    notesC = frameNamed(QStringLiteral("notes.c"));
    ASSERT_TRUE(mainC && utilC && notesC);
    EXPECT_EQ(main->activeChild(), notesC);
    EXPECT_TRUE(notesC->isMaximized());
    EXPECT_EQ(notesC->normalPlace(), QRect(90, 20, 450, 250));
    EXPECT_TRUE(utilC->isMinimized());
    EXPECT_EQ(utilC->normalPlace(), QRect(70, 80, 400, 200));
    EXPECT_FALSE(mainC->isMaximized() || mainC->isMinimized());
    EXPECT_EQ(mainC->normalPlace(), QRect(50, 60, 500, 300));
    EXPECT_EQ(main->messageView()->parentFrame()->geometry(), QRect(10, 200, 600, 120));

    // A place off every edge or larger than the screen comes back whole.
    ASSERT_TRUE(main->close());
    QByteArray ini = testsupport::readFile(settingsFilePath());
    ASSERT_TRUE(ini.contains("Place3=90,20,450,250,maximised")) << ini.toStdString();
    ini.replace("Place3=90,20,450,250,maximised", "Place3=-4000,99000,90000,250");
    ini.replace("Place1=50,60,500,300", "Place1=-50,-60,500,300");
    ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), ini));
    start();
    const QRect space = main->mdiArea()->viewport()->rect();
    for (const QString& name : {QStringLiteral("main.c"), QStringLiteral("notes.c")}) {
        SCOPED_TRACE(name.toStdString());
        fw::MdiChildFrame* frame = frameNamed(name);
        ASSERT_NE(frame, nullptr);
        EXPECT_FALSE(frame->isMaximized());
        EXPECT_TRUE(space.contains(frame->geometry())) << frame->geometry().x() << "," << frame->geometry().y();
    }
    EXPECT_EQ(frameNamed(QStringLiteral("main.c"))->geometry().topLeft(), QPoint(0, 0));
    EXPECT_TRUE(prompts->messages.isEmpty()) << prompts->messages.join('\n').toStdString();
}

TEST_F(SessionTest, UntitledAndMessageWindowsAreNotKeptAndAnUnwritableFileIsReported)
{
    ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), options));
    start();
    // The message window keeps no place in the session, even with its log
    // saved under a name; the untitled source has no file to keep.
    prompts->saveFiles.push_back(file("log.txt"));
    ASSERT_TRUE(main->messageView()->parentFrame()->document()->runCommand(fw::id::FileSave));
    ASSERT_FALSE(main->messageView()->parentFrame()->document()->pathName().isEmpty());
    const QByteArray messagePlace = windowPlaceToValue(CMainFrame::placeOf(main->messageView()->parentFrame()));
    ASSERT_TRUE(main->close());
    EXPECT_EQ(testsupport::readFile(settingsFilePath()),
              options + "\n[Session]\nWindows=0\nMessagePlace=" + messagePlace + "\n");

    // A folder where the file should be: reported, and Tarn still closes.
    start();
    ASSERT_TRUE(QFile::remove(settingsFilePath()));
    ASSERT_TRUE(QDir().mkpath(settingsFilePath()));
    prompts->messages.clear();
    EXPECT_TRUE(main->close());
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().contains(QStringLiteral("Tarn32.ini")));
}

} // namespace
