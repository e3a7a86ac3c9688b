// Quick Compile, Build Source, Link, Make, Run and Debug through the real
// application with the real gcc and make on temporary files whose paths hold
// blanks, quotes, '$' and non-ASCII letters.
#include "ToolWindow.h"

#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "editor/ScintillaEditControl.h"
#include "messages/MessageClassifier.h"
#include "singlefile/CLinkDialog.h"
#include "singlefile/CSourceBuildDialog.h"
#include "singlefile/InterfaceGccRun.h"
#include "singlefile/LinkListBox.h"
#include "singlefile/RunDebugDialogs.h"
#include "singlefile/RunInTerminal.h"
#include "tools/AdvancedSheet.h"
#include "tools/LinkEntries.h"
#include "tools/ToolPathMessages.h"

#include <QFileInfo>
#include <QProcess>
#include <QRadioButton>
#include <QTimer>

#include <csignal>

namespace {

constexpr int Sep = IconSeparator;

class SingleFileTools : public ToolWindow {
protected:
    void SetUp() override
    {
        folder = dir.filePath(QString::fromUtf8("My Projects/it's $x \xc3\xa4")) + "/";
        start(folder);
    }

    CTarnView* openSource(const QString& name, const QByteArray& bytes)
    {
        if (!testsupport::writeFile(folder + name, bytes))
            return nullptr;
        auto* doc = qobject_cast<CTarnDoc*>(app->openDocumentFile(folder + name));
        return doc ? doc->sourceView() : nullptr;
    }
    // gcc run directly, in the folder.
    bool compile(const QStringList& arguments)
    {
        QProcess run;
        run.setWorkingDirectory(folder);
        run.start(gcc, arguments);
        return run.waitForFinished(60000) && run.exitCode() == 0;
    }
    // Ticks -g in the Advanced Options sheet opened from the dialog.
    static void tickDebugInfo(CSourceBuildDialog* d)
    {
        const auto tick = [](CAdvancedSheet* sheet) {
            ClickButton(sheet, "debugInfo");
            sheet->accept();
        };
        EXPECT_TRUE(DriveModal<CAdvancedSheet>([&] { ClickButton(d, "advanced"); }, tick));
        EXPECT_EQ(d->options.debugInfo, 1);
    }
    // The rows of a clean gcc run under its heading.
    static std::vector<Row> cleanRows(const QString& heading, const QString& line)
    {
        return {{heading, IconInfo}, {line, IconInfo}, {"", Sep},
                {"No warnings or errors recieved from gcc", IconInfo}, {"", Sep}};
    }
    static std::vector<Row> compileRows(const QString& source, const QString& line)
    {
        return cleanRows("Compiling " + source + " with command line of:", line);
    }

    QString folder;
};

const QByteArray kHello = "#include <stdio.h>\nint main(void) { puts(\"hello\"); return 0; }\n";

} // namespace

// Without a gcc path or a file name nothing runs and a message says why; the
// Build Source dialog stays open on the first and does not open on the
// second. A gcc that cannot start is said in the rows and the status bar.
TEST_F(SingleFileTools, RefusalsAndAGccThatCannotStart)
{
    CTarnView* view = openSource("keep.c", kHello);
    ASSERT_NE(view, nullptr);
    changeSettings([](IdeSettings& s) { s.gccPath.clear(); });
    ASSERT_TRUE(execute(cmd::QuickCompile));
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        ClickButton(d, "outputAOut");
        ClickButton(d, "compile");
        EXPECT_TRUE(d->isVisible()) << "the gcc-path message keeps the dialog open";
        ClickButton(d, "cancel");
    }));
    EXPECT_EQ(prompts.messages, QStringList(2, GccPathMessage()));
    EXPECT_EQ(view->outputChoice, 1);
    EXPECT_EQ(frame()->context().lastRunCommand, QString());
    EXPECT_TRUE(rows().empty());

    const QString noGcc = dir.filePath("nosuchgcc");
    changeSettings([&](IdeSettings& s) { s.gccPath = noGcc; });
    ASSERT_TRUE(execute(cmd::QuickCompile));
    EXPECT_TRUE(texts().contains("Error: could not start " + noGcc + " (no such file)"))
        << texts().join(QLatin1Char(10)).toStdString();
    EXPECT_EQ(verdict(), "Build failed: could not start nosuchgcc");

    prompts.messages.clear();
    app->OnFileNewSource();
    ASSERT_TRUE(execute(cmd::QuickCompile));
    EXPECT_FALSE(runDialog<CSourceBuildDialog>(cmd::BuildSource,
                                               [](CSourceBuildDialog* d) { d->reject(); }));
    EXPECT_EQ(prompts.messages, QStringList(2, "Please save the file before Continuing"));
}

