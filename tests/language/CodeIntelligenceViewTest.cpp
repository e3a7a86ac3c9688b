// Source windows with the real clangd: problems appear as they are typed
// and go when fixed, completion after "p->" offers the struct's members,
// F12 opens the defining file at its line, Shift+F12 lists every use, and
// a rename across three files (one of them not open) changes exactly the
// uses and nothing else.
#include "editor/EditorFixture.h"

#include "editor/SourceIntelligence.h"
#include "support/ScriptedPrompts.h"
#include "tools/ProcessTree.h"
#include "tools/RecordingSink.h"

#include <QApplication>
#include <QListWidget>
#include <QStandardPaths>
#include <QTest>

#include <QDir>

#include <csignal>
#include <unistd.h>

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

    // The labels of the completion list as the popup shows them ("label  —
    // kind type").
    static QStringList shownLabels()
    {
        for (QWidget* widget : QApplication::allWidgets()) {
            auto* list = qobject_cast<QListWidget*>(widget);
            if (!list || !list->isVisible() || list->count() == 0)
                continue;
            QStringList labels;
            for (int i = 0; i < list->count(); ++i)
                labels << list->item(i)->text().section(QStringLiteral("  \u2014 "), 0, 0);
            return labels;
        }
        return {};
    }

    CTarnView* activeView() const
    {
        fw::MdiChildFrame* active = fixture->main->activeChild();
        return active ? dynamic_cast<CTarnView*>(active->view()) : nullptr;
    }
    // Waits until clangd's references to the name at the place include a
    // use in the file (its index has read that far).
    bool referencedIn(CTarnView* view, LspPosition at, const QString& file)
    {
        return waitUntil([&] {
            bool answered = false;
            bool found = false;
            fixture->tools.codeIntelligence().locate(
                view->intelligence(), QStringLiteral("textDocument/references"), at,
                [&](std::vector<LspLocation>& places, const QString&) {
                    answered = true;
                    for (const LspLocation& place : places)
                        found = found || place.path.endsWith(file);
                });
            waitUntil([&] { return answered; });
            return found;
        }, 30000);
    }
    static int caretLine(CTarnView* view)
    {
        int line = -1;
        int index = -1;
        view->getCursorPosition(&line, &index);
        return line;
    }

    static long offsetOf(CTarnView* view, const QByteArray& text, int nth = 0)
    {
        const QByteArray bytes = view->textCopy();
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
    EXPECT_EQ(view->textCopy().sliced(problem.start, problem.end - problem.start), "undefined_name");
    EXPECT_EQ(code.problemTextAt(problem.start + 2), problem.message);
    // F8 selects it.
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0L);
    ASSERT_TRUE(fixture->execute(cmd::NextProblem));
    EXPECT_EQ(view->selectedText(), QStringLiteral("undefined_name"));
    // The fix: the typed line undone.
    view->undo();
    ASSERT_TRUE(waitUntil([&] { return code.problems().empty(); }, 20000));
}

