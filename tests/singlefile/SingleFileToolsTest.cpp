// Build Source, Link, Make, Run and Debug through the real application with
// the real gcc and make on temporary files whose paths hold blanks, quotes,
// '$' and non-ASCII letters.
#include "app/CMainFrame.h"
#include "app/CTarnApp.h"
#include "app/IdeSettings.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "framework/CommandRouter.h"
#include "messages/CMessageView.h"
#include "messages/MessageClassifier.h"
#include "resources/CommandIds.h"
#include "singlefile/CLinkDialog.h"
#include "singlefile/CMakeDialog.h"
#include "singlefile/CSourceBuildDialog.h"
#include "singlefile/LinkListBox.h"
#include "singlefile/MakeRun.h"
#include "singlefile/RunDebugDialogs.h"
#include "singlefile/RunInTerminal.h"
#include "support/ScriptedPrompts.h"
#include "tools/AdvancedSheet.h"
#include "support/TestSupport.h"
#include "tools/JobManager.h"
#include "tools/LinkEntries.h"
#include "tools/ModalDriver.h"
#include "tools/ToolDirectory.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A row as (text, icon), icons by letter for readable failures.
using Row = std::pair<QString, int>;
constexpr int Sep = IconSeparator;

class SingleFileTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        gcc = QStandardPaths::findExecutable("gcc");
        make = QStandardPaths::findExecutable("make");
        ASSERT_FALSE(gcc.isEmpty() || make.isEmpty()) << "gcc and make are needed";
        folder = dir.filePath(QString::fromUtf8("My Projects/it's $x \xc3\xa4")) + "/";
        ASSERT_TRUE(QDir().mkpath(folder));
        app = std::make_unique<CTarnApp>();
        ASSERT_TRUE(app->InitInstance({}));
        IdeSettings settings = ideSettings();
        settings.gccPath = gcc;
        settings.makePath = make;
        settings.clearBeforeBuild = 1;
        setIdeSettings(settings);
        setToolDirectory(folder);
        // The start-up warning and the banner are not this test's.
        prompts.messages.clear();
        g_pMessageView->ClearMessages();
    }
    void TearDown() override
    {
        app.reset();
        setToolDirectory(QString());
        setIdeSettings(saved);
    }

    CMainFrame* frame() { return app->mainWindow(); }
    bool execute(int id) { return frame()->router()->execute(id); }
    CTarnView* openSource(const QString& name, const QByteArray& bytes)
    {
        if (!testsupport::writeFile(folder + name, bytes))
            return nullptr;
        auto* doc = qobject_cast<CTarnDoc*>(app->openDocumentFile(folder + name));
        return doc ? doc->sourceView() : nullptr;
    }
    std::vector<Row> rows()
    {
        std::vector<Row> all;
        for (int i = 0; i < g_pMessageView->rowCount(); ++i)
            all.emplace_back(g_pMessageView->rowText(i), g_pMessageView->rowIcon(i));
        return all;
    }
    QStringList texts()
    {
        QStringList all;
        for (const Row& row : rows())
            all << row.first;
        return all;
    }

    // Runs the command; the modal dialog of type T it opens is driven once.
    template <typename T>
    bool runDialog(int id, const std::function<void(T*)>& drive)
    {
        return DriveModal<T>([&] { EXPECT_TRUE(execute(id)); }, drive);
    }
    static void click(QWidget* dialog, const char* name) { ClickButton(dialog, name); }
    static void type(QWidget* dialog, const char* name, const QString& text)
    {
        auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
        ASSERT_NE(edit, nullptr) << name;
        edit->setText(text);
    }
    // Make with the given makefile through its dialog; waits for the job if asked.
    void runMake(const QString& makefile, bool wait = true)
    {
        ASSERT_TRUE(runDialog<CMakeDialog>(cmd::Make, [&](CMakeDialog* d) {
            type(d, "makeFile", makefile);
            d->findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
        }));
        if (wait) {
            ASSERT_TRUE(app->jobs()->waitForAll(60000));
            FlushMessages();
        }
    }
    // Runs a built program and hands back its standard output.
    static QByteArray output(const QString& program)
    {
        QProcess run;
        run.start(program, {});
        run.waitForFinished(30000);
        return run.readAllStandardOutput();
    }
    // Ticks -g in the Advanced Options sheet opened from the dialog.
    static void tickDebugInfo(CSourceBuildDialog* d)
    {
        EXPECT_TRUE(DriveModal<CAdvancedSheet>([&] { click(d, "advanced"); }, [](CAdvancedSheet* sheet) {
            click(sheet, "debugInfo");
            sheet->accept();
        }));
        EXPECT_EQ(d->options.debugInfo, 1);
    }
    std::vector<Row> compileRows(const QString& source, const QString& line)
    {
        return {{"Compiling " + source + " with command line of:", IconInfo}, {line, IconInfo},
                {"", Sep}, {"No warnings or errors recieved from gcc", IconInfo}, {"", Sep}};
    }

    IdeSettings saved = ideSettings();
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    QString folder;
    QString gcc, make;
    std::unique_ptr<CTarnApp> app;
};

