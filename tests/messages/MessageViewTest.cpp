// The message view on its own: rows, icons, separators, the column width,
// scrolling, keyboard selection, its commands and appends from workers.
#include "messages/CMessageView.h"
#include "messages/MessageClassifier.h"
#include "messages/MessageLog.h"
#include "messages/MessageSink.h"
#include "messages/MessageTips.h"
#include "resources/CommandIds.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTest>

#include <deque>
#include <thread>
#include <vector>

namespace {

// A row as "icon text", so a listing reads like the window.
QString row(int icon, const QString& text = QString())
{
    return QString::number(icon) + QLatin1Char(' ') + text;
}

QStringList rowsOf(const CMessageView& view)
{
    QStringList rows;
    for (int i = 0; i < view.rowCount(); ++i)
        rows << row(view.rowIcon(i), view.rowText(i));
    return rows;
}

// A shown view holding the given rows.
std::unique_ptr<CMessageView> shownView(int rows)
{
    auto view = std::make_unique<CMessageView>();
    view->resize(630, 110);
    view->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    for (int i = 0; i < rows; ++i)
        view->AppendLine(QStringLiteral("row %1 of a long build").arg(i), 0);
    return view;
}

TEST(MessageView, AppendLineRowsIconsAndSeparators)
{
    CMessageView view;
    view.AppendLine("Errors:", 1);
    view.AppendLine(QString(), 0);
    view.AppendLine("foo.c:12: error: x", 0);
    view.AppendLine("foo.c: warning", 2); // only 1 adds a separator
    view.AppendLine("std::string", -1);
    view.AppendLine(QString(), 1);
    EXPECT_EQ(
        rowsOf(view),
        (QStringList{row(IconInfo, "Errors:"), row(IconSeparator), row(IconNone),
                     row(IconDiagnostic, "foo.c:12: error: x"), row(IconInfo, "foo.c: warning"),
                     row(IconDiagnostic, "std::string"), row(IconNone), row(IconSeparator)}));
}

// Tool output goes into the window as bytes: the same rows and icons as
// row-by-row appends, with every byte of a row kept (a byte-order mark at
// the start of a row too; MessageStore pins the bytes of such rows).
TEST(MessageView, ToolOutputBytesReachTheWindowWhole)
{
    MessageChannel messages;
    CMessageView view;
    view.installAsMessageSink(messages);
    const QByteArray bom("\xef\xbb\xbf");
    MessageBatcher batch(messages);
    batch.add(QStringLiteral("Errors:"), 1);
    batch.addStreamRows(bom + "a.c:1: error: x\r\n" + bom + "\n\xe4\n", true);
    batch.post();
    messages.flush();
    const QString mark(QChar(0xfeff));
    EXPECT_EQ(rowsOf(view),
              (QStringList{row(IconInfo, "Errors:"), row(IconSeparator),
                           row(IconDiagnostic, mark + "a.c:1: error: x"), row(IconInfo, mark),
                           row(IconInfo, "\u00e4"), row(IconNone)}));
    messages.setSink(nullptr);
}

TEST(MessageView, ColumnWidthIsARunningMaximumOfShapedWidthsAndClearResetsIt)
{
    CMessageView view;
    view.setFont(QFont("DejaVu Sans Mono", 10));
    const QFontMetrics metrics(view.font());
    const QString shortText = "short";
    const QString longText = "a much longer line of compiler output, to widen the column";
    for (const QString& text : {shortText, longText, shortText})
        view.AppendLine(text, 0);
    // The longest row's end can be scrolled into view, and a shorter row
    // after it does not narrow the column.
    const int widest = view.columnWidth();
    EXPECT_GT(widest, metrics.horizontalAdvance(longText));
    view.ClearMessages();
    EXPECT_EQ(view.columnWidth(), 0);
    view.AppendLine(shortText, 0);
    EXPECT_GT(view.columnWidth(), metrics.horizontalAdvance(shortText));
    EXPECT_LT(view.columnWidth(), widest);
    const int margin = view.columnWidth() - metrics.horizontalAdvance(shortText);
    view.AppendLine(QString(), 0);
    EXPECT_EQ(view.columnWidth() - metrics.horizontalAdvance(shortText), margin);

    // In a proportional font ASCII rows are measured from per-character
    // advances: within kerning ("AV", "WA") of the shaped width. Other rows
    // are shaped exactly. Either way the room after the row is the same.
    view.setFont(QFont("DejaVu Sans", 10));
    const QFontMetrics shaped(view.font());
    const QString wide = QString(120, QChar(0x00e9)) + " \u2018quoted\u2019";
    view.ClearMessages();
    view.AppendLine(wide, 0);
    EXPECT_EQ(view.columnWidth() - shaped.horizontalAdvance(wide), margin);
    const QString ascii = "src/AVATAR.c:12:5: error: 'WAVE' undeclared (first use)";
    view.ClearMessages();
    view.AppendLine(ascii, 0);
    EXPECT_NEAR(view.columnWidth() - shaped.horizontalAdvance(ascii), margin, 12);
}

TEST(MessageView, ScrollsToTheLastRowAndSelectsByKeyboardAndMouse)
{
    auto view = shownView(500);
    QScrollBar* bar = view->verticalScrollBar();
    // Once the burst ends the last row is at the bottom of the viewport.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return bar->maximum() > 0 && bar->value() == bar->maximum(); }));
    const int bottom = (view->viewport()->height() / view->rowHeight()) * view->rowHeight() - 1;
    EXPECT_EQ(view->rowAt(QPoint(5, bottom)), 499);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(),
              std::max(0, view->columnWidth() - view->viewport()->width()));

