#pragma once

// Tarn's main window with the host's gcc and make in its settings and a
// folder of the test's as its current directory, for the tests of the
// single-file tools: commands run by id, rows and verdict read back.
#include "app/CMainFrame.h"
#include "app/CTarnApp.h"
#include "framework/CommandRouter.h"
#include "messages/CMessageView.h"
#include "resources/CommandIds.h"
#include "settings/IdeSettings.h"
#include "singlefile/CMakeDialog.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"
#include "tools/JobManager.h"
#include "tools/ModalDriver.h"
#include "tools/ToolSession.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class ToolWindow : public ::testing::Test {
protected:
    // A row as (text, icon).
    using Row = std::pair<QString, int>;

    // Starts Tarn in `current` (made if need be) with gcc and make set and
    // the message window cleared before builds; the start-up warning and
    // the banner are not the test's.
    void start(const QString& current)
    {
        gcc = QStandardPaths::findExecutable("gcc");
        make = QStandardPaths::findExecutable("make");
        ASSERT_FALSE(gcc.isEmpty() || make.isEmpty()) << "gcc and make are needed";
        ASSERT_TRUE(QDir().mkpath(current));
        app = std::make_unique<CTarnApp>();
        ASSERT_TRUE(app->InitInstance({}));
        changeSettings([&](IdeSettings& s) {
            s.gccPath = gcc;
            s.makePath = make;
            s.clearBeforeBuild = 1;
        });
        frame()->context().setDirectory(current);
        prompts.messages.clear();
        frame()->messageView()->ClearMessages();
    }
    void TearDown() override { app.reset(); }

    CMainFrame* frame() { return app->mainWindow(); }
    CMessageView* messages() { return frame()->messageView(); }
    bool execute(int id) { return frame()->router()->execute(id); }
    QString verdict() { return frame()->statusBar()->currentMessage(); }
    void changeSettings(const std::function<void(IdeSettings&)>& change)
    {
        IdeSettings settings = frame()->context().settings();
        change(settings);
        frame()->context().setSettings(settings);
    }
    // The rows holding the text (all rows without one), with their icons.
    std::vector<Row> rows(const QString& part = QString())
    {
        std::vector<Row> found;
        for (int i = 0; i < messages()->rowCount(); ++i) {
            if (messages()->rowText(i).contains(part))
                found.emplace_back(messages()->rowText(i), messages()->rowIcon(i));
        }
        return found;
    }
    // Runs the command; the modal dialog of type T it opens is driven once.
    template <typename T>
    bool runDialog(int id, const std::function<void(T*)>& drive)
    {
        return DriveModal<T>([&] { EXPECT_TRUE(execute(id)); }, drive);
    }
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
            clickOk(d);
        }));
        if (wait) {
            ASSERT_TRUE(frame()->context().jobs().waitForAll(60000));
            frame()->context().messages().flush();
        }
    }
    static void clickOk(QWidget* dialog)
    {
        dialog->findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
    }
    QStringList texts()
    {
        QStringList all;
        for (const Row& row : rows())
            all << row.first;
        return all;
    }

    ScriptedPrompts prompts;
    QTemporaryDir dir;
    QString gcc, make;
    std::unique_ptr<CTarnApp> app;
};
