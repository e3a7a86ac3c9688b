// The servers the open documents need, with the stand-in server playing
// clangd: which server a file goes to, one per compile-commands folder and
// ended when no document needs it; the switch; what is never sent (text
// that is not UTF-8, a huge file) and said once; no server installed;
// crashes restarted three times in a minute at most; a hung server whose
// requests time out; columns of a server that counts in UTF-16.
#include "language/CodeIntelligence.h"

#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

class FakeDocument : public LanguageDocument {
public:
    FakeDocument(QString path, QByteArray text, bool utf8 = true)
        : path(std::move(path)), text(std::move(text)), utf8(utf8)
    {
    }
    QString languagePath() const override { return path; }
    QByteArray languageText() const override { return text; }
    bool languageTextIsUtf8() const override { return utf8; }
    QByteArray languageLine(int line) const override { return text.split('\n').value(line); }
    void showDiagnostics(const std::vector<LspDiagnostic>& items) override
    {
        diagnostics = items;
        ++reports;
    }

    QString path;
    QByteArray text;
    bool utf8;
    std::vector<LspDiagnostic> diagnostics;
    int reports = 0;
};

// A script that runs the stand-in with the given arguments (the server
// path takes no arguments of its own).
QString standIn(const QTemporaryDir& dir, const QString& arguments, const QString& name = QStringLiteral("server"))
{
    const QString path = dir.filePath(name);
    const QByteArray script = "#!/bin/sh\nexec '" TARN_LSP_STANDIN "' " + arguments.toUtf8() + " \"$@\"\n";
    writeFile(path, script);
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
}

class CodeIntelligenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        code.setCacheFolder(dir.filePath(QStringLiteral("cache")));
        QObject::connect(&code, &CodeIntelligence::status, [this](const QString& text) { said << text; });
    }
    void use(const QString& server)
    {
        CodeIntelligence::Settings settings;
        settings.clangdPath = server;
        code.setSettings(settings);
    }
    QString file(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    CodeIntelligence code;
    QStringList said;
};

TEST_F(CodeIntelligenceTest, OneServerPerCompileCommandsFolderEndedWhenNoDocumentNeedsIt)
{
    use(standIn(dir, QString()));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("built/src")));
    ASSERT_TRUE(writeFile(file(QStringLiteral("built/compile_commands.json")), "[]"));
    FakeDocument a(file(QStringLiteral("built/src/a.c")), "ERROR\n");
    FakeDocument b(file(QStringLiteral("built/b.c")), "int b;\n");
    FakeDocument loose(file(QStringLiteral("loose.c")), "x ERROR\n");
    code.attach(&a);
    code.attach(&b);
    code.attach(&loose);
    // a and b share the folder with compile_commands.json; loose.c has
    // none above it and goes to a server of its own.
    EXPECT_EQ(code.serverCount(), 2);
    EXPECT_EQ(code.serverOf(&a), code.serverOf(&b));
    EXPECT_NE(code.serverOf(&a), code.serverOf(&loose));
    ASSERT_TRUE(waitUntil([&] { return a.reports > 0 && loose.reports > 0; }));
    ASSERT_EQ(a.diagnostics.size(), 1u);
    EXPECT_EQ(loose.diagnostics.at(0).range, (LspRange{{0, 2}, {0, 7}}));
    EXPECT_TRUE(code.serves(&a));

    QPointer<LanguageServer> shared = code.serverOf(&a);
    code.detach(&a);
    EXPECT_EQ(code.serverCount(), 2);
    code.detach(&b);
    EXPECT_EQ(code.serverCount(), 1);
    // Asked to end, and gone once it has (the interface never waits).
    ASSERT_TRUE(waitUntil([&] { return shared.isNull(); }));
    EXPECT_TRUE(said.isEmpty()) << said.join(u'\n').toStdString();
}

