// The main road through the real application: open a source with an error,
// Quick Compile, then double-click the diagnostic row.
#include "app/CMainFrame.h"
#include "app/CTarnApp.h"
#include "app/IdeSettings.h"
#include "editor/CTarnView.h"
#include "editor/ScintillaEditControl.h"
#include "framework/CommandRouter.h"
#include "framework/MdiChildFrame.h"
#include "messages/CMessageView.h"
#include "messages/MessageClassifier.h"
#include "resources/CommandIds.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(MainRoad, QuickCompileThenDoubleClickSelectsTheLine)
{
    const QString gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
    ASSERT_FALSE(gcc.isEmpty());
    QTemporaryDir dir;
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString source = dir.filePath(QStringLiteral("road.c"));
    // Line 4 holds the undeclared name.
    ASSERT_TRUE(testsupport::writeFile(source, "int main(void)\n{\n    int a = 1;\n    return b;\n}\n"));
    const IdeSettings saved = ideSettings();
    {
        ScriptedPrompts prompts; // answers the start-up gcc-path warning
        CTarnApp app;
        ASSERT_TRUE(app.InitInstance({source}));
        IdeSettings settings = ideSettings();
        settings.gccPath = gcc;
        settings.clearBeforeBuild = 1;
        setIdeSettings(settings);

        auto* view = dynamic_cast<CTarnView*>(app.mainWindow()->activeView());
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(app.mainWindow()->router()->execute(cmd::QuickCompile));

        ASSERT_NE(g_pMessageView, nullptr);
        CMessageView* log = g_pMessageView;
        ASSERT_GE(log->rowCount(), 5);
        EXPECT_TRUE(log->rowText(0).startsWith(QStringLiteral("Compiling ")));
        EXPECT_EQ(log->rowText(1), gcc + QStringLiteral(" ") + QDir::toNativeSeparators(source)
                                       + QStringLiteral(" -c "));
        EXPECT_EQ(log->rowIcon(2), IconSeparator);
        EXPECT_EQ(log->rowText(3), QStringLiteral("Errors:"));
        EXPECT_EQ(log->rowIcon(4), IconSeparator);
        int diagnostic = -1;
        for (int row = 5; row < log->rowCount(); ++row) {
            if (log->rowText(row).startsWith(source + QStringLiteral(":4:"))) {
                diagnostic = row;
                break;
            }
        }
        ASSERT_GE(diagnostic, 0) << "no diagnostic for line 4";
        EXPECT_EQ(log->rowIcon(diagnostic), IconDiagnostic);

        view->editControl().setSelection(0, 0);
        log->setSelectedRow(diagnostic);
        log->OnDoubleClick();
        EXPECT_EQ(view->selectedText(), QStringLiteral("    return b;"));
        EXPECT_EQ(app.mainWindow()->activeView(), view);
        app.closeAllDocuments();
    }
    setIdeSettings(saved);
    QDir::setCurrent(previousDir);
}
