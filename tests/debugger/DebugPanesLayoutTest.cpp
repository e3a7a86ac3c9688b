// The debugger's panes show what they hold: on a program built by the
// host's gcc and run under its gdb, every name of the Locals pane (opened
// structures' members included) is read whole, Program Output and Locals
// get room on their first show, and the widths the user dragged and the
// docks' sizes come back when Tarn is closed and started again.
#include "DebugProgram.h"

#include "app/SettingsTestEnvironment.h"
#include "debugger/DebugController.h"
#include "debugger/DebugPanes.h"
#include "editor/CTarnView.h"
#include "framework/Document.h"

#include <QDockWidget>
#include <QHeaderView>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>

using debugtest::lineOf;
using debugtest::Program;
using testsupport::waitUntil;

namespace {

const QByteArray kProgram = R"(#include <stdio.h>

struct inner { int depth_of_the_inner_member; char label[8]; };
struct outer { int id; struct inner nested; double samples[3]; };

int main(void)
{
    struct outer record = {1, {2, "abc"}, {1.5, 2.5, 3.5}};
    int numbers[4] = {1, 2, 3, 4};
    int samples_taken_since_last_reset = 3;
    printf("0123456789012345678901234567890123456789\n");
    fflush(stdout);
    printf("%d\n", record.id + numbers[0] + samples_taken_since_last_reset); /* stop */
    return 0;
}
)";

class DebugPanesLayout : public SettingsTestEnvironment {
protected:
    void SetUp() override
    {
        SettingsTestEnvironment::SetUp();
        if (debugtest::gdbPath().isEmpty())
            GTEST_SKIP() << "no gdb on this host";
        ASSERT_TRUE(testsupport::writeFile(settingsFilePath(),
                                           "[Options]\nGCC Path=/usr/bin/gcc\nGDB Path=" +
                                               debugtest::gdbPath().toUtf8() + "\n"));
    }
    void TearDown() override
    {
        if (main)
            main->debugger()->session().stop();
        app.reset();
        // The layout read from this test's file is not left to the next
        // test's panes.
        SaveDebuggerPaneLayout({});
        SettingsTestEnvironment::TearDown();
    }
    void start()
    {
        app.reset();
        main = nullptr;
        app = std::make_unique<CTarnApp>();
        ASSERT_TRUE(app->InitInstance({}));
        main = app->mainWindow();
        QApplication::setActiveWindow(main);
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        panes = main->debugger()->panes();
        stops = 0;
        QObject::connect(&main->debugger()->session(), &DebugSession::stopRefreshed, [this] { ++stops; });
    }
    // Opens the program, sets the breakpoint and runs to it.
    void runToStop(const Program& program)
    {
        fw::Document* doc = app->openDocumentFile(program.source());
        ASSERT_NE(doc, nullptr);
        auto* view = dynamic_cast<CTarnView*>(doc->firstView());
        ASSERT_NE(view, nullptr);
        view->setFocus();
        if (main->debugger()->breakpointBook().breakpoints(program.source()).isEmpty())
            main->debugger()->breakpointBook().toggle(view, program.source(), lineOf(kProgram, "stop") - 1);
        main->debugger()->OnStartDebugging();
        ASSERT_TRUE(waitUntil([&] { return stops > 0; }, 20000));
        ASSERT_TRUE(waitUntil([&] { return local("samples_taken_since_last_reset") != nullptr; }));
    }
    QTreeWidgetItem* local(const char* name) const
    {
        const QList<QTreeWidgetItem*> found = panes->locals->findItems(
            QString::fromUtf8(name), Qt::MatchExactly | Qt::MatchRecursive, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
    // Opens a row and waits for its members.
    bool open(const char* name)
    {
        QTreeWidgetItem* row = local(name);
        if (!row)
            return false;
        row->setExpanded(true);
        return waitUntil([&] { return local(name) && local(name)->childCount() > 0 &&
                                      local(name)->isExpanded(); });
    }
    // The names of every row in sight that do not show whole: the text
    // needs its width and the item view's margins on both sides.
    QStringList clippedNames() const
    {
        QTreeWidget* tree = panes->locals;
        const QFontMetrics metrics(tree->font());
        const int margins = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
        QStringList clipped;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            QTreeWidgetItem* item = *it;
            const QModelIndex index = tree->indexFromItem(item, 0);
            if (!tree->visualRect(index).isValid())
                continue; // inside a closed row
            if (tree->visualRect(index).width() < metrics.horizontalAdvance(item->text(0)) + margins)
                clipped << item->text(0);
        }
        return clipped;
    }

    std::unique_ptr<CTarnApp> app;
    CMainFrame* main = nullptr;
    DebugPanes* panes = nullptr;
    int stops = 0;
};

TEST_F(DebugPanesLayout, NamesShowWholeAndTheLayoutIsKept)
{
    Program program(kProgram);
    ASSERT_TRUE(program.built()) << program.errors().constData();
    start();
    runToStop(program);
    QTreeWidget* locals = panes->locals;

    // The first show gives Locals room for a name of 30 characters, and
    // Program Output for a line of 40 columns.
    EXPECT_TRUE(clippedNames().isEmpty()) << clippedNames().join(QLatin1Char(' ')).toStdString();
    const QString name = QStringLiteral("samples_taken_since_last_reset");
    EXPECT_GE(locals->columnWidth(0),
              locals->indentation() + QFontMetrics(locals->font()).horizontalAdvance(name));
    ASSERT_TRUE(waitUntil([&] { return panes->output->toPlainText().contains(QStringLiteral("6789\n")); }));
    const QString line = QStringLiteral("0123456789012345678901234567890123456789");
    EXPECT_GE(panes->output->viewport()->width(),
              QFontMetrics(panes->output->font()).horizontalAdvance(line) +
                  2 * int(panes->output->document()->documentMargin()));
    EXPECT_EQ(panes->output->horizontalScrollBar()->maximum(), 0);

    // The structure and its nested one open: their members' names, deeper
    // in and longer, widen the name column; the values are beside them.
    ASSERT_TRUE(open("record"));
    ASSERT_TRUE(open("nested"));
    QTreeWidgetItem* deep = local("depth_of_the_inner_member");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->text(1), QStringLiteral("2"));
    EXPECT_EQ(local("samples")->text(2), QStringLiteral("double [3]"));
    EXPECT_TRUE(clippedNames().isEmpty()) << clippedNames().join(QLatin1Char(' ')).toStdString()
                                          << " " << locals->columnWidth(0) << " of "
                                          << locals->viewport()->width();
    EXPECT_LE(locals->columnWidth(0), locals->viewport()->width() / 2);
    // Closed again: the column goes back to the names in sight.
    const int open = locals->columnWidth(0);
    local("record")->setExpanded(false);
    EXPECT_LT(locals->columnWidth(0), open);
    EXPECT_TRUE(clippedNames().isEmpty());