// Quick Compile compiles the file on disk and offers a modified window for
// saving first: No compiles the clean file, Yes the broken text. The rows
// are gcc's as it wrote them, the status bar counts them, and a double-click
// on a diagnostic selects its line.
TEST_F(SingleFileTools, QuickCompileOffersToSaveAndShowsWhatGccSaid)
{
    CTarnView* view = openSource("offer.c", "int answer(void) { return 42; }\n");
    ASSERT_NE(view, nullptr);
    view->compileOptions.debugInfo = 1;
    view->editControl().setSelection(0, -1);
    view->editControl().replaceSelection(
        "#warning w\n#error e1\n#error e2\n#error e3\nint main(void) { return 0; }\n");
    const QString source = folder + "offer.c";
    const QString line = gcc + " " + source + " -c -g ";
    frame()->context().messages().add("an old row", 0);
    prompts.answers = {fw::Prompts::Answer::No};
    ASSERT_TRUE(execute(cmd::QuickCompile));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Save changes to"));
    EXPECT_EQ(rows(), compileRows(source, line));
    EXPECT_TRUE(QFileInfo::exists(folder + "offer.o"));
    EXPECT_EQ(verdict(), "Build succeeded");
    // A prompt shown over the verdict hides it only while it shows.
    frame()->statusBar()->showMessage("a menu item's prompt");
    frame()->statusBar()->clearMessage();
    EXPECT_EQ(verdict(), "Build succeeded");

    // Clear off: the rows stay.
    changeSettings([](IdeSettings& s) { s.clearBeforeBuild = 0; });
    const int kept = int(rows().size());
    prompts.answers = {fw::Prompts::Answer::Yes};
    ASSERT_TRUE(execute(cmd::QuickCompile));
    EXPECT_FALSE(view->sourceDocument()->isModified());
    QProcess direct;
    direct.setWorkingDirectory(folder);
    direct.start(gcc, {source, "-c", "-g"});
    ASSERT_TRUE(direct.waitForFinished(60000));
    const QStringList shown = texts().mid(kept);
    EXPECT_EQ(shown.mid(0, 5), (QStringList{"Compiling " + source + " with command line of:", line,
                                            "", "Errors:", ""}));
    EXPECT_EQ(shown.mid(5), QString::fromUtf8(direct.readAllStandardError()).split('\n'));
    EXPECT_EQ(verdict(), "Build failed: 3 errors, 1 warning");
    int diagnostics = 0;
    int first = -1;
    for (int i = 0; i < messages()->rowCount(); ++i) {
        if (messages()->rowIcon(i) == IconDiagnostic &&
            messages()->rowText(i).contains("#"))
            ++diagnostics;
        if (first < 0 && messages()->rowText(i).startsWith(source + ":2:"))
            first = i;
    }
    EXPECT_EQ(diagnostics, 4);
    ASSERT_GE(first, 0);
    view->editControl().setSelection(0, 0);
    messages()->setSelectedRow(first);
    messages()->OnDoubleClick();
    EXPECT_EQ(view->selectedText(), "#error e1");
    EXPECT_EQ(frame()->activeView(), view);
}

