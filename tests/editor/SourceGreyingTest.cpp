// What C colouring knows of a file: "#if" blocks are greyed only when
// certainly left out (by the file's own definitions and its compile
// options' -D and -U), and names are keywords of the file's language. The
// styles are read from the control.
#include "EditorFixture.h"

#include "editor/CSourceLexer.h"
#include "editor/SourceKind.h"
#include "support/ScriptedPrompts.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qsciscintilla.h>

#include <QTest>

#include <gtest/gtest.h>

namespace {

int styleAtOffset(QsciScintilla& control, qsizetype at)
{
    return int(control.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(at)));
}

// Every name "live..." or "grey..." of the text styled as its name says
// (grey: an inactive style); "" when all are, else the first that is not.
std::string checkGreying(QsciScintilla& control, const QByteArray& text)
{
    control.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    for (const char* kind : {"live", "grey"}) {
        for (qsizetype at = text.indexOf(kind); at >= 0; at = text.indexOf(kind, at + 1)) {
            const bool grey = styleAtOffset(control, at) & QsciLexerCPP::InactiveDefault;
            if (grey != (kind[0] == 'g')) {
                const qsizetype end = text.indexOf(';', at);
                return "\"" + text.mid(at, end - at).toStdString() + "\" is drawn "
                       + (grey ? "grey" : "live") + " in:\n" + text.toStdString();
            }
        }
    }
    return {};
}

std::string greyingOf(const char* options, const QByteArray& text)
{
    QsciScintilla control;
    CSourceLexer lexer;
    lexer.setCompileOptions(QString::fromLatin1(options));
    control.setLexer(&lexer);
    control.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.constData());
    std::string result = checkGreying(control, text);
    control.setLexer(nullptr);
    return result;
}