    view->setFocus();
    EXPECT_EQ(view->selectedRow(), -1);
    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_Home, 0}, {Qt::Key_Down, 1}, {Qt::Key_Down, 2},  {Qt::Key_Up, 1},
        {Qt::Key_Up, 0},   {Qt::Key_Up, 0},   {Qt::Key_End, 499}, {Qt::Key_Down, 499},
    };
    for (const auto& [key, selected] : steps) {
        QTest::keyClick(view.get(), key);
        EXPECT_EQ(view->selectedRow(), selected) << key;
    }
    EXPECT_EQ(bar->value(), bar->maximum());
    QTest::keyClick(view.get(), Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);

    // A click picks the row under the mouse; one below the rows picks none.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, view->rowHeight() * 2 + 2));
    EXPECT_EQ(view->selectedRow(), 2);
    view->ClearMessages();
    EXPECT_EQ(view->selectedRow(), -1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return bar->maximum() == 0; }));
    EXPECT_EQ(view->rowAt(QPoint(5, 0)), -1);
    view->AppendLine("only", 0);
    view->flushLayout();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, view->rowHeight() * 3));
    EXPECT_EQ(view->selectedRow(), -1);
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST(MessageView, AFloodIsShownAFrameAtATimeAndEndsOnItsLastRow)
{
    auto view = shownView(0);
    QScrollBar* bar = view->verticalScrollBar();
    // Rows after a pause (longer than a frame) show at the next turn of
    // the event loop.
    QTest::qWait(40);
    for (int i = 0; i < 40; ++i)
        view->AppendLine(QStringLiteral("before %1").arg(i), 0);
    QCoreApplication::processEvents();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    // A flood: rows every turn for a while. They are shown while they
    // come, but the rows and scroll bars are laid out and painted at most
    // once a frame, however many turns the loop makes.
    PaintCounter counter;
    view->viewport()->installEventFilter(&counter);
    QElapsedTimer flood;
    flood.start();
    int turns = 0;
    int rows = 40;
    while (flood.elapsed() < 300) {
        for (int i = 0; i < 2; ++i)
            view->AppendLine(QStringLiteral("flood %1").arg(rows++), 0);
        QCoreApplication::processEvents();
        ++turns;
    }
    const qint64 elapsed = flood.elapsed();
    EXPECT_GE(counter.paints, 2);
    // Once a frame (16 ms), with room for a timer that fires a little
    // early: painting on every turn gives hundreds.
    EXPECT_LE(counter.paints, elapsed / 12 + 3) << turns << " turns";
    // Once the flood ends its last row comes to the bottom.
    const int bottom = (view->viewport()->height() / view->rowHeight()) * view->rowHeight() - 1;
    ASSERT_TRUE(testsupport::waitUntil([&] { return view->rowAt(QPoint(5, bottom)) == rows - 1; }));
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(view->rowText(rows - 1), QStringLiteral("flood %1").arg(rows - 1));
    view->viewport()->removeEventFilter(&counter);
}

