// The running main frame: Window menu commands, Options, the bars, Ctrl+Tab,
// where child windows go (new windows, Cascade, Next past a maximised
// window), the caption menus, the prompts of disabled menu items, and F4.
#include "SettingsTestEnvironment.h"

#include "editor/CTarnView.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/StandardIds.h"
#include "messages/CMessageView.h"
#include "messages/MessageClassifier.h"
#include "messages/MessageSink.h"
#include "resources/CommandIds.h"
#include "tools/ModalDriver.h"

#include <Qsci/qscilexer.h>

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QSet>

#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

namespace {

// A started Tarn with two source windows besides the message window.
class MainFrameTest : public StartedTarn {
protected:
    void SetUp() override
    {
        StartedTarn::SetUp();
        main->resize(1000, 700);
        ASSERT_TRUE(main->router()->execute(fw::id::FileNew));
        frames = main->childFrames();
        messages = main->messageView()->parentFrame();
    }

    QRect space() const { return main->mdiArea()->viewport()->rect(); }

    void setMinimizeOnTile(int on)
    {
        IdeSettings settings = main->context().settings();
        settings.minimizeOnTile = on;
        main->context().setSettings(settings);
    }

    QList<fw::MdiChildFrame*> frames;
    fw::MdiChildFrame* messages = nullptr;
};

// The same, shown at its normal size.
class WindowLayout : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        main->showNormal();
        main->resize(1000, 700);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
        QApplication::processEvents();
    }
};

// F4 and Shift+F4: stepping through the message window's diagnostics opens
// each one as a double click would.
const QString NoMore = QStringLiteral("No more diagnostics");

class DiagnosticStep : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        ASSERT_TRUE(testsupport::writeFile(path("a.c"), "int a;\nint b = x;\nint c;\n"));
        ASSERT_TRUE(testsupport::writeFile(path("b.c"), "int d;\nint e;\nint f = y;\n"));
        log = main->messageView();
        main->context().messages().clear();
    }

    // Runs a step and says what it led to: the selected row, the opened
    // file's name and its selected text, or the status text when nothing
    // moved.
    QString step(int id)
    {
        const int childrenBefore = int(main->childFrames().size());
        const int rowBefore = log->selectedRow();
        EXPECT_TRUE(main->router()->execute(id));
        if (main->statusBar()->currentMessage() == NoMore) {
            EXPECT_EQ(log->selectedRow(), rowBefore);
            EXPECT_EQ(int(main->childFrames().size()), childrenBefore);
            return NoMore;
        }
        auto* view = dynamic_cast<CTarnView*>(main->activeView());
        if (!view)
            return QStringLiteral("no source window");
        return QStringLiteral("%1 %2 %3")
            .arg(log->selectedRow())
            .arg(QFileInfo(view->fw::View::document()->pathName()).fileName(),
                 view->selectedText());
    }

    QString path(const char* name) const { return configFolder() + '/' + name; }

    CMessageView* log = nullptr;
};

} // namespace

// With Minimize on tile the message window stays as it is; without it, it is
// tiled too. Arrange Icons lines the minimised windows up at the bottom.
TEST_F(MainFrameTest, TileWithAndWithoutMinimizeOnTileAndArrangeIcons)
{
    setMinimizeOnTile(1);
    messages->setGeometry(20, 30, 630, 110);
    fw::MdiChildFrame* first = frames.at(1);
    first->activate();
    ASSERT_TRUE(main->router()->execute(fw::id::WindowTileHorz));

    EXPECT_EQ(messages->geometry(), QRect(20, 30, 630, 110));
    EXPECT_EQ(main->activeChild(), first);
    // The two sources are rows: each as wide as the area, one above the other.
    const QRect a = frames.at(1)->geometry();
    const QRect b = frames.at(2)->geometry();
    const int width = main->mdiArea()->viewport()->width();
    EXPECT_EQ(a.width(), width);
    EXPECT_EQ(b.width(), width);
    EXPECT_LT(a.bottom(), b.top() + 1);

    setMinimizeOnTile(0);
    ASSERT_TRUE(main->router()->execute(fw::id::WindowTileVert));
    const int height = main->mdiArea()->viewport()->height();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(frames.at(i)->geometry().height(), height);
        EXPECT_EQ(frames.at(i)->geometry().left(),
                  i ? frames.at(i - 1)->geometry().right() + 1 : 0);
    }
    frames.at(1)->showMinimized();
    frames.at(2)->showMinimized();
    ASSERT_TRUE(main->router()->execute(fw::id::WindowArrange));
    const int bottom = main->mdiArea()->viewport()->rect().bottom();
    EXPECT_EQ(frames.at(1)->geometry().bottom(), bottom);
    EXPECT_EQ(frames.at(2)->geometry().bottom(), bottom);
    EXPECT_EQ(frames.at(2)->geometry().left(), frames.at(1)->geometry().right() + 1);
}