TEST_F(CodeIntelligenceTest, AProjectsCompileCommandsGoToTheCacheAndFollowTheProject)
{
    use(standIn(dir, QString()));
    FakeDocument source(file(QStringLiteral("p/main.c")), "int main;\n");
    std::optional<CodeIntelligence::ProjectCommands> project =
        CodeIntelligence::ProjectCommands{file(QStringLiteral("p/p.tarn")), "[{\"file\":\"main.c\"}]"};
    code.setProjectLookup([&](const QString& path) -> std::optional<CodeIntelligence::ProjectCommands> {
        return path == source.path ? project : std::nullopt;
    });
    code.attach(&source);
    const QString folder = code.compileCommandsFolder(file(QStringLiteral("p/p.tarn")));
    EXPECT_TRUE(folder.startsWith(dir.filePath(QStringLiteral("cache/compile-commands/"))));
    EXPECT_EQ(readFile(folder + QStringLiteral("/compile_commands.json")), "[{\"file\":\"main.c\"}]");
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("p/compile_commands.json"))));
    LanguageServer* first = code.serverOf(&source);
    ASSERT_NE(first, nullptr);

    // The options change: written again, same server.
    project->contents = "[{\"file\":\"main.c\",\"arguments\":[\"-DX\"]}]";
    code.projectsChanged();
    EXPECT_EQ(readFile(folder + QStringLiteral("/compile_commands.json")), project->contents);
    EXPECT_EQ(code.serverOf(&source), first);
    // The project closes: the file goes to a server of its own folder.
    project.reset();
    code.projectsChanged();
    EXPECT_NE(code.serverOf(&source), nullptr);
    EXPECT_NE(code.serverOf(&source), first);
    EXPECT_EQ(code.serverCount(), 1);
}

TEST_F(CodeIntelligenceTest, WhatIsNotSentIsSaidOnceAndNoServerStarts)
{
    use(standIn(dir, QString()));
    FakeDocument latin(file(QStringLiteral("latin.c")), "char *s = \"caf\xe9\";\n", false);
    FakeDocument huge(file(QStringLiteral("huge.c")), QByteArray(CodeIntelligence::kMaxDocumentBytes + 1, ' '));
    FakeDocument untitled(QString(), "int x;\n");
    for (int twice = 0; twice < 2; ++twice) {
        code.attach(&latin);
        code.attach(&huge);
        code.attach(&untitled);
    }
    EXPECT_EQ(code.serverCount(), 0);
    EXPECT_FALSE(code.serves(&latin));
    ASSERT_EQ(said.size(), 2) << said.join(u'\n').toStdString();
    EXPECT_TRUE(said[0].contains(QStringLiteral("latin.c")) && said[0].contains(QStringLiteral("not UTF-8")));
    EXPECT_TRUE(said[1].contains(QStringLiteral("huge.c")) && said[1].contains(QStringLiteral("larger than")));
    // A request says why at once.
    QString why;
    code.complete(&latin, {0, 0}, [&](LspCompletion&, const QString& error) { why = error; });
    EXPECT_EQ(why, QStringLiteral("no language server works on this file"));
}

TEST_F(CodeIntelligenceTest, NoServerInstalledIsOneQuietLine)
{
    for (const QString& path : {QString(), dir.filePath(QStringLiteral("no-such-clangd"))}) {
        said.clear();
        use(path);
        FakeDocument a(file(QStringLiteral("a.c")), "int a;\n");
        FakeDocument b(file(QStringLiteral("b.c")), "int b;\n");
        code.attach(&a);
        code.attach(&b);
        EXPECT_EQ(code.serverCount(), 0);
        ASSERT_EQ(said.size(), 1) << path.toStdString();
        EXPECT_TRUE(said[0].startsWith(QStringLiteral("Code intelligence is off"))) << said[0].toStdString();
        code.detach(&a);
        code.detach(&b);
    }
}