TEST(MessageView, CommandsClearBannerAndTip)
{
    CMessageView view;
    std::deque<unsigned> draws = {4, 4, 4, 9};
    TipChooser chooser([&draws] {
        const unsigned v = draws.front();
        draws.pop_front();
        return v;
    });
    view.setTipChooser(&chooser);
    view.onInitialUpdate();
    view.onInitialUpdate(); // re-applying settings does not repeat the banner
    for (int id : {cmd::CopyrightVersion, cmd::Tip, cmd::Tip})
        EXPECT_TRUE(view.runCommand(id));
    const QString banner = row(IconInfo, messageBanner());
    EXPECT_EQ(rowsOf(view), (QStringList{banner, row(IconSeparator), banner, row(IconSeparator),
                                         row(IconInfo, tipText(5)), row(IconSeparator),
                                         row(IconInfo, tipText(10)), row(IconSeparator)}));
}

TEST(MessageView, AppendsFromWorkerThreadsKeepEachThreadsOrder)
{
    MessageChannel messages;
    auto view = std::make_unique<CMessageView>();
    view->installAsMessageSink(messages);
    constexpr int Threads = 4;
    constexpr int Lines = 500;
    std::vector<std::thread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([t, &messages] {
            for (int i = 0; i < Lines; ++i)
                messages.add(QStringLiteral("worker%1 line %2").arg(t).arg(i), i % 2);
        });
    }
    // The user-interface thread reports too: its row comes after whatever
    // the workers had queued before it (at once when that takes less than a
    // slice of the event loop, else by the next slices: a loaded machine
    // may need them).
    const QString fromUi = "from the ui thread";
    messages.add(fromUi, 0);
    auto shown = [&] {
        for (int row = 0; row < view->rowCount(); ++row) {
            if (view->rowText(row) == fromUi)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(testsupport::waitUntil(shown));
    for (std::thread& worker : workers)
        worker.join();
    const int expectedRows = 1 + Threads * (Lines + Lines / 2);
    ASSERT_TRUE(testsupport::waitUntil([&] { return view->rowCount() == expectedRows; }));

    std::vector<int> next(Threads, 0);
    for (int row = 0; row < view->rowCount(); ++row) {
        const QString text = view->rowText(row);
        if (text == fromUi)
            continue;
        if (text.isEmpty()) {
            EXPECT_EQ(view->rowIcon(row), IconSeparator);
            continue;
        }
        const int t = text.mid(6, 1).toInt();
        ASSERT_LT(t, Threads);
        EXPECT_EQ(text, QStringLiteral("worker%1 line %2").arg(t).arg(next[t])) << "row " << row;
        ++next[t];
    }
    EXPECT_EQ(next, std::vector<int>(Threads, Lines));

    std::thread clearer([&messages] { messages.clear(); });
    clearer.join();
    ASSERT_TRUE(testsupport::waitUntil([&] { return view->rowCount() == 0; }));

    // A destroyed view stops being the sink; later messages go nowhere.
    view.reset();
    EXPECT_EQ(messages.sink(), nullptr);
    messages.add("dropped", 1);
}

} // namespace