TEST(SourceGreying, GreysOnlyWhatIsCertainlyLeftOut)
{
    struct Case {
        const char* options; // the file's compile options
        const char* text;
    };
    const Case cases[] = {
        // A name the file and its options say nothing of: unknown.
        {"", "#if defined(LUA_USE_LINUX)\nlive1;\n#else\nlive2;\n#endif\n"},
        {"-O2 -DLUA_USE_LINUX -Wall", "#if defined(LUA_USE_LINUX)\nlive1;\n#else\ngrey2;\n#endif\n"},
        {"-D LUA_USE_LINUX", "#ifdef LUA_USE_LINUX\nlive1;\n#else\ngrey2;\n#endif\n"},
        {"-ULUA_USE_LINUX", "#if defined(LUA_USE_LINUX)\ngrey1;\n#else\nlive2;\n#endif\n"},
        {"-DLUA_USE_LINUX -ULUA_USE_LINUX", "#ifdef LUA_USE_LINUX\ngrey1;\n#endif\n"},
        {"", "#ifdef FOO\nlive1;\n#else\nlive2;\n#endif\n#ifndef FOO\nlive3;\n#else\nlive4;\n#endif\n"},
        {"", "#if FOO\nlive1;\n#elif BAR\nlive2;\n#else\nlive3;\n#endif\n"},
        {"", "#ifndef HEADER_H\n#define HEADER_H\nlive;\n#endif\n"},
        {"", "#if __GNUC__ >= 4\nlive1;\n#else\nlive2;\n#endif\n"},
        // Literals decide; an unknown name may not matter.
        {"", "#if 0\ngrey1;\n#elif FOO\nlive2;\n#else\nlive3;\n#endif\n"},
        {"", "#if 1\nlive1;\n#elif FOO\ngrey2;\n#else\ngrey3;\n#endif\n"},
        {"", "#if FOO\nlive1;\n#elif 1\nlive2;\n#else\ngrey3;\n#endif\n"},
        {"", "#if FOO\nlive1;\n#elif 0\ngrey2;\n#else\nlive3;\n#endif\n"},
        {"", "#if 0 && FOO\ngrey1;\n#endif\n#if FOO && 0\ngrey2;\n#endif\n#if 1 || FOO\nlive3;\n#else\ngrey4;\n#endif\n"},
        {"", "#if !(FOO || 1)\ngrey1;\n#endif\n#if FOO ? 1 : 1\nlive2;\n#else\ngrey3;\n#endif\n"},
        // The arithmetic of C.
        {"", "#if 2 + 3 * 0 == 2\nlive1;\n#else\ngrey2;\n#endif\n"},
        {"", "#if 0x10 == 16 && 010 == 8 && 0b11 == 3 && 1'000 == 1000 && 'A' == 65\nlive1;\n#else\ngrey2;\n#endif\n"},
        {"", "#if -1 < 0u\ngrey1;\n#else\nlive2;\n#endif\n#if -1 < 0\nlive3;\n#else\ngrey4;\n#endif\n"},
        {"", "#if 99999999999 == 1410065407\ngrey1;\n#else\nlive2;\n#endif\n"},
        {"", "#if (1 << 4) == 16 && 7 % 4 == 3 && (~0 & 3) == 3 && 3 - 1 - 2 == 0\nlive1;\n#else\ngrey2;\n#endif\n"},
        {"", "#if 0 /* not || 1 */ || 1\nlive1;\n#else\ngrey2;\n#endif\n"},
        // What Tarn does not evaluate is unknown.
        {"", "#define M(x) (x)\n#if M(0)\nlive1;\n#else\nlive2;\n#endif\n"},
        {"", "#if __has_include(<stdio.h>)\nlive1;\n#else\nlive2;\n#endif\n"},
        {"", "#if (int)0\nlive1;\n#else\nlive2;\n#endif\n"},
        {"", "#if 5 / 0\nlive1;\n#else\nlive2;\n#endif\n#if 1.5\nlive3;\n#else\nlive4;\n#endif\n"},
        {"", "#if\nlive1;\n#endif\n#if (1\nlive2;\n#else\nlive3;\n#endif\n#ifdef\nlive4;\n#endif\n"},
        {"", "#define E\n#if E\nlive1;\n#else\nlive2;\n#endif\n"},
        // The file's own definitions, in order.
        {"", "#define A 2\n#if A * 2 == 4 && defined A\nlive1;\n#else\ngrey2;\n#endif\n#undef A\n#if A\ngrey3;\n#endif\n"},
        {"", "#define B A + 1\n#define A 1\n#if B == 2\nlive1;\n#else\ngrey2;\n#endif\n"},
        {"-DFOO", "#undef FOO\n#ifdef FOO\ngrey1;\n#else\nlive2;\n#endif\n"},
        {"-DLEVEL=3", "#if LEVEL > 2\nlive1;\n#else\ngrey2;\n#endif\n"},
        {"'-DNAME=2 + 1'", "#if NAME == 3\nlive1;\n#else\ngrey2;\n#endif\n"},
        {"", "#if 1\n#define BAR 0\n#endif\n#if BAR\ngrey1;\n#else\nlive2;\n#endif\n"},
        {"", "#if 0\n#define BAR 1\n#endif\n#ifdef BAR\nlive1;\n#endif\n"},
        // A definition that may or may not be made leaves its name unknown.
        {"-UBAR", "#ifdef FOO\n#define BAR 1\n#endif\n#if BAR\nlive1;\n#else\nlive2;\n#endif\n"},
        {"-DBAR", "#ifdef FOO\n#undef BAR\n#endif\n#ifdef BAR\nlive1;\n#else\nlive2;\n#endif\n"},
        // Nested blocks.
        {"", "#if FOO\n#if 0\ngrey1;\n#endif\nlive2;\n#endif\n"},
        {"", "#if 0\n#if FOO\ngrey1;\n#else\ngrey2;\n#endif\n#endif\nlive3;\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(greyingOf(c.options, c.text), "") << "options: " << c.options;
}

// A window's "#if" blocks follow its file's compile options: the window's
// own (Build Source's), or those of the open project holding the file.
TEST(SourceGreying, WindowsFollowTheirFilesCompileOptions)
{
    EditorFixture f;
    const QByteArray text = "#if defined(LUA_USE_LINUX)\nint linux_only;\n#else\nint other;\n#endif\n";
    CTarnView* view = EditorFixture::viewOf(f.openBytes("lua.c", text));
    ASSERT_NE(view, nullptr);
    auto grey = [&](const char* spot) {
        view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        return bool(styleAtOffset(*view, text.indexOf(spot)) & QsciLexerCPP::InactiveDefault);
    };
    EXPECT_FALSE(grey("linux_only"));
    EXPECT_FALSE(grey("other"));

    view->compileOptions.otherOptions = QStringLiteral("-DLUA_USE_LINUX");
    view->updateColouringContext();
    EXPECT_FALSE(grey("linux_only"));
    EXPECT_TRUE(grey("other"));

    const QString path = view->sourceDocument()->pathName();
    CTarnView::setProjectOptionsLookup([path](const QString& file) -> std::optional<QString> {
        if (file == path)
            return QStringLiteral("-ULUA_USE_LINUX");
        return std::nullopt;
    });
    view->updateColouringContext();
    EXPECT_TRUE(grey("linux_only"));
    EXPECT_FALSE(grey("other"));
    CTarnView::setProjectOptionsLookup({});
    view->updateColouringContext();
    EXPECT_TRUE(grey("other"));
}

TEST(SourceKeywords, LanguageByTheFileName)
{
    struct Case {
        const char* path;
        SourceLanguage language;
    };
    const Case cases[] = {
        {"", SourceLanguage::CAndCpp},         {"/p/a.c", SourceLanguage::C},
        {"/p/a.h", SourceLanguage::CAndCpp},   {"/p/a.C", SourceLanguage::Cpp},
        {"/p/a.H", SourceLanguage::Cpp},       {"/p/a.cpp", SourceLanguage::Cpp},
        {"/p/a.CC", SourceLanguage::Cpp},      {"/p/a.cxx", SourceLanguage::Cpp},
        {"/p/a.hpp", SourceLanguage::Cpp},     {"/p/a.hh", SourceLanguage::Cpp},
        {"/p/a.hxx", SourceLanguage::Cpp},     {"/p/a.inl", SourceLanguage::Cpp},
        {"/p/a.c++", SourceLanguage::Cpp},     {"/p/x.c/README", SourceLanguage::CAndCpp},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SourceLanguageOf(QString::fromLatin1(c.path)), c.language) << c.path;
}

// Each word in a window of each kind of file: a keyword of the file's
// language, or a plain name.
TEST(SourceKeywords, AWindowColoursTheKeywordsOfItsFilesLanguage)
{
    const char* const cOnly[] = {"restrict", "_Bool", "_Static_assert", "_Generic", "_Atomic", "_Noreturn",
                                 "_Alignas", "_Thread_local", "_Complex", "typeof"};
    const char* const cppOnly[] = {"class", "new", "this", "template", "concept", "requires", "co_await",
                                   "co_yield", "char8_t", "consteval", "constinit", "namespace", "virtual",
                                   "decltype", "noexcept", "wchar_t"};
    const char* const both[] = {"int", "return", "static", "bool", "true", "false", "nullptr", "static_assert",
                                "constexpr", "alignas", "thread_local"};
    QByteArray text;
    auto add = [&text](const char* const* words, size_t count) {
        for (size_t i = 0; i < count; ++i)
            text += QByteArray(" ") + words[i] + " ;\n";
    };
    add(cOnly, std::size(cOnly));
    add(cppOnly, std::size(cppOnly));
    add(both, std::size(both));

    EditorFixture f;
    struct File {
        const char* name;
        bool c;
        bool cpp;
    };
    const File files[] = {{"k.c", true, false}, {"k.cpp", false, true}, {"k.hpp", false, true},
                          {"k.h", true, true},  {"", true, true}};
    for (const File& file : files) {
        SCOPED_TRACE(file.name);
        CTarnDoc* doc = *file.name ? f.openBytes(file.name, text) : f.newDocument();
        CTarnView* view = EditorFixture::viewOf(doc);
        ASSERT_NE(view, nullptr);
        if (!*file.name)
            view->loadText(text);
        view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        auto check = [&](const char* const* words, size_t count, bool keyword) {
            for (size_t i = 0; i < count; ++i) {
                const qsizetype at = text.indexOf(QByteArray(" ") + words[i] + " ") + 1;
                EXPECT_EQ(styleAtOffset(*view, at), keyword ? QsciLexerCPP::Keyword : QsciLexerCPP::Identifier)
                    << words[i];
            }
        };
        check(cOnly, std::size(cOnly), file.c);
        check(cppOnly, std::size(cppOnly), file.cpp);
        check(both, std::size(both), true);
    }

    // Save As another language colours the words anew.
    CTarnView* view = EditorFixture::viewOf(f.openBytes("again.c", text));
    ASSERT_NE(view, nullptr);
    const qsizetype classAt = text.indexOf(" class ") + 1;
    view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    EXPECT_EQ(styleAtOffset(*view, classAt), QsciLexerCPP::Identifier);
    ScriptedPrompts prompts;
    prompts.saveFiles = {f.path("again.cpp")};
    ASSERT_TRUE(view->sourceDocument()->doSave(QString()));
    view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    EXPECT_EQ(styleAtOffset(*view, classAt), QsciLexerCPP::Keyword);
}

} // namespace

namespace {

// A C source of about 3 MB (`head`, `body` repeated, `tail`) in a window.
struct LargeSource {
    LargeSource(const QByteArray& head, const QByteArray& body, const QByteArray& tail) : text(head)
    {
        while (text.size() < 3 * 1024 * 1024)
            text += body;
        text += tail;
        view = EditorFixture::viewOf(f.openBytes("big.c", text));
        lexer = view ? qobject_cast<CSourceLexer*>(view->lexer()) : nullptr;
    }
    long length() const { return long(view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH)); }
    long styledTo() const { return long(view->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED)); }

    QByteArray text;
    EditorFixture f;
    CTarnView* view = nullptr;
    CSourceLexer* lexer = nullptr;
};