// Problem marks go with the text they were on: the window's text loaded
// afresh keeps neither an underline nor a margin mark (the margin's marks
// of deleted lines gather on the first line).
TEST_F(CodeIntelligenceView, ATextLoadedAfreshKeepsNoProblemMarks)
{
    const QByteArray clean = "int main(void)\n{\n\treturn 0;\n}\n";
    project({{QStringLiteral("main.c"), clean}});
    CTarnView* view = open(QStringLiteral("main.c"));
    ASSERT_NE(view, nullptr);
    SourceIntelligence& code = *view->intelligence();
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "return"));
    QTest::keyClicks(view, "undefined_name = 1; ");
    ASSERT_TRUE(waitUntil([&] { return !code.problems().empty(); }, 20000));
    const int problemMarks = (1 << SourceIntelligence::kErrorMarker) | (1 << SourceIntelligence::kWarningMarker);
    const int line = int(view->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, code.problems().front().start));
    ASSERT_NE(view->markersAtLine(line) & problemMarks, 0);

    view->loadText(clean);
    EXPECT_TRUE(code.problems().empty());
    for (int at = 0; at < view->lines(); ++at)
        EXPECT_EQ(view->markersAtLine(at) & problemMarks, 0) << "line " << at;
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
    // Each key's look at the bytes before the caret read them where they
    // lie: the edit control's gap is where the edits and their styling
    // left it, not moved past the caret to the end of the text.
    EXPECT_LE(view->SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION),
              view->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    // The members only, in clangd's ranking (their order in the struct).
    EXPECT_EQ(shownLabels(), (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("name")}));
    // Narrowing, then Enter puts the member in.
    QTest::keyClicks(view, "n");
    ASSERT_TRUE(waitUntil([&] { return shownLabels() == QStringList{QStringLiteral("name")}; }));
    QTest::keyClick(view, Qt::Key_Return);
    // The rest of the word after the caret gives way too.
    EXPECT_TRUE(view->textCopy().contains("return p->name;")) << view->textCopy().toStdString();
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
    ASSERT_TRUE(waitUntil([&] { return activeView() && activeView() != view; }, 20000));
    CTarnView* header = activeView();
    EXPECT_TRUE(header->fw::View::document()->pathName().endsWith(QStringLiteral("/util.h")));
    EXPECT_EQ(caretLine(header), 2);
    EXPECT_EQ(header->selectedText(), QStringLiteral("twice"));
    // Alt+Left goes back where the jump came from.
    ASSERT_TRUE(fixture->execute(cmd::NavigateBack));
    ASSERT_TRUE(waitUntil([&] { return fixture->main->activeChild()->view() == view; }));

    // The header's own use comes from clangd's index of the open header,
    // which it builds after the jump opened it: wait for it.
    ASSERT_TRUE(referencedIn(view, {4, 10}, QStringLiteral("util.h")));
    rows->rows.clear();
    ASSERT_TRUE(fixture->execute(cmd::FindReferences));
    const bool listed = waitUntil([&] { return rows->rows.size() >= 5; }, 20000);
    QStringList texts;
    for (const auto& [text, separator] : rows->rows)
        texts << text;
    ASSERT_TRUE(listed) << texts.join(u'\n').toStdString();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("References to \"twice\""),
                                  QStringLiteral("main.c:5: \tint a = twice(1);"),
                                  QStringLiteral("main.c:6: \treturn twice(a);"),
                                  QStringLiteral("util.h:3: static inline int twice(int n)"),
                                  QStringLiteral("3 references in 2 files")}))
        << texts.join(u'\n').toStdString();
}

TEST_F(CodeIntelligenceView, ARenameChangesExactlyTheUsesInEveryFile)
{
    // counter is declared in a header and used in two sources; main.c is
    // open, count.c is not; "counter_total" and a comment must stay.
    project({{QStringLiteral("count.h"), "extern int counter;\r\nvoid bump(void);\r\n"},
             {QStringLiteral("count.c"),
              "#include \"count.h\"\r\n\r\nint counter;\r\nint counter_total;\r\n"
              "void bump(void)\r\n{\r\n\tcounter++; /* counter */\r\n\tcounter_total++;\r\n}\r\n"},
             {QStringLiteral("main.c"),
              "#include \"count.h\"\n\nint main(void)\n{\n\tbump();\n\treturn counter;\n}\n"}});
    CTarnView* view = open(QStringLiteral("main.c"));
    ASSERT_NE(view, nullptr);
    // clangd renames across files from its index of the compile commands:
    // wait until it has indexed count.c (a reference there is known).
    ASSERT_TRUE(referencedIn(view, {5, 9}, QStringLiteral("count.c")));

    ScriptedPrompts prompts;
    prompts.texts.push_back(QStringLiteral("tally"));
    prompts.confirmations.push_back(true);
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "counter") + 3);
    ASSERT_TRUE(fixture->execute(cmd::RenameSymbol));
    ASSERT_TRUE(waitUntil([&] { return view->textCopy().contains("return tally;"); }, 20000));
    ASSERT_EQ(prompts.confirmedLists.size(), 1);
    EXPECT_EQ(prompts.confirmedLists[0].size(), 4) << prompts.confirmedLists[0].join(u'\n').toStdString();
    // The closed files, byte for byte: CR LF kept, the other names kept.
    EXPECT_EQ(readFile(fixture->path(QStringLiteral("count.h"))), "extern int tally;\r\nvoid bump(void);\r\n");
    EXPECT_EQ(readFile(fixture->path(QStringLiteral("count.c"))),
              "#include \"count.h\"\r\n\r\nint tally;\r\nint counter_total;\r\n"
              "void bump(void)\r\n{\r\n\ttally++; /* counter */\r\n\tcounter_total++;\r\n}\r\n");
    // The open window: one undo step, not saved.
    EXPECT_TRUE(view->isModified());
    view->undo();
    EXPECT_TRUE(view->textCopy().contains("return counter;"));
}