    // The user drags the name column wider and the Program Output dock.
    QHeaderView* header = locals->header();
    const int dragged = locals->columnWidth(0) + 37;
    const QPoint edge(header->sectionViewportPosition(0) + header->sectionSize(0) - 1, header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, edge);
    QTest::mouseMove(header->viewport(), edge + QPoint(18, 0));
    QTest::mouseMove(header->viewport(), edge + QPoint(37, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(37, 0));
    ASSERT_EQ(locals->columnWidth(0), dragged);
    // Rows that change do not undo it.
    local("record")->setExpanded(true);
    EXPECT_EQ(locals->columnWidth(0), dragged);
    main->resizeDocks({panes->outputDock}, {panes->outputDock->width() + 50}, Qt::Horizontal);
    main->resizeDocks({panes->localsDock}, {panes->localsDock->height() + 30}, Qt::Vertical);
    QApplication::processEvents();
    const QSize outputSize = panes->outputDock->size();
    const QSize localsSize = panes->localsDock->size();

    // Closed and started again, with its own settings folder.
    main->debugger()->session().stop();
    ASSERT_TRUE(main->close());
    const QByteArray written = testsupport::readFile(settingsFilePath());
    EXPECT_TRUE(written.contains("[Debugger Panes]")) << written.constData();
    EXPECT_TRUE(written.contains("\nLocals=" + QByteArray::number(dragged) + ",0")) << written.constData();
    start();
    // Before a session the panes stay hidden.
    EXPECT_FALSE(panes->localsDock->isVisibleTo(main));
    EXPECT_FALSE(panes->outputDock->isVisibleTo(main));
    runToStop(program);
    ASSERT_TRUE(waitUntil([&] { return panes->outputDock->size() == outputSize; }))
        << panes->outputDock->width() << " " << outputSize.width();
    EXPECT_EQ(panes->localsDock->size(), localsSize);
    EXPECT_EQ(panes->locals->columnWidth(0), dragged);
    // A double click on the column's edge gives it back to fitting.
    header = panes->locals->header();
    const QPoint back(header->sectionViewportPosition(0) + header->sectionSize(0) - 1, header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, back);
    EXPECT_LT(panes->locals->columnWidth(0), dragged);
    EXPECT_TRUE(clippedNames().isEmpty());
}

} // namespace