TEST_F(SingleFileTools, TheMainWindowStaysOpenWhileGccRuns)
{
    // A "gcc" that says it has started and then runs until it is told to
    // end (or a minute has passed); the window system asks to close while
    // it runs.
    const QString slowGcc = folder + "slow-gcc";
    const QString started = folder + "gcc started";
    const QString end = folder + "gcc may end";
    const auto quoted = [](QString path) { return "'" + path.replace("'", "'\\''") + "'"; };
    ASSERT_TRUE(testsupport::writeScript(
        slowGcc, ("#!/bin/sh\n: > " + quoted(started) + "\ni=0\nwhile [ ! -e " + quoted(end) +
                  " ] && [ $i -lt 1200 ]; do sleep 0.05; i=$((i+1)); done\necho done >&2\n")
                     .toUtf8()));
    changeSettings([&](IdeSettings& s) { s.gccPath = slowGcc; });
    ASSERT_NE(openSource("slow.c", "int a;\n"), nullptr);
    bool closeAsked = false;
    bool closeAccepted = true;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (closeAsked || !QFileInfo::exists(started))
            return;
        closeAsked = true;
        closeAccepted = frame()->close();
        testsupport::writeFile(end, "");
    });
    watch.start();
    ASSERT_TRUE(execute(cmd::QuickCompile));
    watch.stop();
    ASSERT_TRUE(closeAsked) << "gcc ended before the close was asked";
    EXPECT_TRUE(QFileInfo::exists(end)) << "gcc ran out its minute";
    EXPECT_FALSE(closeAccepted);
    EXPECT_TRUE(frame()->isVisible());
    EXPECT_EQ(texts().mid(texts().size() - 2), (QStringList{"done", ""}));
    // Once gcc has ended, the window closes as usual.
    EXPECT_TRUE(frame()->close());
}

TEST_F(SingleFileTools, BuildSourceOfHelloAsAOut)
{
    CTarnView* view = openSource("hello.c", kHello);
    ASSERT_NE(view, nullptr);
    const QString source = folder + "hello.c";
    const QString exe = folder + "hello.exe";

    // Advanced Options edits the dialog's copy: Cancel drops it.
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        tickDebugInfo(d);
        ClickButton(d, "cancel");
    }));
    EXPECT_EQ(view->compileOptions.debugInfo, 0);
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("executableName")->text(), exe);
        EXPECT_TRUE(d->linkList()->entries().isEmpty());
        EXPECT_TRUE(testsupport::waitUntil([&] { return d->findChild<QPushButton*>("compile")->hasFocus(); }));
        ClickButton(d, "outputAOut");
        EXPECT_FALSE(d->findChild<QLineEdit*>("executableName")->isEnabled());
        ClickButton(d, "compile");
    }));
    EXPECT_EQ(rows(), compileRows(source, gcc + " " + source + " "));
    EXPECT_EQ(testsupport::programOutput(folder + "a.out"), "hello\n");
    EXPECT_EQ(view->outputChoice, 0);
    // Run proposes the default name even though A.out was built.
    EXPECT_EQ(frame()->context().lastRunCommand, exe);
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        EXPECT_TRUE(d->findChild<QRadioButton*>("outputAOut")->isChecked());
        ClickButton(d, "outputNamed");
        EXPECT_TRUE(d->findChild<QLineEdit*>("executableName")->isEnabled());
        ClickButton(d, "cancel");
    }));
    EXPECT_EQ(view->outputChoice, 0);
}

