// What a program writes to its terminal, read as a line-oriented terminal
// shows it: rows of bytes with the lines and the open line they give, each
// row also fed cut at every byte (and a byte at a time), which must give the
// same.
#include "debugger/TerminalText.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

struct Shown {
    QStringList lines; // finished lines
    QString open;      // the line the cursor is on
    bool fullScreen = false;
};

Shown take(TerminalText& terminal)
{
    Shown shown;
    for (const TerminalLine& line : terminal.takeFinished(1 << 30))
        shown.lines.append(line.text);
    shown.open = terminal.openLine().text;
    shown.fullScreen = terminal.fullScreen();
    return shown;
}

Shown whole(const QByteArray& bytes)
{
    TerminalText terminal;
    terminal.feed(bytes);
    return take(terminal);
}

std::string describe(const Shown& shown)
{
    return (shown.lines.join(QStringLiteral("|")) + QStringLiteral(" / open \"") + shown.open +
            QStringLiteral("\"") + (shown.fullScreen ? QStringLiteral(" full screen") : QString()))
        .toStdString();
}

void expectSame(const Shown& got, const Shown& want, const std::string& where)
{
    EXPECT_EQ(got.lines, want.lines) << where << ": " << describe(got);
    EXPECT_EQ(got.open, want.open) << where << ": " << describe(got);
    EXPECT_EQ(got.fullScreen, want.fullScreen) << where;
}

// The row fed in two pieces cut at every place, and a byte at a time.
void expectAnyCut(const QByteArray& bytes, const Shown& want, const char* name)
{
    for (qsizetype cut = 1; cut < bytes.size(); ++cut) {
        TerminalText terminal;
        terminal.feed(QByteArrayView(bytes).first(cut));
        terminal.feed(QByteArrayView(bytes).sliced(cut));
        expectSame(take(terminal), want, std::string(name) + " cut at " + std::to_string(cut));
    }
    TerminalText terminal;
    for (char c : bytes)
        terminal.feed(QByteArrayView(&c, 1));
    expectSame(take(terminal), want, std::string(name) + " a byte at a time");
}

struct TextCase {
    const char* name;
    QByteArray bytes;
    QStringList lines;
    QString open;
    bool fullScreen = false;
};