TEST_F(MainFrameTest, OptionsOkReappliesFontToSourcesAndActivatesMessages)
{
    fw::Document* one = frames.at(1)->document();
    fw::Document* two = frames.at(2)->document();
    one->setModified(true);
    fw::MdiChildFrame* active = main->activeChild();
    for (bool ok : {false, true}) {
        QFont chosen(QStringLiteral("DejaVu Sans Mono"));
        chosen.setPointSize(ok ? 17 : 23);
        prompts->fonts.push_back(chosen);
        EXPECT_TRUE(DriveModal<QDialog>([&] { main->router()->execute(cmd::ViewOptions); },
                                        [ok](QDialog* dialog) {
                                            ClickButton(dialog, "sourceFontButton");
                                            ClickButton(dialog, ok ? "okButton" : "cancelButton");
                                        }));
        if (!ok) {
            EXPECT_NE(main->context().settings().sourceFont.pointSize(), 23);
            EXPECT_EQ(main->activeChild(), active);
        }
    }
    // OK gave every style of every source the font.
    EXPECT_EQ(main->context().settings().sourceFont.pointSize(), 17);
    for (fw::MdiChildFrame* frame : {frames.at(1), frames.at(2)}) {
        QsciLexer* lexer = dynamic_cast<CTarnView*>(frame->view())->lexer();
        for (int style : {0, 1, 5, 6})
            EXPECT_EQ(lexer->font(style).pointSize(), 17) << style;
    }
    EXPECT_TRUE(one->isModified());
    EXPECT_FALSE(two->isModified());
    EXPECT_EQ(main->activeChild(), messages);
}

TEST_F(MainFrameTest, LibcReferenceWithoutPathExplainsHowToSetIt)
{
    ASSERT_TRUE(main->router()->execute(cmd::LibcReference));
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_EQ(prompts->messages.first(),
              "Your libc reference path doesn't seem to be set! Since this file was automatically "
              "installed with Tarn, go to the options menu and set the path using the \"browse\" "
              "button.  Note that the file should be in the \\hlp directory of your djgpp "
              "installation.");
}

// New commands never ask for a document type; the message window cannot be
// closed; main-frame commands work whatever window is active.
TEST_F(MainFrameTest, NewCommandsAndMainFrameCommandsWhateverIsActive)
{
    main->show();
    EXPECT_TRUE(main->router()->execute(cmd::FileNewProject));
    EXPECT_TRUE(prompts->messages.isEmpty());
    EXPECT_EQ(frames.at(2)->document()->title(), "Untitled2");
    EXPECT_EQ(main->childFrames().at(3)->document()->title(), "Project1");
    messages->activate();
    EXPECT_FALSE(main->router()->isEnabled(fw::id::FileClose));
    EXPECT_FALSE(messages->close());
    EXPECT_EQ(main->childFrames().size(), 4);
    EXPECT_TRUE(main->router()->isEnabled(cmd::ViewOptions));
    EXPECT_TRUE(main->router()->isEnabled(fw::id::WindowTileHorz));
    EXPECT_TRUE(main->router()->isEnabled(fw::id::FilePrintSetup));
    EXPECT_FALSE(main->router()->isEnabled(fw::id::FilePrint));
    // Source-window commands are off while the message window is active.
    EXPECT_FALSE(main->router()->isEnabled(fw::id::EditCut));
    frames.at(1)->activate();
    EXPECT_TRUE(main->router()->isEnabled(fw::id::EditSelectAll));
    // The bars toggle from any window.
    EXPECT_TRUE(main->toolBar()->isVisible());
    ASSERT_TRUE(main->router()->execute(fw::id::ViewToolbar));
    EXPECT_FALSE(main->toolBar()->isVisible());
    ASSERT_TRUE(main->router()->execute(fw::id::ViewStatusBar));
    EXPECT_FALSE(main->statusBar()->isVisible());
    EXPECT_EQ(main->statusBar()->currentMessage(), "Ready");
    // A lasting status comes back after a prompt while its time lasts (a
    // time no load can use up between these lines)...
    main->showLastingStatus("Build stopped", 10 * 60 * 1000);
    main->statusBar()->showMessage("a prompt");
    main->statusBar()->clearMessage();
    EXPECT_EQ(main->statusBar()->currentMessage(), "Build stopped");
    // ...and goes by itself when its time is up, a prompt then leaving
    // "Ready" behind.
    main->showLastingStatus("Build failed", 50);
    EXPECT_EQ(main->statusBar()->currentMessage(), "Build failed");
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->statusBar()->currentMessage() == "Ready"; }, 30000))
        << main->statusBar()->currentMessage().toStdString();
    main->statusBar()->showMessage("a prompt");
    main->statusBar()->clearMessage();
    EXPECT_EQ(main->statusBar()->currentMessage(), "Ready");
}

