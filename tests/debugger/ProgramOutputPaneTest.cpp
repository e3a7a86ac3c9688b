// The Program Output pane as a terminal: the real DebugPanes on a main
// window (offscreen) given what a program writes, in pieces as the terminal
// hands them, and a real program built with the host's gcc that draws a
// progress line and colours under the host's gdb. What is checked is what
// the pane shows: its text, line by line, and the colour of a word.
#include "DebugProgram.h"

#include "debugger/DebugPanes.h"
#include "settings/IdeContext.h"
#include "debugger/ProgramOutputPane.h"
#include "editor/DebugMargin.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

using debugtest::Program;
using debugtest::waitFor;

namespace {

class ProgramOutputPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panes = new DebugPanes(&frame, &session, &book, context);
        frame.resize(900, 600);
        frame.show();
        panes->beginSession();
    }
    void TearDown() override { session.stop(); }

    // Bytes as the program's terminal gives them to the panes.
    void write(const QByteArray& bytes) { emit session.programOutput(bytes); }
    // Everything written is drawn: the event loop ran until the pane drew it.
    bool drawn()
    {
        return waitFor([this] { return !panes->outputPane->pending(); });
    }
    QStringList lines() const
    {
        return panes->output->toPlainText().split(QLatin1Char('\n'));
    }
    // The format of the character at `column` of the first line holding `text`.
    QTextCharFormat formatAt(const QString& text, int column) const
    {
        QTextDocument* doc = panes->output->document();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            if (block.text().contains(text)) {
                QTextCursor cursor(block);
                cursor.setPosition(block.position() + column + 1); // the format left of it
                return cursor.charFormat();
            }
        }
        ADD_FAILURE() << "no line holds " << text.toStdString();
        return {};
    }

    IdeContext context;
    QMainWindow frame;
    BreakpointBook book;
    DebugSession session;
    DebugPanes* panes = nullptr;
};

TEST_F(ProgramOutputPaneTest, PiecesAsTheTerminalGivesThemShowAsATerminalShowsThem)
{
    struct Case {
        const char* name;
        QList<QByteArray> pieces; // each drawn before the next is written
        QStringList shown;
    };
    const Case cases[] = {
        {"progress rewritten across writes", {"Working 10%", "\rWorking 50%", "\rWorking 100%\n"},
         {"Working 100%", ""}},
        {"the Lua prompt, bracketed paste removed", {"\x1b[?2004h> ", "\x1b[?2004l\r\n"}, {"> ", ""}},
        {"a sequence cut between writes", {"a\x1b[3", "1mred\x1b", "[0m b\n"}, {"ared b", ""}},
        {"a character cut between writes", {"caf\xc3", "\xa9\n"}, {QStringLiteral("café"), ""}},
        {"erase after a return", {"long progress text", "\r\x1b[Kdone\n"}, {"done", ""}},
        {"OSC title and bell", {"\x1b]0;title\x07hi\x07\n"}, {"hi", ""}},
        {"open line then more lines in one write", {"abc", "def\nghi\njk"}, {"abcdef", "ghi", "jk"}},
    };
    for (const Case& row : cases) {
        panes->beginSession();
        for (const QByteArray& piece : row.pieces) {
            write(piece);
            ASSERT_TRUE(drawn()) << row.name;
        }
        EXPECT_EQ(lines(), row.shown) << row.name << ": " << panes->output->toPlainText().toStdString();
    }
}