const QByteArray kHello = "#include <stdio.h>\nint main(void) { puts(\"hello\"); return 0; }\n";

} // namespace

TEST_F(SingleFileTools, BuildSourceOfHelloAsAOutAndNamed)
{
    CTarnView* view = openSource("hello.c", kHello);
    ASSERT_NE(view, nullptr);
    const QString source = folder + "hello.c";
    const QString exe = folder + "hello.exe";

    // Advanced Options edits the dialog's copy: Cancel drops it, "Compile!"
    // hands it to the window and to gcc.
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        tickDebugInfo(d);
        click(d, "cancel");
    }));
    EXPECT_EQ(view->compileOptions.debugInfo, 0);
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("executableName")->text(), exe);
        EXPECT_TRUE(d->linkList()->entries().isEmpty());
        EXPECT_TRUE(testsupport::waitUntil([&] { return d->findChild<QPushButton*>("compile")->hasFocus(); }));
        click(d, "outputAOut");
        EXPECT_FALSE(d->findChild<QLineEdit*>("executableName")->isEnabled());
        click(d, "compile");
    }));
    EXPECT_EQ(rows(), compileRows(source, gcc + " " + source + " "));
    EXPECT_TRUE(QFileInfo::exists(folder + "a.out"));
    EXPECT_EQ(output(folder + "a.out"), "hello\n");
    EXPECT_EQ(view->outputChoice, 0);
    // Run proposes the default name even though A.out was built.
    EXPECT_EQ(frame()->lastRunCommand, exe);

    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        EXPECT_TRUE(d->findChild<QRadioButton*>("outputAOut")->isChecked());
        click(d, "outputNamed");
        EXPECT_TRUE(d->findChild<QLineEdit*>("executableName")->isEnabled());
        tickDebugInfo(d);
        click(d, "compile");
    }));
    EXPECT_EQ(view->compileOptions.debugInfo, 1);
    EXPECT_EQ(rows(), compileRows(source, gcc + " " + source + " -o " + exe + " -g "));
    EXPECT_EQ(output(exe), "hello\n");
    EXPECT_EQ(view->outputChoice, 1);
}

TEST_F(SingleFileTools, CppSourceLinksWithItsRuntimeAddedOnce)
{
    CTarnView* view = openSource("hi.cpp", "#include <iostream>\nint main() { std::cout << \"hi\\n\"; }\n");
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        EXPECT_EQ(d->linkList()->entries(), QStringList{kCppRuntimeLibrary});
        click(d, "compile");
    }));
    const QString source = folder + "hi.cpp";
    EXPECT_EQ(rows(), compileRows(source, gcc + " " + source + " -o " + folder + "hi.exe -lstdc++ "));
    EXPECT_EQ(output(folder + "hi.exe"), "hi\n");
    ASSERT_EQ(view->linkCount, 1);

    // Never twice; removed and cancelled, the window keeps its entry.
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        EXPECT_EQ(d->linkList()->entries(), QStringList{kCppRuntimeLibrary});
        d->linkList()->setCurrentRow(0);
        click(d, "remove");
        EXPECT_TRUE(d->linkList()->entries().isEmpty());
        click(d, "cancel");
    }));
    EXPECT_EQ(view->linkCount, 1);
    EXPECT_EQ(view->linkEntries[0], QString(kCppRuntimeLibrary));
}