TEST_F(MainFrameTest, CtrlTabInASourceWindowRunsNext)
{
    main->show();
    QApplication::setActiveWindow(main);
    frames.at(2)->activate();
    QWidget* editor = frames.at(2)->widget();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    QList<fw::MdiChildFrame*> seen;
    for (int i = 0; i < 3; ++i) {
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : editor;
        QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
        QApplication::processEvents();
        seen << main->activeChild();
    }
    // Three presses visit the three windows, ending where they started.
    EXPECT_EQ(QSet<fw::MdiChildFrame*>(seen.begin(), seen.end()).size(), 3);
    EXPECT_EQ(seen.last(), frames.at(2));
    // The source text got no tab character.
    EXPECT_EQ(dynamic_cast<QsciScintilla*>(editor)->text(), QString());
}

TEST_F(WindowLayout, NewWindowsAndCascadeGiveUsefulPlacesAndKeepEveryTitleBarVisible)
{
    const int step = main->cascadeStep();
    for (int sources : {3, 15}) {
        SCOPED_TRACE(sources);
        for (int i = 0; i < sources; ++i)
            ASSERT_TRUE(main->router()->execute(fw::id::FileNew));
        QApplication::processEvents();
        const QList<fw::MdiChildFrame*> frames =
            main->childFrames().mid(main->childFrames().size() - sources);
        // New windows step down from the top left, start again there, and
        // stay inside.
        int wraps = 0;
        for (qsizetype i = 0; i < frames.size(); ++i) {
            const QRect place = frames.at(i)->geometry();
            EXPECT_TRUE(space().contains(place)) << i;
            if (i > 0 && place.topLeft() == QPoint(0, 0)) {
                ++wraps;
            } else if (i > 0) {
                EXPECT_EQ(place.topLeft(),
                          frames.at(i - 1)->geometry().topLeft() + QPoint(step, step))
                    << i;
            }
        }
        EXPECT_EQ(wraps >= 1, sources == 15);
        EXPECT_FALSE(main->mdiArea()->verticalScrollBar()->isVisible());
        EXPECT_FALSE(main->mdiArea()->horizontalScrollBar()->isVisible());
        frames.at(1)->activate();
        ASSERT_TRUE(main->router()->execute(fw::id::WindowCascade));
        const QList<QMdiSubWindow*> stack = main->mdiArea()->subWindowList(QMdiArea::StackingOrder);
        EXPECT_EQ(stack.last(), frames.at(1)) << "the active window ends on top";
        EXPECT_EQ(main->activeChild(), frames.at(1));
        for (qsizetype i = 0; i < stack.size(); ++i) {
            const QRect place = stack.at(i)->geometry();
            EXPECT_TRUE(space().contains(place)) << i;
            EXPECT_GE(place.width(), space().width() * 3 / 5) << i;
            EXPECT_GE(place.height(), space().height() * 3 / 5) << i;
            // No window above covers the start of this one's title bar.
            const QPoint title = place.topLeft() + QPoint(4, 4);
            for (qsizetype j = i + 1; j < stack.size(); ++j)
                EXPECT_FALSE(stack.at(j)->geometry().contains(title)) << i << " under " << j;
        }
    }
}

