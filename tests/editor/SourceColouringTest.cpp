// Colouring by file kind, line numbers and brace marks in source windows.
#include "EditorFixture.h"

#include "editor/SourceKind.h"
#include "support/ScriptedPrompts.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexermakefile.h>

#include <QCoreApplication>
#include <QSet>

#include <gtest/gtest.h>

namespace {

TEST(SourceKind, ByTheFileName)
{
    struct Case {
        const char* path;
        SourceKind kind;
    };
    const Case cases[] = {
        {"", SourceKind::C},
        {"/p/a.c", SourceKind::C},
        {"/p/A.C", SourceKind::C},
        {"/p/a.h", SourceKind::C},
        {"/p/a.cpp", SourceKind::C},
        {"/p/a.cc", SourceKind::C},
        {"/p/a.CXX", SourceKind::C},
        {"/p/a.hpp", SourceKind::C},
        {"/p/a.hh", SourceKind::C},
        {"/p/a.hxx", SourceKind::C},
        {"/p/a.inl", SourceKind::C},
        {"/p/Makefile", SourceKind::Makefile},
        {"/p/makefile", SourceKind::Makefile},
        {"/p/GNUmakefile", SourceKind::Makefile},
        {"/p/rules.mk", SourceKind::Makefile},
        {"/p/MAKEFILE", SourceKind::Text},
        {"/p/notes.txt", SourceKind::Text},
        {"/p/README", SourceKind::Text},
        {"/p/.c", SourceKind::Text},
        {"/p.c/README", SourceKind::Text},
        {"/p/a.c.orig", SourceKind::Text},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SourceKindOf(c.path), c.kind) << c.path;
}

// The styles a window's control uses for a few spots of its text.
int styleAt(CTarnView* view, const QByteArray& text, const QByteArray& spot)
{
    view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    return int(view->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                                   static_cast<unsigned long>(text.indexOf(spot))));
}

TEST(SourceColouring, EachKindOfFileGetsItsColouringInTheSourceFont)
{
    EditorFixture f;
    IdeSettings settings = f.tools.settings();
    settings.sourceFont = QFont(QStringLiteral("DejaVu Sans Mono"), 13);
    f.tools.setSettings(settings);

    const QByteArray c = "int main(void) { return 0; }\n#if 0\nint gone;\n#endif\n";
    CTarnView* source = EditorFixture::viewOf(f.openBytes("main.c", c));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->sourceKind(), SourceKind::C);
    EXPECT_NE(qobject_cast<QsciLexerCPP*>(source->lexer()), nullptr);
    EXPECT_EQ(styleAt(source, c, "int main"), QsciLexerCPP::Keyword);
    // Left out by "#if 0": an inactive style, drawn in grey.
    const int inactive = styleAt(source, c, "int gone");
    EXPECT_EQ(inactive, QsciLexerCPP::InactiveKeyword);
    EXPECT_NE(source->lexer()->color(inactive), source->lexer()->color(QsciLexerCPP::Keyword));

    const QByteArray make = "# link\nall: main.o\n\tgcc -o main main.o\n";
    CTarnView* makefile = EditorFixture::viewOf(f.openBytes("Makefile", make));
    ASSERT_NE(makefile, nullptr);
    EXPECT_EQ(makefile->sourceKind(), SourceKind::Makefile);
    EXPECT_NE(qobject_cast<QsciLexerMakefile*>(makefile->lexer()), nullptr);
    EXPECT_EQ(styleAt(makefile, make, "# link"), QsciLexerMakefile::Comment);

    CTarnView* text = EditorFixture::viewOf(f.openBytes("notes.txt", "int x; // not C\n"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->lexer(), nullptr);
    EXPECT_EQ(styleAt(text, "int x; // not C\n", "// not"), 0);

    // Every style the text is drawn in, and the margin's, is the source font.
    const std::pair<CTarnView*, QByteArray> shown[] = {{source, c}, {makefile, make}, {text, "int x; // not C\n"}};
    for (const auto& [view, bytes] : shown) {
        QSet<int> styles{int(QsciScintillaBase::STYLE_DEFAULT), int(QsciScintillaBase::STYLE_LINENUMBER)};
        for (qsizetype i = 0; i < bytes.size(); ++i)
            styles.insert(int(view->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(i))));
        for (int style : styles) {
            char family[128] = {};
            view->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style, family);
            EXPECT_STREQ(family, "DejaVu Sans Mono") << style;
            EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, style), 13) << style;
        }
    }

    // Save As under another kind of name colours the text anew.
    CTarnDoc* doc = source->sourceDocument();
    ScriptedPrompts prompts;
    prompts.saveFiles = {f.path("notes2.txt"), f.path("again.cpp")};
    ASSERT_TRUE(doc->doSave(QString()));
    EXPECT_EQ(source->sourceKind(), SourceKind::Text);
    EXPECT_EQ(source->lexer(), nullptr);
    EXPECT_EQ(styleAt(source, c, "int main"), 0);
    ASSERT_TRUE(doc->doSave(QString()));
    EXPECT_EQ(source->sourceKind(), SourceKind::C);
    EXPECT_EQ(styleAt(source, c, "int main"), QsciLexerCPP::Keyword);
}

// The line-number margin is as wide as the largest number needs.
TEST(SourceColouring, NumberMarginGrowsWithTheLines)
{
    EditorFixture f;
    CTarnView* view = EditorFixture::viewOf(f.openBytes("lines.c", "a\nb\n"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->marginType(0), QsciScintilla::NumberMargin);
    const int narrow = view->marginWidth(0);
    EXPECT_GT(narrow, 0);
    view->append(QByteArray(99999, '\n'));
    QCoreApplication::processEvents();
    const int wide = view->marginWidth(0);
    const int digit = int(view->SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                              QsciScintillaBase::STYLE_LINENUMBER, "9"));
    // 3 lines -> 100,002 lines: five digits more.
    EXPECT_GE(wide - narrow, 5 * digit);
    EXPECT_LT(wide - narrow, 6 * digit);
    view->setText("x");
    QCoreApplication::processEvents();
    EXPECT_EQ(view->marginWidth(0), narrow);
}

} // namespace