// An object and libm, added through Add...; objects come first.
TEST_F(SingleFileTools, BuildSourceWithAnObjectAndALibrary)
{
    ASSERT_TRUE(testsupport::writeFile(folder + "half.c", "double half(double x) { return x / 2; }\n"));
    QProcess compile;
    compile.setWorkingDirectory(folder);
    compile.start(gcc, {"-c", folder + "half.c", "-o", folder + "half.o"});
    ASSERT_TRUE(compile.waitForFinished(60000));
    ASSERT_TRUE(testsupport::writeFile(folder + "libm.a", "")); // only its name counts
    CTarnView* view = openSource("root.c", "#include <math.h>\n#include <stdio.h>\ndouble half(double);\n"
                                           "int main(int c, char** v) { printf(\"%g\\n\", sqrt(half(c * 32.0))); }\n");
    ASSERT_NE(view, nullptr);
    prompts.openFiles = {folder + "libm.a", folder + "half.o"};
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        click(d, "add");
        click(d, "add");
        EXPECT_EQ(d->linkList()->entries(), (QStringList{folder + "half.o", "m"}));
        click(d, "compile");
    }));
    ASSERT_EQ(prompts.openDialogs.size(), 2);
    EXPECT_EQ(prompts.openDialogs[0].filters.first(), "Object and Library Files (*.a *.so *.o)");
    const QString source = folder + "root.c";
    EXPECT_EQ(rows(), compileRows(source, gcc + " " + source + " -o " + folder + "root.exe " + folder +
                                              "half.o -lm "));
    EXPECT_EQ(output(folder + "root.exe"), "4\n");
}

TEST_F(SingleFileTools, BuildSourceDialogKeepsTheWindowsSettingsUntilCompile)
{
    CTarnView* view = openSource("keep.c", kHello);
    ASSERT_NE(view, nullptr);
    IdeSettings settings = ideSettings();
    settings.gccPath.clear();
    setIdeSettings(settings);
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        click(d, "outputAOut");
        click(d, "compile");
        EXPECT_TRUE(d->isVisible()) << "the gcc-path message keeps the dialog open";
        click(d, "cancel");
    }));
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages.value(0).startsWith("It appears you have not set your gcc path!"));
    EXPECT_EQ(view->outputChoice, 1);
    EXPECT_EQ(frame()->lastRunCommand, QString());

    // An untitled source shows no dialog.
    prompts.messages.clear();
    app->OnFileNewSource();
    bool shown = runDialog<CSourceBuildDialog>(cmd::BuildSource, [](CSourceBuildDialog* d) { d->reject(); });
    EXPECT_FALSE(shown);
    EXPECT_EQ(prompts.messages, QStringList{"Please save the file before Continuing"});
}

// A full link list refuses the automatic entry and Add..., with a message,
// and loses nothing.
TEST_F(SingleFileTools, AFullLinkListSaysSo)
{
    CTarnView* view = openSource("full.cpp", "int main() {}\n");
    ASSERT_NE(view, nullptr);
    view->linkCount = kMaxLinkEntries;
    for (int i = 0; i < kMaxLinkEntries; ++i)
        view->linkEntries[size_t(i)] = QStringLiteral("lib%1").arg(i, 3, 10, QLatin1Char('0'));
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        EXPECT_EQ(d->linkList()->count(), kMaxLinkEntries);
        click(d, "add");
        EXPECT_EQ(d->linkList()->count(), kMaxLinkEntries);
        click(d, "cancel");
    }));
    EXPECT_EQ(prompts.messages, (QStringList{LinkListFullMessage(), LinkListFullMessage()}));
    EXPECT_TRUE(prompts.openDialogs.isEmpty());
    EXPECT_EQ(view->linkCount, kMaxLinkEntries);
    EXPECT_EQ(view->linkEntries[kMaxLinkEntries - 1], "lib499");
}