TEST(TerminalText, ControlsAndSequencesGiveTheTextATerminalShows)
{
    const QString replacement(QChar(0xfffd));
    const TextCase cases[] = {
        {"plain lines", "one\ntwo\nthr", {"one", "two"}, "thr"},
        {"progress overwritten by CR", "50%\r60%", {}, "60%"},
        {"progress lines ended", "Loading 10%\rLoading 20%\rLoading 99%\r\ndone\n", {"Loading 99%", "done"}, ""},
        {"CR overwrites from the start only", "abcdef\rxy", {}, "xycdef"},
        {"CR LF ends the line", "dos line\r\nnext", {"dos line"}, "next"},
        {"backspace overwrites", "ab\bc", {}, "ac"},
        {"backspace at the start stays", "\b\bx", {}, "x"},
        {"tab to the next multiple of 8", "a\tb\tc\n12345678\tx", {"a       b       c"}, "12345678        x"},
        {"bell dropped", "ding\a!", {}, "ding!"},
        {"other controls dropped", QByteArray("a\0b\x0e\x0f\x7f" "c", 7), {}, "abc"},
        {"vertical tab and form feed end lines", "a\vb\fc", {"a", "b"}, "c"},
        // The Lua interpreter's prompt under readline.
        {"bracketed paste around a prompt", "\x1b[?2004h> \x1b[?2004l\rprint(1)\n1\n", {"print(1)", "1"}, ""},
        {"cursor keys and modes", "\x1b[?1h\x1b=x\x1b[?1l\x1b>y\x1b[A\x1b[2B", {}, "xy"},
        {"erase to end of line", "progress 100%\r\x1b[Kdone", {}, "done"},
        {"erase whole line keeps the column", "abcdef\x1b[2K\rxy", {}, "xy"},
        {"erase to the start", "abcdef\b\b\x1b[1Kz", {}, "    zf"},
        {"cursor back and forward", "abcdef\x1b[3DX\x1b[CY", {}, "abcXeY"},
        {"cursor forward past the end pads", "ab\x1b[3Cc", {}, "ab   c"},
        {"column absolute", "abcdef\x1b[2GX", {}, "aXcdef"},
        {"OSC title ended by BEL", "\x1b]0;my title\ahello", {}, "hello"},
        {"OSC ended by ST", "\x1b]2;title\x1b\\hello", {}, "hello"},
        {"OSC 8 hyperlink", "\x1b]8;;http://x\x1b\\link\x1b]8;;\x1b\\ text", {}, "link text"},
        {"DCS string dropped", "\x1bPq#0;2;0;0;0\x1b\\after", {}, "after"},
        {"charset selections", "\x1b(B\x1b)0a\x0e\x0f" "b", {}, "ab"},
        {"two-byte sequences", "\x1b" "7a\x1b" "8b\x1b" "Mc\x1b" "cd", {}, "abcd"},
        {"sequence cancelled by CAN", "\x1b[12\x18x", {}, "x"},
        {"LF inside a CSI acts", "a\x1b[1\nm" "b", {"a"}, "b"},
        {"unknown CSI with intermediates", "\x1b[0 qa\x1b[!pb", {}, "ab"},
        {"overlong CSI is dropped", "\x1b[" + QByteArray(200, '1') + "mz", {}, "z"},
        {"UTF-8 kept", "h\xc3\xa9llo \xe2\x82\xac \xf0\x9f\x98\x80", {}, QStringLiteral("héllo € 😀")},
        {"invalid UTF-8 replaced", "a\xff" "b\xc3(", {}, "a" + replacement + "b" + replacement + "("},
        // Qt's decoder gives one U+FFFD a byte of a character cut short.
        {"character cut by a control", "x\xe2\x82\ny", {"x" + replacement + replacement}, "y"},
        {"character cut by an escape", "x\xe2\x1b[my", {}, "x" + replacement + "y"},
        {"stray continuation bytes", "\x80\x80z", {}, replacement + replacement + "z"},
        {"lone lead byte at the end", "abc\xe2", {}, "abc"},
        {"alternate screen", "\x1b[?1049hmenu", {}, "menu", true},
        {"old alternate screen", "\x1b[?47h", {}, "", true},
        {"alternate screen 1047 among modes", "\x1b[?25;1047h", {}, "", true},
        {"screen cleared and cursor addressed", "\x1b[2J\x1b[5;10Hx", {}, "         x", true},
        {"home then clear, as clear(1) does", "\x1b[H\x1b[2J\x1b[3J", {}, "", true},
        {"clear alone is not a full screen", "\x1b[2Jtext", {}, "text"},
        {"leaving the alternate screen is not asking", "\x1b[?1049l", {}, ""},
    };
    for (const TextCase& row : cases) {
        const Shown want{row.lines, row.open, row.fullScreen};
        expectSame(whole(row.bytes), want, row.name);
        expectAnyCut(row.bytes, want, row.name);
    }
}

struct RunCase {
    const char* name;
    QByteArray bytes;
    QString text;
    QList<TerminalRun> runs;
};

TerminalStyle foreground(quint32 rgb)
{
    TerminalStyle style;
    style.foreground = rgb;
    return style;
}

