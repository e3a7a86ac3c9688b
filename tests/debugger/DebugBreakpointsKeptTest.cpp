// Breakpoints in the editor's session: Tarn closes with breakpoints set in
// an open window and in a file no window shows; the next start reopens the
// session and every breakpoint is back, in the margin of the reopened
// window and in the debugger's book, enabled or not, with its condition.
#include "app/SettingsTestEnvironment.h"

#include "debugger/DebugController.h"
#include "editor/CTarnView.h"
#include "editor/DebugMargin.h"
#include "framework/Document.h"
#include "support/MarginMarks.h"

#include <gtest/gtest.h>

namespace {

class DebugBreakpointsKept : public SettingsTestEnvironment {
protected:
    void TearDown() override
    {
        app.reset();
        SettingsTestEnvironment::TearDown();
    }
    QString file(const QString& name) const { return configFolder() + QLatin1Char('/') + name; }
    void writeSource(const QString& name, int lines)
    {
        QByteArray text;
        for (int i = 1; i <= lines; ++i)
            text += "int line" + QByteArray::number(i) + ";\n";
        ASSERT_TRUE(testsupport::writeFile(file(name), text));
    }
    void start()
    {
        app.reset();
        app = std::make_unique<CTarnApp>();
        ASSERT_TRUE(app->InitInstance({}));
        main = app->mainWindow();
    }
    BreakpointBook& book() { return main->debugger()->breakpointBook(); }
    CTarnView* viewOf(const QString& path)
    {
        fw::Document* doc = app->openDocumentFile(path);
        return doc ? dynamic_cast<CTarnView*>(doc->firstView()) : nullptr;
    }

    std::unique_ptr<CTarnApp> app;
    CMainFrame* main = nullptr;
};

TEST_F(DebugBreakpointsKept, BackWhenTheLastSessionIsReopened)
{
    ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), "[Options]\nGCC Path=/usr/bin/gcc\n"));
    writeSource(QStringLiteral("main.c"), 30);
    writeSource(QStringLiteral("util.c"), 10);
    start();
    CTarnView* view = viewOf(file("main.c"));
    ASSERT_NE(view, nullptr);
    book().toggle(view, file("main.c"), 4);
    book().toggle(view, file("main.c"), 11);
    // Typed above both: the marks, and what is kept, move with the text.
    view->insertAt(QStringLiteral("int added;\n"), 0, 0);
    book().setEnabled(file("main.c"), 13, false);
    book().toggle(nullptr, file("util.c"), 2);
    book().setCondition(file("util.c"), 3, "line1 > 2");
    ASSERT_TRUE(view->fw::View::document()->doFileSave());

    ASSERT_TRUE(main->close());
    const QByteArray written = testsupport::readFile(settingsFilePath());
    EXPECT_TRUE(written.contains("Breakpoints=3\n")) << written.constData();
    EXPECT_TRUE(written.contains("BreakpointIf3=line1 > 2\n")) << written.constData();

    start();
    view = viewOf(file("main.c"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(marginmarks::BreakpointLines(view), (QList<int>{5, 12}));
    EXPECT_TRUE(marginmarks::HasMark(view, 12, debugmargin::kDisabledBreakpointMarker));
    EXPECT_EQ(book().breakpoints(file("main.c")),
              (QList<BookBreakpoint>{{6, true, {}}, {13, false, {}}}));
    EXPECT_EQ(book().breakpoints(file("util.c")), (QList<BookBreakpoint>{{3, true, "line1 > 2"}}));
}

} // namespace