TEST_F(SingleFileTools, LinkTwoObjectsAndALibraryIntoANameWithBlanks)
{
    ASSERT_TRUE(testsupport::writeFile(folder + "a.c", "#include <math.h>\nint b(void);\n"
                                                       "int main(void) { return b() + (int)floor(0.5); }\n"));
    ASSERT_TRUE(testsupport::writeFile(folder + "b.c", "int b(void) { return 3; }\n"));
    for (const char* name : {"a", "b"}) {
        QProcess compile;
        compile.start(gcc, {"-c", folder + name + ".c", "-o", folder + name + ".o"});
        ASSERT_TRUE(compile.waitForFinished(60000));
    }
    ASSERT_TRUE(testsupport::writeFile(folder + "libm.a", ""));
    prompts.openFiles = {folder + "libm.a", folder + "b.o", folder + "a.o"};
    const QString output = folder + "linked prog";
    ASSERT_TRUE(runDialog<CLinkDialog>(cmd::Link, [&](CLinkDialog* d) {
        click(d, "add");
        click(d, "add");
        click(d, "add");
        d->findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
        EXPECT_TRUE(d->isVisible());
        type(d, "outputName", output);
        d->findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
    }));
    EXPECT_EQ(prompts.messages, QStringList{"You must enter an output filename"});
    const QString line = gcc + " -o " + output + " " + folder + "a.o " + folder + "b.o -lm ";
    EXPECT_EQ(rows(), (std::vector<Row>{{"Linking with command line of:", IconInfo}, {line, IconInfo},
                                        {"", Sep}, {"No warnings or errors recieved from gcc", IconInfo},
                                        {"", Sep}}));
    QProcess run;
    run.start(output, {});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 3);

    // Opened again, the dialog is empty.
    ASSERT_TRUE(runDialog<CLinkDialog>(cmd::Link, [&](CLinkDialog* d) {
        EXPECT_EQ(d->linkList()->count(), 0);
        EXPECT_TRUE(d->findChild<QLineEdit*>("outputName")->text().isEmpty());
        d->reject();
    }));
}

TEST_F(SingleFileTools, MakeInAnotherDirectory)
{
    const QString other = dir.filePath("other dir") + "/";
    ASSERT_TRUE(testsupport::writeFile(other + "Makefile",
                                       "all:\n\t@echo built here\n\t@echo warned >&2\n\t@touch made\n"));
    const QString makefile = other + "Makefile";
    EXPECT_TRUE(frame()->lastMakeFile.isEmpty()); // the dialog shows it: empty at first
    // The dialog closes at once; make runs as a job of the application.
    runMake(makefile);
    EXPECT_EQ(rows(), (std::vector<Row>{{"Output from make:", IconInfo}, {"", Sep}, {"built here", IconInfo},
                                        {"", IconNone}, {"Errors recieved from make:", IconInfo}, {"", Sep},
                                        {"warned", IconInfo}, {"", IconNone}, {"Ending make", IconInfo},
                                        {"", Sep}}));
    EXPECT_TRUE(QFileInfo::exists(other + "made"));
    EXPECT_EQ(toolDirectory(), other);
    EXPECT_EQ(frame()->lastMakeFile, makefile);
    ASSERT_TRUE(runDialog<CMakeDialog>(cmd::Make, [&](CMakeDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("makeFile")->text(), makefile);
        d->reject();
    }));

    // A makefile that does not exist: make says so, the run still ends.
    g_pMessageView->ClearMessages();
    runMake(other + "missing.mk");
    const QStringList shown = texts();
    ASSERT_GE(shown.size(), 4);
    EXPECT_EQ(shown[0], "Errors recieved from make:");
    EXPECT_TRUE(shown[2].contains("missing.mk")) << shown[2].toStdString();
    EXPECT_EQ(shown[shown.size() - 2], "Ending make");

    // A folder that cannot be entered is said; the current directory stays.
    g_pMessageView->ClearMessages();
    const QString nowhere = dir.filePath("no such dir") + "/";
    runMake(nowhere + "Makefile");
    ASSERT_FALSE(texts().isEmpty());
    EXPECT_EQ(texts().first(), "Error: cannot enter the directory " + nowhere);
    EXPECT_EQ(texts()[texts().size() - 2], "Ending make");
    EXPECT_EQ(toolDirectory(), other);
}