TEST(TerminalText, GraphicsSequencesGiveColouredRuns)
{
    TerminalStyle boldGreen = foreground(TerminalPaletteColour(2));
    boldGreen.bold = true;
    TerminalStyle onBlue;
    onBlue.background = TerminalPaletteColour(4);
    TerminalStyle inverse;
    inverse.inverse = true;
    TerminalStyle underlinedItalic;
    underlinedItalic.underline = true;
    underlinedItalic.italic = true;
    const RunCase cases[] = {
        {"red word", "a \x1b[31mred\x1b[0m word", "a red word", {{2, 3, foreground(0xaa0000)}}},
        {"reset by an empty SGR", "\x1b[31mr\x1b[mx", "rx", {{0, 1, foreground(0xaa0000)}}},
        {"bold green, as gcc writes", "\x1b[01;32mok\x1b[m", "ok", {{0, 2, boldGreen}}},
        {"bright colours", "\x1b[91mx\x1b[39m", "x", {{0, 1, foreground(0xff5555)}}},
        {"256 colours", "\x1b[38;5;196mx", "x", {{0, 1, foreground(0xff0000)}}},
        {"256 colours, grey ramp", "\x1b[38;5;232mx", "x", {{0, 1, foreground(0x080808)}}},
        {"truecolour", "\x1b[38;2;1;2;3mx", "x", {{0, 1, foreground(0x010203)}}},
        {"truecolour with colons", "\x1b[38:2::10:20:30mx", "x", {{0, 1, foreground(0x0a141e)}}},
        {"256 colours with colons", "\x1b[38:5:21mx", "x", {{0, 1, foreground(0x0000ff)}}},
        {"background", "\x1b[44m \x1b[49m.", " .", {{0, 1, onBlue}}},
        {"inverse", "\x1b[7mbar\x1b[27m", "bar", {{0, 3, inverse}}},
        {"underline and italic, then off", "\x1b[4;3mu\x1b[24;23mv", "uv", {{0, 1, underlinedItalic}}},
        {"colour carries to the next line", "\x1b[32ma\nb", "b", {{0, 1, foreground(0x00aa00)}}},
        {"CR overwrites a colour", "\x1b[31mred\r\x1b[0mR", "Red", {{1, 2, foreground(0xaa0000)}}},
        {"erase removes coloured text", "\x1b[31mabc\x1b[0m\r\x1b[Kx", "x", {}},
        {"truncated extended colour is ignored", "\x1b[38;5mx", "x", {}},
    };
    for (const RunCase& row : cases) {
        for (qsizetype cut = 0; cut < row.bytes.size(); ++cut) {
            TerminalText terminal;
            terminal.feed(QByteArrayView(row.bytes).first(cut));
            terminal.feed(QByteArrayView(row.bytes).sliced(cut));
            const TerminalLine line = terminal.openLine();
            EXPECT_EQ(line.text, row.text) << row.name << " cut at " << cut;
            EXPECT_EQ(line.runs, row.runs) << row.name << " cut at " << cut;
        }
    }
}

TEST(TerminalText, FinishedLinesKeepTheirRuns)
{
    TerminalText terminal;
    terminal.feed("\x1b[1;31merror:\x1b[0m x\nplain\n");
    const std::vector<TerminalLine> lines = terminal.takeFinished(10);
    ASSERT_EQ(lines.size(), 2u);
    TerminalStyle boldRed = foreground(0xaa0000);
    boldRed.bold = true;
    EXPECT_EQ(lines[0], (TerminalLine{QStringLiteral("error: x"), {{0, 6, boldRed}}}));
    EXPECT_EQ(lines[1], (TerminalLine{QStringLiteral("plain"), {}}));
}

TEST(TerminalText, PaletteHasTheCubeAndTheGreys)
{
    EXPECT_EQ(TerminalPaletteColour(0), 0x000000u);
    EXPECT_EQ(TerminalPaletteColour(15), 0xffffffu);
    EXPECT_EQ(TerminalPaletteColour(16), 0x000000u);
    EXPECT_EQ(TerminalPaletteColour(16 + 36 * 5 + 6 * 2 + 1), 0xff875fu);
    EXPECT_EQ(TerminalPaletteColour(231), 0xffffffu);
    EXPECT_EQ(TerminalPaletteColour(255), 0xeeeeeeu);
    EXPECT_EQ(TerminalPaletteColour(256), kTerminalDefaultColour);
}

