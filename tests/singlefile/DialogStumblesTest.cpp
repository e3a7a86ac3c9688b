// Small things a new user trips over in the tool dialogs: where their file
// dialogs open and what they offer, and Build Source's output choice when
// its radio buttons are checked without a click.
#include "ToolWindow.h"

#include "editor/CTarnDoc.h"
#include "project/CProjectView.h"
#include "singlefile/CLinkDialog.h"
#include "singlefile/CSourceBuildDialog.h"
#include "singlefile/RunDebugDialogs.h"

#include <QRadioButton>

namespace {

class DialogStumbles : public ToolWindow {
protected:
    void SetUp() override
    {
        root = QDir(dir.path()).canonicalPath();
        ASSERT_TRUE(
            testsupport::writeFile(root + "/src/hello.c", "int main(void) { return 0; }\n"));
        ASSERT_TRUE(QDir().mkpath(root + "/lib"));
        // Tarn was started somewhere else.
        start(root + "/started");
    }
    template <typename T> void run(int id, const char* button)
    {
        ASSERT_TRUE(DriveModal<T>([&] { EXPECT_TRUE(execute(id)); },
                                  [&](T* d) {
                                      ClickButton(d, button);
                                      d->reject();
                                  }));
    }
    // Where the last file dialog opened and what it offered first and last.
    QString lastDialog()
    {
        if (prompts.openDialogs.isEmpty())
            return QStringLiteral("no file dialog");
        const auto& d = prompts.openDialogs.back();
        return d.directory.mid(root.size()) + " " + d.filters.join(QLatin1Char('|'));
    }

    QString root;
};

TEST_F(DialogStumbles, FileDialogsOpenInTheActiveFilesFolderThenInTheLastOneUsed)
{
    ASSERT_NE(app->openDocumentFile(root + "/src/hello.c"), nullptr);
    const QString programs = "Executable Files (*.exe)|Programs (*)";
    struct Step {
        const char* what;
        std::function<void()> open;
        QString chosen; // the file the dialog answers, empty: cancelled
        QString expected;
    };
    const Step steps[] = {
        {"Run", [&] { run<CRunDialog>(cmd::RunExecutable, "browse"); }, root + "/lib/prog", "/src " + programs},
        {"Run again: the folder chosen last",
         [&] { run<CRunDialog>(cmd::RunExecutable, "browse"); },
         {},
         "/lib " + programs},
        {"Debug", [&] { run<CDebugDialog>(cmd::Debug, "browse"); }, {}, "/src " + programs},
        {"Make", [&] { run<CMakeDialog>(cmd::Make, "browse"); }, {}, "/src Makefiles (*)|All Files (*)"},
        {"Link",
         [&] { run<CLinkDialog>(cmd::Link, "add"); },
         {},
         "/src Object and Library Files (*.a *.so *.o)|All Files (*)"},
        {"Build Source",
         [&] { run<CSourceBuildDialog>(cmd::BuildSource, "add"); },
         {},
         "/src Object and Library Files (*.a *.so *.o)|All Files (*)"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        prompts.openFiles.push_back(step.chosen);
        step.open();
        EXPECT_EQ(lastDialog(), step.expected);
    }

    // Insert File opens in the project's folder, whatever window was active before.
    ASSERT_TRUE(testsupport::writeFile(root + "/proj/x.c", "int x;\n"));
    ASSERT_TRUE(execute(cmd::FileNewProject));
    auto* project = dynamic_cast<CProjectView*>(frame()->activeView());
    ASSERT_NE(project, nullptr);
    prompts.saveFiles.push_back(root + "/proj/p.tarn");
    ASSERT_TRUE(project->fw::View::document()->doFileSave());
    prompts.openFiles.push_back(root + "/proj/x.c");
    project->OnInsertFile();
    EXPECT_EQ(lastDialog(), "/proj Source Files (*.*)|All Files (*)");
}

TEST_F(DialogStumbles, BuildSourceNameFieldFollowsTheOutputChoiceHoweverItIsChecked)
{
    ASSERT_NE(app->openDocumentFile(root + "/src/hello.c"), nullptr);
    ASSERT_TRUE(DriveModal<CSourceBuildDialog>(
        [&] { EXPECT_TRUE(execute(cmd::BuildSource)); },
        [&](CSourceBuildDialog* d) {
            auto* name = d->findChild<QLineEdit*>("executableName");
            // As a screen reader or the keyboard checks them: no click.
            d->findChild<QRadioButton*>("outputAOut")->setChecked(true);
            EXPECT_FALSE(name->isEnabled());
            d->findChild<QRadioButton*>("outputNamed")->setChecked(true);
            EXPECT_TRUE(name->isEnabled());
            d->reject();
        }));
}

} // namespace