// A text styled at once in a control of its own, for comparison.
struct StyledAtOnce {
    explicit StyledAtOnce(const QByteArray& text)
    {
        control.setLexer(&lexer);
        control.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.constData());
        restyle();
    }
    ~StyledAtOnce() { control.setLexer(nullptr); }
    void restyle() { control.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L); }

    QsciScintilla control;
    CSourceLexer lexer;
};

// Text beyond what the window shows is styled in idle time, in slices, so
// Ctrl+End in a large file finds it done; an edit makes the rest stale and
// it is styled again once the typing pauses. The styles are those the whole
// text gets when styled at once.
TEST(SourceStylingAhead, TheRestOfTheTextIsStyledInIdleTime)
{
    LargeSource big("#if 0\nint grey_top;\n#endif\n", "static int function_body(int n) { return n * 2; /* twice */ }\n",
                    "int live_last;\n#if 0\nint grey_last;\n#endif\n");
    ASSERT_NE(big.lexer, nullptr);
    CTarnView* view = big.view;
    const long length = big.length();
    // A large file is loaded as it is, unmodified and with nothing to undo
    // (the load moves the control's gap to the top without a trace).
    const auto* stored = reinterpret_cast<const char*>(view->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    EXPECT_TRUE(QByteArray(stored, length) == big.text);
    EXPECT_FALSE(view->isModified());
    EXPECT_FALSE(view->isUndoAvailable());
    StyledAtOnce whole(big.text);
    // Places of the text as loaded; an edit at `editAt` moves those after
    // it on by one.
    const long greyLast = long(big.text.indexOf("grey_last"));
    const long editAt = long(big.text.indexOf("static"));
    auto sameStyles = [&](bool edited) {
        std::string differ;
        for (long at : {8L, length / 3, length / 2, greyLast - 8, greyLast, length - 2}) {
            const long now = edited && at >= editAt ? at + 1 : at;
            if (styleAtOffset(*view, now) != styleAtOffset(whole.control, now))
                differ += std::to_string(at) + " ";
        }
        const long last = edited ? greyLast + 1 : greyLast;
        if (!(styleAtOffset(*view, last) & QsciLexerCPP::InactiveDefault))
            differ += "grey_last is live";
        return differ;
    };

    // Nothing asked for the end; the idle slices get there.
    ASSERT_LT(big.styledTo(), length / 2);
    ASSERT_TRUE(testsupport::waitUntil([&] { return big.styledTo() >= length; }, 60000));
    EXPECT_FALSE(big.lexer->stylingAhead());
    EXPECT_EQ(sameStyles(false), "");

    // An edit near the top: the styles after it are stale, and come back.
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(editAt));
    QTest::keyClicks(view, "x");
    ASSERT_LT(big.styledTo(), length / 2);
    whole.control.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(editAt), "x");
    whole.restyle();
    ASSERT_TRUE(testsupport::waitUntil([&] { return big.styledTo() >= length + 1; }, 60000));
    EXPECT_EQ(sameStyles(true), "");
}