TEST(TerminalText, OnlyTheNewestLinesWaitAndTheDroppedAreCounted)
{
    TerminalText terminal(3);
    terminal.feed("1\n2\n3\n4\n5\nopen");
    EXPECT_EQ(terminal.finishedCount(), 3);
    EXPECT_EQ(terminal.droppedLines(), 2);
    std::vector<TerminalLine> first = terminal.takeFinished(2);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].text, QStringLiteral("3"));
    EXPECT_EQ(first[1].text, QStringLiteral("4"));
    terminal.addLine(QStringLiteral("[note]"));
    std::vector<TerminalLine> rest = terminal.takeFinished(10);
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].text, QStringLiteral("5"));
    EXPECT_EQ(rest[1].text, QStringLiteral("[note]"));
    EXPECT_EQ(terminal.openLine().text, QStringLiteral("open"));
}

TEST(TerminalText, LongLinesAreCutAndSaySo)
{
    const QString note = QLatin1String(TerminalText::kCutNote);
    const qsizetype max = TerminalText::kMaxLineLength;
    TerminalText terminal;
    // Ten megabytes without a line end, in pieces.
    const QByteArray piece(64 * 1024, 'x');
    for (int i = 0; i < 160; ++i)
        terminal.feed(piece);
    EXPECT_EQ(terminal.openLine().text, QString(max, QLatin1Char('x')) + note);
    terminal.feed("\rshort\n");
    const std::vector<TerminalLine> lines = terminal.takeFinished(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text.size(), max + note.size());
    EXPECT_TRUE(lines[0].text.startsWith(QStringLiteral("shortxxx")));
    // The next line starts whole; a line of exactly the limit is not cut.
    terminal.feed(QByteArray(max, 'y') + "\n");
    EXPECT_EQ(terminal.takeFinished(1).at(0).text, QString(max, QLatin1Char('y')));
    // Multibyte characters, and a tab, past the limit.
    terminal.feed(QByteArray(max - 1, 'z') + "\xc3\xa9\xc3\xa9\t\xc3\xa9\n");
    EXPECT_EQ(terminal.takeFinished(1).at(0).text,
              QString(max - 1, QLatin1Char('z')) + QChar(0xe9) + note);
}

TEST(TerminalText, FullScreenIsToldOnceAndResetForgetsEverything)
{
    TerminalText terminal;
    terminal.feed("\x1b[?1049h");
    EXPECT_TRUE(terminal.fullScreenUntold());
    EXPECT_TRUE(terminal.takeFullScreen());
    EXPECT_FALSE(terminal.takeFullScreen());
    terminal.feed("\x1b[?1049l\x1b[?1049h");
    EXPECT_FALSE(terminal.takeFullScreen());
    terminal.feed("\x1b[31mred\x1b[12");
    terminal.reset();
    EXPECT_FALSE(terminal.fullScreen());
    terminal.feed("3mx\n");
    const std::vector<TerminalLine> lines = terminal.takeFinished(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (TerminalLine{QStringLiteral("3mx"), {}}));
}

TEST(TerminalText, BellsAreCounted)
{
    TerminalText terminal;
    terminal.feed("\a\a\x1b]0;t\a");
    EXPECT_EQ(terminal.bells(), 2);
}

TEST(TerminalText, OpenLineChangesAreTracked)
{
    TerminalText terminal;
    EXPECT_FALSE(terminal.openLineChanged());
    terminal.feed("\x1b[?2004h");
    EXPECT_FALSE(terminal.openLineChanged());
    terminal.feed("> ");
    EXPECT_TRUE(terminal.openLineChanged());
    terminal.markOpenLineShown();
    terminal.feed("\x1b[K");
    EXPECT_TRUE(terminal.openLineChanged());
}

} // namespace