// A C++ source gets its runtime library once, and none when the list is
// full; an object and libm are added through Add... (objects first);
// "Compile!" hands the ticked -g to the window and to gcc.
TEST_F(SingleFileTools, BuildSourceOfACppSourceWithAnObjectAndALibrary)
{
    ASSERT_TRUE(testsupport::writeFile(folder + "half.c", "double half(double x) { return x / 2; }\n"));
    ASSERT_TRUE(compile({"-c", folder + "half.c", "-o", folder + "half.o"}));
    ASSERT_TRUE(testsupport::writeFile(folder + "libm.a", "")); // only its name counts
    CTarnView* view = openSource(
        "root.cpp",
        "#include <cmath>\n#include <iostream>\nextern \"C\" double half(double);\n"
        "int main(int c, char**) { std::cout << std::sqrt(half(c * 32.0)) << '\\n'; }\n");
    ASSERT_NE(view, nullptr);
    prompts.openFiles = {folder + "libm.a", folder + "half.o"};
    const QStringList entries{folder + "half.o", "m", kCppRuntimeLibrary};
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        EXPECT_EQ(d->linkList()->entries(), QStringList{kCppRuntimeLibrary});
        ClickButton(d, "add");
        ClickButton(d, "add");
        EXPECT_EQ(d->linkList()->entries(), entries);
        tickDebugInfo(d);
        ClickButton(d, "compile");
    }));
    ASSERT_EQ(prompts.openDialogs.size(), 2);
    EXPECT_EQ(prompts.openDialogs[0].filters.first(), "Object and Library Files (*.a *.so *.o)");
    const QString source = folder + "root.cpp";
    const QString exe = folder + "root.exe";
    EXPECT_EQ(rows(), compileRows(source, gcc + " " + source + " -o " + exe + " -g " + folder +
                                              "half.o -lm -lstdc++ "));
    EXPECT_EQ(testsupport::programOutput(exe), "4\n");
    EXPECT_EQ(view->compileOptions.debugInfo, 1);
    EXPECT_EQ(view->outputChoice, 1);

    // Never twice; removed and cancelled, the window keeps its entries.
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        EXPECT_EQ(d->linkList()->entries(), entries);
        d->linkList()->setCurrentRow(2);
        ClickButton(d, "remove");
        ClickButton(d, "cancel");
    }));
    EXPECT_EQ(view->linkCount, 3);
    EXPECT_EQ(view->linkEntries[2], QString(kCppRuntimeLibrary));

    // A full list refuses the runtime entry and Add..., says so, loses nothing.
    view->linkCount = kMaxLinkEntries;
    for (int i = 0; i < kMaxLinkEntries; ++i)
        view->linkEntries[size_t(i)] = QStringLiteral("lib%1").arg(i, 3, 10, QLatin1Char('0'));
    ASSERT_TRUE(runDialog<CSourceBuildDialog>(cmd::BuildSource, [&](CSourceBuildDialog* d) {
        ClickButton(d, "add");
        EXPECT_EQ(d->linkList()->count(), kMaxLinkEntries);
        ClickButton(d, "cancel");
    }));
    EXPECT_EQ(prompts.messages, (QStringList{LinkListFullMessage(), LinkListFullMessage()}));
    EXPECT_EQ(prompts.openDialogs.size(), 2);
    EXPECT_EQ(view->linkEntries[kMaxLinkEntries - 1], "lib499");
}