TEST_F(CodeIntelligenceView, ARenameThatCannotWriteEveryFileChangesNothing)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes read-only files";
    project({{QStringLiteral("count.h"), "extern int counter;\n"},
             {QStringLiteral("main.c"), "#include \"count.h\"\n\nint main(void)\n{\n\treturn counter;\n}\n"}});
    const QString header = fixture->path(QStringLiteral("count.h"));
    ASSERT_TRUE(QFile::setPermissions(header, QFileDevice::ReadOwner));
    CTarnView* view = open(QStringLiteral("main.c"));
    ASSERT_NE(view, nullptr);
    ScriptedPrompts prompts;
    prompts.texts.push_back(QStringLiteral("tally"));
    prompts.confirmations.push_back(true);
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "counter") + 1);
    ASSERT_TRUE(fixture->execute(cmd::RenameSymbol));
    ASSERT_TRUE(waitUntil([&] { return !prompts.messages.isEmpty(); }, 20000));
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("count.h")) && prompts.messages[0].contains(QStringLiteral("read-only")))
        << prompts.messages[0].toStdString();
    EXPECT_TRUE(prompts.confirmedLists.isEmpty());
    EXPECT_TRUE(view->textCopy().contains("return counter;"));
    EXPECT_FALSE(view->isModified());
    EXPECT_EQ(readFile(header), "extern int counter;\n");
}

TEST_F(CodeIntelligenceView, AWindowSavedUnderANewNameIsServedUnderIt)
{
    project({{QStringLiteral("old.c"), "int main(void)\n{\n\treturn 0;\n}\n"}});
    CTarnView* view = open(QStringLiteral("old.c"));
    ASSERT_NE(view, nullptr);
    CodeIntelligence& code = fixture->tools.codeIntelligence();
    LanguageServer* server = code.serverOf(view->intelligence());
    ASSERT_NE(server, nullptr);
    const QString renamed = fixture->path(QStringLiteral("new.c"));
    // Save As, answered with the new name.
    ScriptedPrompts prompts;
    prompts.saveFiles.push_back(renamed);
    ASSERT_TRUE(view->sourceDocument()->doSave(QString()));
    ASSERT_EQ(view->sourceDocument()->pathName(), renamed);
    ASSERT_TRUE(waitUntil([&] { return code.serverOf(view->intelligence()) && code.serverOf(view->intelligence())->isOpen(renamed); }));
    EXPECT_FALSE(code.serverOf(view->intelligence())->isOpen(fixture->path(QStringLiteral("old.c"))));
    // Problems still come for it under the new name.
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "return"));
    QTest::keyClicks(view, "oops ");
    ASSERT_TRUE(waitUntil([&] { return !view->intelligence()->problems().empty(); }, 20000));
}

// The clangd processes this test process started (its children).
std::vector<pid_t> childClangds()
{
    std::vector<pid_t> found;
    for (const ProcessRecord& process : ReadProcessTable()) {
        // (clangd names its main thread "clangd.main".)
        if (process.parent == ::getpid()
            && readFile(QStringLiteral("/proc/%1/comm").arg(process.pid)).startsWith("clangd"))
            found.push_back(pid_t(process.pid));
    }
    return found;
}

