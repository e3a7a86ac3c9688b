// The source font of Options reaches every style of every source window:
// C, makefile and plain text, with Syntax Colouring on and off, at once.
#include "EditorFixture.h"

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct StyleFont {
    std::string family;
    long size = 0;
    long weight = 0;
    bool italic = false;
    bool operator==(const StyleFont&) const = default;
};

std::ostream& operator<<(std::ostream& out, const StyleFont& f)
{
    return out << f.family << " " << f.size << " weight " << f.weight << (f.italic ? " italic" : "");
}

StyleFont fontOf(CTarnView* view, int style)
{
    char family[128] = {};
    view->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, static_cast<unsigned long>(style), family);
    StyleFont f;
    f.family = family;
    f.size = view->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL, static_cast<unsigned long>(style));
    f.weight = view->SendScintilla(QsciScintillaBase::SCI_STYLEGETWEIGHT, static_cast<unsigned long>(style));
    f.italic = view->SendScintilla(QsciScintillaBase::SCI_STYLEGETITALIC, static_cast<unsigned long>(style)) != 0;
    return f;
}

long lineHeight(CTarnView* view)
{
    return view->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL);
}

struct Window {
    const char* name;
    QByteArray text;
    CTarnView* view = nullptr;
};

// Every style of every window (the ones the text uses, the default, the
// line numbers', and all others) in `want`, and one line height for all.
void expectFontEverywhere(std::vector<Window>& windows, const StyleFont& want, const char* when)
{
    SCOPED_TRACE(when);
    const long height = lineHeight(windows.front().view);
    for (Window& w : windows) {
        SCOPED_TRACE(w.name);
        w.view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        for (int style = 0; style <= int(QsciScintillaBase::STYLE_MAX); ++style)
            ASSERT_EQ(fontOf(w.view, style), want) << "style " << style;
        EXPECT_EQ(lineHeight(w.view), height);
    }
}

// The Options dialog's OK: the new font, then every source window
// updated, as the main frame does it.
void chooseFont(IdeContext& context, std::vector<Window>& windows, const QFont& font)
{
    IdeSettings settings = context.settings();
    settings.sourceFont = font;
    context.setSettings(settings);
    for (Window& w : windows)
        w.view->onInitialUpdate();
}

// The View menu's Syntax Colouring switch.
void setColouring(IdeContext& context, std::vector<Window>& windows, bool on)
{
    IdeSettings settings = context.settings();
    settings.editor.syntaxColouring = on;
    context.setSettings(settings);
    for (Window& w : windows)
        w.view->applyEditorSwitches();
}

TEST(SourceFont, EveryStyleOfEveryWindowTakesTheSourceFont)
{
    EditorFixture f;
    std::vector<Window> windows = {
        {"main.c", "int main(void) { return 0; } /* c */\n#if 0\nint gone;\n#endif\n\"s\" 'c' 12\n"},
        {"Makefile", "# link\nall: main.o\n\tgcc -o main main.o\n"},
        {"notes.txt", "plain text\n"},
    };
    for (Window& w : windows) {
        w.view = EditorFixture::viewOf(f.openBytes(w.name, w.text));
        ASSERT_NE(w.view, nullptr) << w.name;
    }

    QFont bold(QStringLiteral("DejaVu Sans Mono"), 14);
    bold.setStyleName(QStringLiteral("Bold Oblique"));
    bold.setBold(true);
    bold.setStyle(QFont::StyleOblique);
    chooseFont(f.tools, windows, bold);
    // What QScintilla gives the line numbers for this font is the font.
    const StyleFont want = fontOf(windows.front().view, QsciScintillaBase::STYLE_LINENUMBER);
    EXPECT_EQ(want.family, "DejaVu Sans Mono");
    EXPECT_EQ(want.size, 14 * long(QsciScintillaBase::SC_FONT_SIZE_MULTIPLIER));
    EXPECT_TRUE(want.italic);
    QFont regular(QStringLiteral("DejaVu Sans Mono"), 14);
    chooseFont(f.tools, windows, regular);
    const StyleFont plain = fontOf(windows.front().view, QsciScintillaBase::STYLE_LINENUMBER);
    EXPECT_NE(plain.weight, want.weight);
    EXPECT_FALSE(plain.italic);
    const long regularHeight = lineHeight(windows.front().view);

    chooseFont(f.tools, windows, bold);
    expectFontEverywhere(windows, want, "bold oblique, colouring on");
    setColouring(f.tools, windows, false);
    expectFontEverywhere(windows, want, "bold oblique, colouring off");
    setColouring(f.tools, windows, true);
    expectFontEverywhere(windows, want, "colouring on again");

    // A smaller font after the switch went off and on: the old windows
    // take the new line height at once, the same as a window opened now.
    setColouring(f.tools, windows, false);
    setColouring(f.tools, windows, true);
    QFont small(QStringLiteral("DejaVu Sans Mono"), 8);
    chooseFont(f.tools, windows, small);
    windows.push_back({"fresh.c", "int fresh;\n"});
    windows.back().view = EditorFixture::viewOf(f.openBytes("fresh.c", "int fresh;\n"));
    ASSERT_NE(windows.back().view, nullptr);
    const StyleFont smallWant = fontOf(windows.back().view, QsciScintillaBase::STYLE_LINENUMBER);
    EXPECT_EQ(smallWant.size, 8 * long(QsciScintillaBase::SC_FONT_SIZE_MULTIPLIER));
    expectFontEverywhere(windows, smallWant, "small font after switching colouring off and on");
    EXPECT_LT(lineHeight(windows.front().view), regularHeight);
    setColouring(f.tools, windows, false);
    expectFontEverywhere(windows, smallWant, "small font, colouring off");
}

} // namespace