// After each build the status bar says what happened, from the tools' exit
// statuses and the diagnostics counted in the rows; the rows stay as they
// are.
TEST_F(SingleFileTools, BuildVerdictInTheStatusBar)
{
    QStatusBar* bar = frame()->statusBar();
    const QString noGcc = dir.filePath("nosuchgcc"), noMake = dir.filePath("nosuchmake");
    struct Case {
        const char* name;
        bool make;
        QByteArray input; // source or makefile
        QString tool;
        QString verdict;
    };
    const std::vector<Case> cases{
        {"hello", false, kHello, gcc, "Build succeeded"},
        {"broken", false, "#warning w\n#error e1\n#error e2\n#error e3\nint main(void) { return 0; }\n", gcc,
         "Build failed: 3 errors, 1 warning"},
        {"nogcc", false, kHello, noGcc, "Build failed: could not start nosuchgcc"},
        {"made", true, "all:\n\t@echo fine\n", make, "Build succeeded"},
        {"unmade", true, "all:\n\t@echo broken >&2\n\t@exit 3\n", make, "make failed (exit status 2)"},
        {"nomake", true, "all:\n", noMake, "Build failed: could not start nosuchmake"},
    };
    for (const Case& c : cases) {
        IdeSettings settings = ideSettings();
        (c.make ? settings.makePath : settings.gccPath) = c.tool;
        setIdeSettings(settings);
        bar->clearMessage();
        if (c.make) {
            ASSERT_TRUE(testsupport::writeFile(folder + c.name + ".mk", c.input));
            ASSERT_NE(MakeThread(folder + c.name + ".mk"), 0);
            ASSERT_TRUE(app->jobs()->waitForAll(60000));
            FlushMessages();
        } else {
            ASSERT_NE(openSource(QString(c.name) + ".c", c.input), nullptr);
            ASSERT_TRUE(execute(cmd::QuickCompile));
        }
        EXPECT_EQ(bar->currentMessage(), c.verdict) << c.name;
        if (QLatin1String(c.name) == QLatin1String("nogcc")) {
            EXPECT_TRUE(texts().join('\n').contains("Error: could not start " + noGcc)) << texts().join('\n').toStdString();
        }
        if (QLatin1String(c.name) == QLatin1String("broken")) {
            // The counted rows are shown as gcc wrote them.
            int diagnostics = 0;
            for (const Row& row : rows())
                diagnostics += row.second == IconDiagnostic && row.first.contains("#");
            EXPECT_EQ(diagnostics, 4);
        }
    }
}