// Ctrl+End right after a large file opened shows the last screen at once:
// it is styled from a guess a little way back instead of from the top, and
// the styling ahead puts the right styles in later. Here the guess is wrong
// (the screen is inside an "#if 0" that starts 3 MB before it), and an edit
// is made while it shows; in the end every style is the one the whole text
// gets when styled at once.
TEST(SourceStylingAhead, CtrlEndShowsAGuessAtOnceThatTheStylingAheadCorrects)
{
    LargeSource big("int live_top;\n#if 0\n", "static int grey_body(int n) { return n * 2; /* twice */ }\n",
                    "#endif\nint live_last;\n");
    ASSERT_NE(big.lexer, nullptr);
    CTarnView* view = big.view;
    const long length = big.length();
    const long liveLast = long(big.text.indexOf("live_last"));
    const long greyBeforeEnd = long(big.text.lastIndexOf("grey_body"));

    view->setFocus();
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    view->viewport()->repaint();
    // The screen is styled; what is styled in order is still near the top.
    EXPECT_LT(big.styledTo(), length / 2);
    EXPECT_EQ(styleAtOffset(*view, liveLast), QsciLexerCPP::Identifier);
    // An edit on the guessed screen.
    QTest::keyClicks(view, "x");
    view->viewport()->repaint();
    EXPECT_LT(big.styledTo(), length / 2);
    EXPECT_EQ(styleAtOffset(*view, liveLast), QsciLexerCPP::Identifier);

    StyledAtOnce whole(big.text + "x");
    ASSERT_TRUE(styleAtOffset(whole.control, greyBeforeEnd) & QsciLexerCPP::InactiveDefault);
    ASSERT_TRUE(testsupport::waitUntil([&] { return big.styledTo() >= length + 1; }, 60000));
    std::string differ;
    for (long at : {0L, 20L, length / 2, greyBeforeEnd, liveLast, length - 1, length})
        if (styleAtOffset(*view, at) != styleAtOffset(whole.control, at))
            differ += std::to_string(at) + " ";
    EXPECT_EQ(differ, "");
}

} // namespace