TEST_F(ProgramOutputPaneTest, ColoursShowAsFormats)
{
    write("plain \x1b[1;31merror:\x1b[0m tail \x1b[38;2;0;128;255mblue\x1b[m\n");
    ASSERT_TRUE(drawn());
    EXPECT_EQ(lines().first(), QStringLiteral("plain error: tail blue"));
    const QTextCharFormat error = formatAt(QStringLiteral("error:"), 6);
    EXPECT_EQ(error.foreground().color(), QColor(0xaa, 0x00, 0x00));
    EXPECT_EQ(error.fontWeight(), QFont::Bold);
    const QTextCharFormat tail = formatAt(QStringLiteral("tail"), 13);
    EXPECT_FALSE(tail.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_NE(tail.fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(QStringLiteral("blue"), 18).foreground().color(), QColor(0, 128, 255));
}

TEST_F(ProgramOutputPaneTest, TheEchoOfInputJoinsThePromptLine)
{
    write("\x1b[32mName?\x1b[0m ");
    ASSERT_TRUE(drawn());
    QTest::keyClicks(panes->outputInput, QStringLiteral("Tarn"));
    QTest::keyClick(panes->outputInput, Qt::Key_Return);
    write("hi Tarn\n");
    ASSERT_TRUE(drawn());
    EXPECT_EQ(lines(), (QStringList{"Name? Tarn", "hi Tarn", ""}));
}

TEST_F(ProgramOutputPaneTest, FullScreenProgramIsToldOnce)
{
    write("\x1b[?1049h\x1b[H\x1b[2Jmenu");
    write("\x1b[?1049l\x1b[?1049h");
    ASSERT_TRUE(drawn());
    const QStringList shown = lines();
    EXPECT_EQ(shown.count(ProgramOutputPane::kFullScreenNote), 1) << shown.join('\n').toStdString();
    EXPECT_TRUE(ProgramOutputPane::kFullScreenNote.contains(QStringLiteral("Debug...")));
    EXPECT_TRUE(ProgramOutputPane::kFullScreenNote.contains(QStringLiteral("Commands menu")));
    EXPECT_EQ(shown.last(), QStringLiteral("menu"));
}

TEST_F(ProgramOutputPaneTest, KeepsTheNewestLinesAndCutsLongOnes)
{
    // 50,000 lines in one write, more than the pane keeps.
    QByteArray flood;
    for (int i = 1; i <= 50000; ++i)
        flood += "line " + QByteArray::number(i) + '\n';
    write(flood + "open");
    ASSERT_TRUE(drawn());
    QPlainTextEdit* output = panes->output;
    ASSERT_EQ(output->blockCount(), DebugPanes::kOutputLines);
    // The newest lines, whole and in order, then the open line.
    const int first = 50000 - (DebugPanes::kOutputLines - 1) + 1;
    EXPECT_EQ(output->document()->firstBlock().text(), QStringLiteral("line %1").arg(first));
    EXPECT_EQ(output->document()->findBlockByNumber(1).text(), QStringLiteral("line %1").arg(first + 1));
    EXPECT_EQ(output->document()->lastBlock().previous().text(), QStringLiteral("line 50000"));
    EXPECT_EQ(output->document()->lastBlock().text(), QStringLiteral("open"));

    // 20 MB without a line end: the pane's line stops at the cut.
    panes->beginSession();
    const QByteArray piece(64 * 1024, 'x');
    for (int i = 0; i < 320; ++i)
        write(piece);
    write("\n");
    ASSERT_TRUE(drawn());
    const QString cut = output->document()->firstBlock().text();
    EXPECT_EQ(cut, QString(TerminalText::kMaxLineLength, QLatin1Char('x')) +
                       QLatin1String(TerminalText::kCutNote));
    EXPECT_EQ(output->blockCount(), 2);
}

TEST_F(ProgramOutputPaneTest, RealProgramDrawsProgressAndColours)
{
    if (debugtest::gdbPath().isEmpty())
        GTEST_SKIP() << "no gdb on this host";
    const QByteArray source = R"(#include <stdio.h>
#include <unistd.h>
int main(void)
{
    for (int i = 0; i <= 100; i += 10) {
        printf("\rcopying %3d%%", i);
        fflush(stdout);
        usleep(2000);
    }
    printf("\n\033[01;32mok\033[0m all copied\n");
    printf("\033[?2004hlua> \033[?2004l\n");
    return 0;
}
)";
    Program program(source);
    ASSERT_TRUE(program.built()) << program.errors().constData();
    bool ended = false;
    QObject::connect(&session, &DebugSession::ended, [&] { ended = true; });
    QString error;
    ASSERT_TRUE(session.start(program.target(), {}, &error)) << error.toStdString();
    ASSERT_TRUE(waitFor([&] { return ended; }));
    ASSERT_TRUE(drawn());
    const QStringList shown = lines();
    EXPECT_TRUE(shown.contains(QStringLiteral("copying 100%"))) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("ok all copied"))) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("lua> "))) << shown.join('\n').toStdString();
    EXPECT_FALSE(panes->output->toPlainText().contains(QChar(0x1b)));
    const QTextCharFormat ok = formatAt(QStringLiteral("ok all copied"), 0);
    EXPECT_EQ(ok.foreground().color(), QColor(0x00, 0xaa, 0x00));
    EXPECT_EQ(ok.fontWeight(), QFont::Bold);
}

} // namespace