// Run and Debug hand their program to the terminal: a script set as
// $TERMINAL records its arguments and runs the rest, as a terminal would.
TEST_F(SingleFileTools, RunAndDebugThroughATerminal)
{
    const QString helper = QStringLiteral(TARN_TEST_BINARY_DIR "/tarn_tool_helper");
    const QString tarn = QStringLiteral(TARN_TEST_BINARY_DIR "/../tarn");
    ASSERT_TRUE(QFileInfo(tarn).isExecutable());
    const QString record = dir.filePath("record");
    const QString terminal = dir.filePath("fake-terminal");
    ASSERT_TRUE(testsupport::writeFile(
        terminal, ("#!/bin/sh\n{ pwd; printf '%s\\n' \"$@\"; } > '" + record + "'\nshift\n\"$@\" < /dev/null > '" +
                   record + ".out' 2>&1\n").toUtf8()));
    QFile::setPermissions(terminal, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray savedTerminal = qgetenv("TERMINAL");
    qputenv("TERMINAL", terminal.toUtf8());
    setTerminalWaiter(tarn);
    auto recorded = [&](int lines) {
        EXPECT_TRUE(testsupport::waitUntil([&] {
            return QString::fromUtf8(testsupport::readFile(record)).count('\n') >= lines &&
                   testsupport::readFile(record + ".out").contains("Press Enter");
        }));
        const QStringList all = QString::fromUtf8(testsupport::readFile(record)).split('\n');
        QFile::remove(record);
        return all.mid(0, all.size() - 1);
    };

    frame()->lastRunCommand = helper;
    ASSERT_TRUE(runDialog<CRunDialog>(cmd::RunExecutable, [&](CRunDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("command")->text(), helper);
        type(d, "arguments", "args \"; rm -rf ~\" '$(x)' * C:\\SRC\\X");
        click(d, "ok");
    }));
    const QString cwd = QFileInfo(folder).canonicalFilePath();
    EXPECT_EQ(recorded(10), (QStringList{cwd, "-e", tarn, "--run-and-wait", helper, "args", "; rm -rf ~",
                                         "$(x)", "*", "C:SRCX"}));
    const QByteArray ran = testsupport::readFile(record + ".out");
    EXPECT_TRUE(ran.startsWith("argc=5\nargs\n; rm -rf ~\n$(x)\n*\nC:SRCX\n")) << ran.constData();
    EXPECT_TRUE(ran.contains("ended with exit status 0.")) << ran.constData();
    EXPECT_EQ(frame()->lastRunArguments, "args \"; rm -rf ~\" '$(x)' * C:\\SRC\\X");

    // Cancel keeps the remembered values.
    ASSERT_TRUE(runDialog<CRunDialog>(cmd::RunExecutable, [&](CRunDialog* d) {
        type(d, "arguments", "other");
        click(d, "cancel");
    }));
    EXPECT_EQ(frame()->lastRunArguments, "args \"; rm -rf ~\" '$(x)' * C:\\SRC\\X");

    // A command that does not exist: the terminal says so and waits.
    ASSERT_TRUE(runDialog<CRunDialog>(cmd::RunExecutable, [&](CRunDialog* d) {
        type(d, "command", folder + "no such program");
        type(d, "arguments", "");
        click(d, "ok");
    }));
    recorded(5);
    EXPECT_TRUE(testsupport::readFile(record + ".out").startsWith("Tarn could not start \""))
        << testsupport::readFile(record + ".out").constData();

    // Debug: the two messages keep the dialog open; gdb gets the name whole.
    IdeSettings settings = ideSettings();
    settings.gdbPath.clear();
    setIdeSettings(settings);
    const QString program = folder + "C:\\SRC\\HELLO.EXE";
    ASSERT_TRUE(runDialog<CDebugDialog>(cmd::Debug, [&](CDebugDialog* d) {
        click(d, "go");
        EXPECT_TRUE(d->isVisible());
        settings.gdbPath = helper; // stands in for gdb
        setIdeSettings(settings);
        click(d, "go");
        EXPECT_TRUE(d->isVisible());
        type(d, "executable", program);
        click(d, "go");
    }));
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[0].startsWith("It appears you have not set your gdb path!"));
    EXPECT_EQ(prompts.messages[1], "Please enter an executable file");
    EXPECT_EQ(recorded(6), (QStringList{cwd, "-e", tarn, "--run-and-wait", helper, program}));

    qputenv("TERMINAL", savedTerminal);
    setTerminalWaiter(QString());
}

// Closing Tarn while make runs stops make and the commands it started, and
// joins the worker before the message window goes.
TEST_F(SingleFileTools, ClosingTarnStopsARunningMake)
{
    const QString other = dir.filePath("slow") + "/";
    ASSERT_TRUE(testsupport::writeFile(other + "Makefile",
                                       "all:\n\t@echo going\n\t@sh -c 'echo $$$$ > pid; exec sleep 300'\n"));
    runMake(other + "Makefile", false);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !testsupport::readFile(other + "pid").isEmpty(); }));
    const pid_t sleeper = testsupport::readFile(other + "pid").trimmed().toInt();
    ASSERT_GT(sleeper, 0);
    EXPECT_EQ(app->jobs()->runningCount(), 1);
    app.reset();
    EXPECT_TRUE(testsupport::waitUntil([&] { return ::kill(sleeper, 0) != 0; }))
        << "the recipe's sleep survived closing Tarn";
}