TEST_F(WindowLayout, NextFromAMaximisedSourceNeverMaximisesTheMessageWindow)
{
    const QSize own = messages->size();
    frames.at(2)->showMaximized();
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(main->router()->execute(cmd::WindowNext));
        QApplication::processEvents();
        EXPECT_FALSE(messages->isMaximized()) << i;
        if (main->activeChild() == messages) {
            EXPECT_EQ(messages->size(), own);
        }
    }
}

TEST_F(WindowLayout, CaptionMenusOfferOnlyWhatTheFrameAllows)
{
    auto texts = [](fw::MdiChildFrame* frame) {
        QStringList list;
        for (QAction* action : frame->systemMenu()->actions()) {
            if (!action->isSeparator())
                list << action->text();
        }
        return list;
    };
    EXPECT_EQ(texts(messages), QStringList({"&Move", "&Size"}));
    EXPECT_EQ(texts(frames.at(1)),
              QStringList({"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "&Close"}));
}

TEST_F(WindowLayout, DisabledMenuItemsShowTheirPromptToo)
{
    QAction* edit = main->menuBar()->actions().at(1);
    QMenu* file = edit->menu();
    main->menuBar()->setActiveAction(edit); // opened from the bar, as a user does
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    // Undo (the first item) is off in a new window; Select All (the sixth) is on.
    for (const auto& [index, enabled, prompt] : {std::tuple{0, false, "Undo the last action"},
                                                 std::tuple{5, true, "Select the entire document"},
                                                 std::tuple{0, false, "Undo the last action"}}) {
        QAction* item = file->actions().at(index);
        EXPECT_EQ(item->isEnabled(), enabled) << prompt;
        main->statusBar()->showMessage(QStringLiteral("Ready"));
        QTest::mouseMove(file, file->actionGeometry(item).center());
        QApplication::processEvents();
        EXPECT_EQ(main->statusBar()->currentMessage().toStdString(), prompt);
    }
    file->close();
}

TEST_F(DiagnosticStep, StepsThroughTheDiagnosticsAndStopsAtEachEnd)
{
    // An empty log, then one without diagnostics: nothing moves.
    for (bool withRows : {false, true}) {
        if (withRows) {
            main->context().messages().add(QStringLiteral("Errors:"), 1);
            main->context().messages().add(QString(), 0);
            main->context().messages().add(QStringLiteral("gcc: fatal error: no input files"), 0);
        }
        for (int id : {cmd::NextDiagnostic, cmd::PreviousDiagnostic})
            EXPECT_EQ(step(id), NoMore) << withRows;
        EXPECT_EQ(log->selectedRow(), -1);
    }
    // A log as a compile leaves it: headings, separators, an empty row, a
    // note without a line number and two diagnostics.
    main->context().messages().clear();
    main->context().messages().add(QStringLiteral("Compiling a.c with command line of:"), 1);
    main->context().messages().add(QStringLiteral("Errors:"), 1);
    main->context().messages().add(path("a.c") + QStringLiteral(":2:9: error: 'x' undeclared"), 0);
    main->context().messages().add(QString(), 0);
    main->context().messages().add(QStringLiteral("cc1: note: no line here"), 0);
    main->context().messages().add(path("b.c") + QStringLiteral(":3: error: 'y' undeclared"), 0);
    main->context().messages().add(QStringLiteral("Done"), 1);
    // Rows: 0 heading, 1 separator, 2 "Errors:", 3 separator, 4 a.c:2,
    // 5 empty, 6 note, 7 b.c:3, 8 "Done", 9 separator.
    const std::pair<int, const char*> steps[] = {
        {cmd::NextDiagnostic, "4 a.c int b = x;"},
        {cmd::NextDiagnostic, "7 b.c int f = y;"},
        {cmd::NextDiagnostic, "No more diagnostics"},
        {cmd::PreviousDiagnostic, "4 a.c int b = x;"},
        {cmd::PreviousDiagnostic, "No more diagnostics"},
        {cmd::NextDiagnostic, "7 b.c int f = y;"},
    };
    for (const auto& [id, expected] : steps)
        EXPECT_EQ(step(id), QString::fromUtf8(expected));
    // Messages, two untitled sources, a.c and b.c: each file opened once,
    // then activated again.
    EXPECT_EQ(main->childFrames().size(), 5);

    // Without a selection Shift+F4 starts from the end; a selected row that
    // is no diagnostic is a starting point like any other.
    log->setSelectedRow(-1);
    EXPECT_EQ(step(cmd::PreviousDiagnostic), QStringLiteral("7 b.c int f = y;"));
    log->setSelectedRow(5);
    EXPECT_EQ(step(cmd::PreviousDiagnostic), QStringLiteral("4 a.c int b = x;"));
    EXPECT_EQ(prompts->messages, QStringList());
}

TEST_F(DiagnosticStep, F4InASourceWindowScrollsTheRowIntoView)
{
    main->resize(900, 600);
    main->show();
    QApplication::setActiveWindow(main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    main->context().messages().add(path("a.c") + QStringLiteral(":1: warning: first"), 0);
    for (int i = 0; i < 300; ++i)
        main->context().messages().add(QStringLiteral("line %1").arg(i), 0);
    main->context().messages().add(path("b.c") + QStringLiteral(":2: warning: last"), 0);
    main->context().messages().add(QStringLiteral("tail"), 0);
    log->flushLayout();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(log->selectedRow(), 301);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(log->selectedRow(), 0);
    EXPECT_EQ(log->verticalScrollBar()->value(), 0);
    EXPECT_EQ(dynamic_cast<CTarnView*>(main->activeView())->selectedText(), "int a;");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(main->statusBar()->currentMessage(), NoMore);
}

// F4 and Shift+F4 stop only at a row that names a place: a file that exists
// (a relative name taken in the folder its tool ran in) and a line above 0.
// g++'s context rows and make's error rows look like diagnostics (and keep
// their icon) but are passed over, and so is a name of no file.
TEST_F(DiagnosticStep, StepsOnlyToRowsThatNameAnExistingFileAndALine)
{
    const QString folder = path("");
    main->context().messages().add(QStringLiteral("Errors:"), 1);
    const QStringList passedOver = {
        QStringLiteral("a.cpp: In member function 'void A::f()':"),
        QStringLiteral("make: *** [Makefile:2: all] Error 1"),
        path("gone.c") + QStringLiteral(":3: error: no such file"),
        path("a.c") + QStringLiteral(":0: note: line 0"),
        path("a.c") + QStringLiteral("::x"),
        folder + QStringLiteral(":2: a folder is not a file"),
    };
    for (const QString& row : passedOver)
        main->context().messages().add(row, 0);
    // A relative name in rows written by a tool that ran in the folder of
    // b.c, while Tarn's current directory is elsewhere.
    std::vector<MessageEntry> run(1);
    run[0].kind = MessageEntry::Kind::Rows;
    run[0].bytes = "b.c:2: warning: relative\n";
    run[0].directory = folder;
    main->context().messages().post(std::move(run));
    for (const QString& row : passedOver)
        main->context().messages().add(row, 0);
    main->context().messages().flush();
    // Rows: 0 "Errors:", 1 separator, 2-7 passed over, 8 b.c:2, 9-14 passed
    // over; each of them has the diagnostic icon.
    ASSERT_EQ(log->rowCount(), 15);
    for (int row = 2; row < log->rowCount(); ++row)
        EXPECT_EQ(log->rowIcon(row), IconDiagnostic) << log->rowText(row).toStdString();
    const QString relative = QStringLiteral("8 b.c int e;");
    const QString elsewhere = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QDir::tempPath()));
    for (int id : {cmd::NextDiagnostic, cmd::PreviousDiagnostic}) {
        log->setSelectedRow(-1);
        EXPECT_EQ(step(id), relative);
        EXPECT_EQ(step(id), NoMore);
    }
    QDir::setCurrent(elsewhere);
    EXPECT_EQ(prompts->messages, QStringList());
}
