// The debugger's panes on programs that push them: a flood of 100 MB on
// the program's terminal, a recursion 100,000 frames deep and a char array
// of a megabyte, with the host's real gcc and gdb. What is asserted is
// behaviour: commands given during the flood are answered, the panes keep
// their caps and say what they left out.
#include "DebugProgram.h"

#include "debugger/DebugPanes.h"
#include "settings/IdeContext.h"
#include "editor/DebugMargin.h"
#include "support/ProcessWatch.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTreeWidget>

using debugtest::lineOf;
using debugtest::Program;
using debugtest::waitFor;

namespace {

class DebugPanesBadInputTest : public debugtest::SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        if (IsSkipped())
            return;
        // The flood is not kept whole: the pane is what is looked at.
        QObject::disconnect(&session, &DebugSession::programOutput, nullptr, nullptr);
        panes = new DebugPanes(&frame, &session, &book, context);
    }
    void startOn(const Program& program, const QList<BreakpointRequest>& breakpoints)
    {
        panes->beginSession();
        SessionTest::startOn(program, breakpoints);
    }
    QTreeWidgetItem* localRow(const char* name) const
    {
        const QList<QTreeWidgetItem*> found =
            panes->locals->findItems(QString::fromUtf8(name), Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }

    IdeContext context;
    QMainWindow frame;
    BreakpointBook book;
    DebugPanes* panes = nullptr;
};

TEST_F(DebugPanesBadInputTest, FloodOfOutputBreakAndStopAreAnsweredAndThePaneKeepsItsCap)
{
    const QByteArray source = R"(#include <stdio.h>
#include <string.h>
int main(void)
{
    static char line[100];
    memset(line, 'x', sizeof line - 1);
    line[sizeof line - 1] = '\n';
    for (long i = 0; i < 1000000; ++i) /* 100 MB */
        fwrite(line, 1, sizeof line, stdout);
    return 5;
}
)";
    Program program(source);
    startOn(program, {});
    // Well into the flood: the pane is full.
    ASSERT_TRUE(
        waitFor([this] { return panes->output->blockCount() >= DebugPanes::kOutputLines; }, 60000));
    ASSERT_EQ(session.state(), DebugSession::State::Running);

    session.interrupt();
    ASSERT_TRUE(nextStop()) << session.statusText().toStdString();
    EXPECT_TRUE(session.statusText().endsWith(QStringLiteral("(interrupted)")))
        << session.statusText().toStdString();
    EXPECT_FALSE(session.frames().isEmpty());
    EXPECT_LE(panes->output->blockCount(), DebugPanes::kOutputLines);

    // Flooding again, Stop ends it all.
    session.continueRunning();
    ASSERT_TRUE(waitFor([this] { return session.state() == DebugSession::State::Running; }));
    // The pane full of equal lines looks the same as more come: what is
    // counted is the output that reaches it.
    qint64 more = 0;
    QObject::connect(&session, &DebugSession::programOutput,
                     [&](const QByteArray& bytes) { more += bytes.size(); });
    ASSERT_TRUE(waitFor([&] { return more > 1000000; }));
    const qint64 gdb = session.gdbProcessId();
    const qint64 inferior = session.programProcessId();
    session.stop();
    EXPECT_EQ(session.state(), DebugSession::State::Ended);
    EXPECT_TRUE(testsupport::goneSoon(gdb));
    EXPECT_TRUE(testsupport::goneSoon(inferior));
    EXPECT_LE(panes->output->blockCount(), DebugPanes::kOutputLines);
    // What is kept is the newest output, whole lines of it.
    const QString lastLine =
        panes->output->document()->findBlockByNumber(panes->output->blockCount() - 2).text();
    EXPECT_EQ(lastLine, QString(99, QLatin1Char('x')));
}

TEST_F(DebugPanesBadInputTest, DeepRecursionShowsTheFirstThousandFramesAndSaysThereAreMore)
{
    const QByteArray source = R"(int bottom(int depth)
{
    return depth; /* bottom */
}
int down(int n)
{
    if (n == 0)
        return bottom(n);
    return down(n - 1) + 1;
}
int main(void)
{
    return down(100000) & 0x7f;
}
)";
    Program program(source);
    startOn(program, {program.breakAt(lineOf(source, "bottom */"))});
    ASSERT_TRUE(nextStop()) << session.statusText().toStdString();
    EXPECT_EQ(session.frames().size(), DebugSession::kMaxFrames);
    EXPECT_TRUE(session.moreFrames());
    QTreeWidget* stack = panes->stack;
    ASSERT_EQ(stack->topLevelItemCount(), DebugSession::kMaxFrames + 1);
    EXPECT_EQ(stack->topLevelItem(0)->text(0), QStringLiteral("bottom"));
    EXPECT_EQ(stack->topLevelItem(DebugSession::kMaxFrames - 1)->text(0), QStringLiteral("down"));
    EXPECT_EQ(stack->topLevelItem(DebugSession::kMaxFrames)->text(0),
              QStringLiteral("More frames than the 1000 shown"));
    // Still answering: a step out of bottom lands in the deepest down.
    session.stepOut();
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(session.lastStop().frame.function, "down");
}

TEST_F(DebugPanesBadInputTest, MegabyteArrayOpensWithItsFirstThousandElements)
{
    const QByteArray source = R"(#include <string.h>
int main(void)
{
    char big[1 << 20];
    memset(big, 'a', sizeof big);
    return big[5]; /* here */
}
)";
    Program program(source);
    startOn(program, {program.breakAt(lineOf(source, "here"))});
    ASSERT_TRUE(nextStop());
    ASSERT_TRUE(waitFor([this] { return localRow("big") != nullptr; }));
    QTreeWidgetItem* big = localRow("big");
    EXPECT_EQ(big->text(1), QStringLiteral("'a' <repeats 200 times>..."));
    big->setExpanded(true);
    ASSERT_TRUE(waitFor([this] { return localRow("big") && localRow("big")->childCount() > 1; }));
    big = localRow("big");
    ASSERT_EQ(big->childCount(), DebugSession::kMaxChildren + 1);
    EXPECT_EQ(big->child(0)->text(1), QStringLiteral("97 'a'"));
    EXPECT_EQ(big->child(DebugSession::kMaxChildren)->text(0),
              QStringLiteral("More members than the 1000 shown"));
}

} // namespace

// gdb's console in a flood (a `print` of a huge array, a script's loop):
// the pane keeps its newest lines within its cap.
TEST_F(DebugPanesBadInputTest, GdbConsoleKeepsItsCap)
{
    QByteArray lines;
    for (int i = 0; i < DebugPanes::kConsoleLines + 5000; ++i)
        lines += "$" + QByteArray::number(i) + " = 42\n";
    emit session.consoleOutput(lines);
    EXPECT_LE(panes->console->blockCount(), DebugPanes::kConsoleLines);
    const QString last =
        panes->console->document()->findBlockByNumber(panes->console->blockCount() - 2).text();
    EXPECT_EQ(last, QStringLiteral("$%1 = 42").arg(DebugPanes::kConsoleLines + 4999));
}