TEST_F(SingleFileTools, LinkTwoObjectsAndALibraryIntoANameWithBlanks)
{
    ASSERT_TRUE(testsupport::writeFile(folder + "a.c", "#include <math.h>\nint b(void);\n"
                                                       "int main(void) { return b() + (int)floor(0.5); }\n"));
    ASSERT_TRUE(testsupport::writeFile(folder + "b.c", "int b(void) { return 3; }\n"));
    for (const char* name : {"a", "b"})
        ASSERT_TRUE(compile({"-c", folder + name + ".c", "-o", folder + name + ".o"}));
    ASSERT_TRUE(testsupport::writeFile(folder + "libm.a", ""));
    prompts.openFiles = {folder + "libm.a", folder + "b.o", folder + "a.o"};
    const QString output = folder + "linked prog";
    ASSERT_TRUE(runDialog<CLinkDialog>(cmd::Link, [&](CLinkDialog* d) {
        ClickButton(d, "add");
        ClickButton(d, "add");
        ClickButton(d, "add");
        clickOk(d);
        EXPECT_TRUE(d->isVisible());
        type(d, "outputName", output);
        clickOk(d);
    }));
    EXPECT_EQ(prompts.messages, QStringList{"You must enter an output filename"});
    const QString line = gcc + " -o " + output + " " + folder + "a.o " + folder + "b.o -lm ";
    EXPECT_EQ(rows(), cleanRows("Linking with command line of:", line));
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
    EXPECT_TRUE(frame()->context().lastMakeFile.isEmpty()); // the dialog shows it: empty at first
    // The dialog closes at once; make runs as a job of the application.
    runMake(makefile);
    EXPECT_EQ(rows(), (std::vector<Row>{{"Output from make:", IconInfo}, {"", Sep}, {"built here", IconInfo},
                                        {"", IconNone}, {"Errors recieved from make:", IconInfo}, {"", Sep},
                                        {"warned", IconInfo}, {"", IconNone}, {"Ending make", IconInfo},
                                        {"", Sep}}));
    EXPECT_TRUE(QFileInfo::exists(other + "made"));
    EXPECT_EQ(verdict(), "Build succeeded");
    EXPECT_EQ(frame()->context().directory(), other);
    EXPECT_EQ(frame()->context().lastMakeFile, makefile);
    ASSERT_TRUE(runDialog<CMakeDialog>(cmd::Make, [&](CMakeDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("makeFile")->text(), makefile);
        d->reject();
    }));

    // A makefile that does not exist: make says so, the run still ends.
    messages()->ClearMessages();
    runMake(other + "missing.mk");
    const QStringList shown = texts();
    ASSERT_GE(shown.size(), 4);
    EXPECT_EQ(shown[0], "Errors recieved from make:");
    EXPECT_TRUE(shown[2].contains("missing.mk")) << shown[2].toStdString();
    EXPECT_EQ(shown[shown.size() - 2], "Ending make");
    EXPECT_EQ(verdict(), "make failed (exit status 2)");

    // A folder that cannot be entered is said; the current directory stays.
    messages()->ClearMessages();
    const QString nowhere = dir.filePath("no such dir") + "/";
    runMake(nowhere + "Makefile");
    ASSERT_FALSE(texts().isEmpty());
    EXPECT_EQ(texts().first(), "Error: cannot enter the directory " + nowhere);
    EXPECT_EQ(texts()[texts().size() - 2], "Ending make");
    EXPECT_EQ(frame()->context().directory(), other);

    changeSettings([&](IdeSettings& s) { s.makePath = dir.filePath("nosuchmake"); });
    runMake(makefile);
    EXPECT_EQ(verdict(), "Build failed: could not start nosuchmake");
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
    ASSERT_TRUE(testsupport::writeScript(
        terminal, ("#!/bin/sh\n{ pwd; printf '%s\\n' \"$@\"; } > '" + record + "'\nshift\n\"$@\" < /dev/null > '" +
                   record + ".out' 2>&1\n").toUtf8()));
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

    frame()->context().lastRunCommand = helper;
    ASSERT_TRUE(runDialog<CRunDialog>(cmd::RunExecutable, [&](CRunDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("command")->text(), helper);
        type(d, "arguments", "args \"; rm -rf ~\" '$(x)' * C:\\SRC\\X");
        ClickButton(d, "ok");
    }));
    const QString cwd = QFileInfo(folder).canonicalFilePath();
    EXPECT_EQ(recorded(10), (QStringList{cwd, "-e", tarn, "--run-and-wait", helper, "args", "; rm -rf ~",
                                         "$(x)", "*", "C:SRCX"}));
    const QByteArray ran = testsupport::readFile(record + ".out");
    EXPECT_TRUE(ran.startsWith("argc=5\nargs\n; rm -rf ~\n$(x)\n*\nC:SRCX\n")) << ran.constData();
    EXPECT_TRUE(ran.contains("ended with exit status 0.")) << ran.constData();
    EXPECT_EQ(frame()->context().lastRunArguments, "args \"; rm -rf ~\" '$(x)' * C:\\SRC\\X");

    // Cancel keeps the remembered values.
    ASSERT_TRUE(runDialog<CRunDialog>(cmd::RunExecutable, [&](CRunDialog* d) {
        type(d, "arguments", "other");
        ClickButton(d, "cancel");
    }));
    EXPECT_EQ(frame()->context().lastRunArguments, "args \"; rm -rf ~\" '$(x)' * C:\\SRC\\X");

    // A command that does not exist: the terminal says so and waits.
    ASSERT_TRUE(runDialog<CRunDialog>(cmd::RunExecutable, [&](CRunDialog* d) {
        type(d, "command", folder + "no such program");
        type(d, "arguments", "");
        ClickButton(d, "ok");
    }));
    recorded(5);
    EXPECT_TRUE(testsupport::readFile(record + ".out").startsWith("Tarn could not start \""))
        << testsupport::readFile(record + ".out").constData();

    // Debug: the two messages keep the dialog open; gdb gets the name whole.
    changeSettings([](IdeSettings& s) { s.gdbPath.clear(); });
    const QString program = folder + "C:\\SRC\\HELLO.EXE";
    ASSERT_TRUE(runDialog<CDebugDialog>(cmd::Debug, [&](CDebugDialog* d) {
        ClickButton(d, "go");
        EXPECT_TRUE(d->isVisible());
        changeSettings([&](IdeSettings& s) { s.gdbPath = helper; }); // stands in for gdb
        ClickButton(d, "go");
        EXPECT_TRUE(d->isVisible());
        type(d, "executable", program);
        ClickButton(d, "go");
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
    EXPECT_EQ(frame()->context().jobs().runningCount(), 1);
    app.reset();
    EXPECT_TRUE(testsupport::waitUntil([&] { return ::kill(sleeper, 0) != 0; }))
        << "the recipe's sleep survived closing Tarn";
}