TEST_F(CodeIntelligenceTest, TheSwitchEndsAndStartsTheServers)
{
    use(standIn(dir, QString()));
    FakeDocument a(file(QStringLiteral("a.c")), "ERROR\n");
    code.attach(&a);
    ASSERT_TRUE(waitUntil([&] { return a.diagnostics.size() == 1; }));
    CodeIntelligence::Settings off = code.settings();
    off.enabled = false;
    code.setSettings(off);
    EXPECT_EQ(code.serverCount(), 0);
    EXPECT_TRUE(a.diagnostics.empty());
    CodeIntelligence::Settings on = off;
    on.enabled = true;
    code.setSettings(on);
    EXPECT_EQ(code.serverCount(), 1);
    ASSERT_TRUE(waitUntil([&] { return a.diagnostics.size() == 1; }));
}

TEST_F(CodeIntelligenceTest, ACrashingServerIsRestartedThreeTimesAMinuteAtMost)
{
    use(standIn(dir, QStringLiteral("--mode=crash")));
    FakeDocument a(file(QStringLiteral("a.c")), "int a;\n");
    code.attach(&a);
    // Each start crashes at the document's open: two restarts, then it
    // stays off and says so.
    ASSERT_TRUE(waitUntil([&] {
        return !said.isEmpty() && said.last().startsWith(QStringLiteral("Code intelligence is off"));
    }));
    EXPECT_EQ(said.size(), 3) << said.join(u'\n').toStdString();
    EXPECT_TRUE(said[0].contains(QStringLiteral("started again")));
    EXPECT_TRUE(said[2].contains(QStringLiteral("3 times in a minute")));
    EXPECT_FALSE(code.serves(&a));
    // Switching off and on tries again.
    CodeIntelligence::Settings settings = code.settings();
    settings.enabled = false;
    code.setSettings(settings);
    settings.enabled = true;
    said.clear();
    code.setSettings(settings);
    ASSERT_TRUE(waitUntil([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said[0].contains(QStringLiteral("started again")));
}

TEST_F(CodeIntelligenceTest, AHungServersRequestsTimeOutAndNewerOnesCancelOlder)
{
    use(standIn(dir, QStringLiteral("--mode=hang")));
    code.setRequestTimeout(300);
    FakeDocument a(file(QStringLiteral("a.c")), "int a;\n");
    code.attach(&a);
    ASSERT_TRUE(waitUntil([&] { return code.serves(&a); }));
    int firstAnswers = 0;
    QString secondError;
    code.hover(&a, {0, 1}, [&](QString&, const QString&) { ++firstAnswers; });
    code.hover(&a, {0, 2}, [&](QString&, const QString& error) { secondError = error; });
    ASSERT_TRUE(waitUntil([&] { return !secondError.isEmpty(); }));
    EXPECT_TRUE(secondError.contains(QStringLiteral("no answer in time"))) << secondError.toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(firstAnswers, 0);
}

TEST_F(CodeIntelligenceTest, ColumnsOfAServerCountingInUtf16BecomeBytes)
{
    use(standIn(dir, QStringLiteral("--mode=utf16")));
    // "é" is one UTF-16 unit and two bytes; "😀" two units and four bytes.
    FakeDocument a(file(QStringLiteral("a.c")), "/* \xc3\xa9\xf0\x9f\x98\x80 */ ERROR\n");
    code.attach(&a);
    ASSERT_TRUE(waitUntil([&] { return a.diagnostics.size() == 1; }));
    const int byteColumn = int(a.text.indexOf("ERROR"));
    EXPECT_EQ(a.diagnostics[0].range, (LspRange{{0, byteColumn}, {0, byteColumn + 5}}));
    // A change goes as the whole text: the server still finds the error.
    a.text = "/* \xc3\xa9 */ ERROR\n";
    code.changed(&a, {LspTextEdit{{{0, 5}, {0, 9}}, QString()}});
    ASSERT_TRUE(waitUntil([&] { return a.diagnostics.size() == 1 && a.diagnostics[0].range.start.column == 9; }));
}

} // namespace