TEST_F(CodeIntelligenceView, DeclarationHeaderSignatureAndHover)
{
    project({{QStringLiteral("calc.h"), "/* Adds two numbers. */\nint add(int a, int b);\n"},
             {QStringLiteral("calc.c"), "#include \"calc.h\"\n\nint add(int a, int b)\n{\n\treturn a + b;\n}\n"},
             {QStringLiteral("main.c"), "#include \"calc.h\"\n\nint main(void)\n{\n\treturn add(1, 2);\n}\n"}});
    CTarnView* view = open(QStringLiteral("main.c"));
    ASSERT_NE(view, nullptr);
    // Ctrl+F12: the declaration in the header, at its line.
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "add(") + 1);
    ASSERT_TRUE(fixture->execute(cmd::GoToDeclaration));
    ASSERT_TRUE(waitUntil([&] { return activeView() && activeView() != view; }, 20000));
    CTarnView* header = activeView();
    EXPECT_TRUE(header->fw::View::document()->pathName().endsWith(QStringLiteral("/calc.h")));
    EXPECT_EQ(caretLine(header), 1);
    // Ctrl+Shift+H from the header: its source.
    ASSERT_TRUE(waitUntil([&] { return header->intelligence()->served(); }, 20000));
    ASSERT_TRUE(fixture->execute(cmd::SwitchHeaderSource));
    ASSERT_TRUE(waitUntil([&] {
        return activeView() && activeView()->fw::View::document()->pathName().endsWith(QStringLiteral("/calc.c"));
    }, 20000));

    fixture->app.openDocumentFile(fixture->path(QStringLiteral("main.c")));
    // Hover text (line 4 is "\treturn add(1, 2);"): the type and the comment of the name under the mouse.
    QString hover;
    fixture->tools.codeIntelligence().hover(view->intelligence(), {4, 9},
                                            [&](QString& text, const QString&) { hover = text; });
    ASSERT_TRUE(waitUntil([&] { return !hover.isEmpty(); }, 20000));
    EXPECT_TRUE(hover.contains(QStringLiteral("int add(int a, int b)")) && hover.contains(QStringLiteral("Adds two numbers")))
        << hover.toStdString();
    // Signature help after "(": the parameters as a call tip.
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "return"));
    QTest::keyClicks(view, "add(");
    ASSERT_TRUE(waitUntil([&] { return view->SendScintilla(QsciScintillaBase::SCI_CALLTIPACTIVE) != 0; }, 20000));
}

TEST_F(CodeIntelligenceView, ACrashedServerComesBackAndTheWindowKeepsItsTextAndUndo)
{
    project({{QStringLiteral("main.c"), "int main(void)\n{\n\treturn 0;\n}\n"}});
    CTarnView* view = open(QStringLiteral("main.c"));
    ASSERT_NE(view, nullptr);
    QTest::keyClicks(view, "int typed;");
    CodeIntelligence& code = fixture->tools.codeIntelligence();
    LanguageServer* first = code.serverOf(view->intelligence());
    ASSERT_NE(first, nullptr);
    // This test's clangd killed from outside: started again, the text sent
    // afresh.
    const std::vector<pid_t> servers = childClangds();
    ASSERT_EQ(servers.size(), 1u);
    ASSERT_EQ(::kill(servers[0], SIGKILL), 0);
    ASSERT_TRUE(waitUntil([&] {
        LanguageServer* now = code.serverOf(view->intelligence());
        return now && now != first && now->isReady();
    }, 20000));
    EXPECT_TRUE(view->textCopy().startsWith("int typed;int main"));
    EXPECT_TRUE(view->isUndoAvailable());
    // And it knows the text as it is: a new error shows.
    view->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, offsetOf(view, "return"));
    QTest::keyClicks(view, "missing_name; ");
    ASSERT_TRUE(waitUntil([&] { return !view->intelligence()->problems().empty(); }, 20000));
}

} // namespace
