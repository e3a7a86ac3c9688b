// The titles an X11 window manager shows for Tarn's windows, read from the
// X server (_NET_WM_NAME and WM_NAME): exactly Tarn's own texts, with no
// application name or "[child]" added by the toolkit. Runs under xvfb-run
// (the X11WindowTitles test); on the offscreen platform it is skipped.
#include "app/AppIdentity.h"
#include "app/CIDEOptionsDialog.h"
#include "app/CMainFrame.h"
#include "app/CTarnApp.h"
#include "app/IdeSettings.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"
#include "tools/AdvancedSheet.h"

#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

#ifdef TARN_TEST_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// "_NET_WM_NAME|WM_NAME" of a window as the server has them now.
QString serverTitles(QWidget* window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return QStringLiteral("<no display>");
    const Window id = Window(window->winId());
    QString netName = QStringLiteral("<none>");
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    if (XGetWindowProperty(display, id, netWmName, 0, 1024, False, utf8, &type, &format, &count, &after,
                           &data) == Success && data) {
        netName = QString::fromUtf8(reinterpret_cast<const char*>(data), int(count));
        XFree(data);
    }
    QString wmName = QStringLiteral("<none>");
    XTextProperty text;
    if (XGetWMName(display, id, &text) && text.value) {
        wmName = QString::fromLatin1(reinterpret_cast<const char*>(text.value), int(text.nitems));
        XFree(text.value);
    }
    XCloseDisplay(display);
    return netName + QLatin1Char('|') + wmName;
}

// Waits until the server shows the title on both properties; returns what
// it shows.
std::string waitForTitle(QWidget* window, const QString& title)
{
    const QString wanted = title + QLatin1Char('|') + title;
    testsupport::waitUntil([&] { return serverTitles(window) == wanted; }, 3000);
    return serverTitles(window).toStdString();
}

std::string both(const QString& title)
{
    return (title + QLatin1Char('|') + title).toStdString();
}

} // namespace
#endif

TEST(X11Titles, TitlesAreExactlyTarnsOwn)
{
#ifdef TARN_TEST_X11
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        if (qEnvironmentVariableIsSet("TARN_REQUIRE_X11"))
            FAIL() << "expected the xcb platform, got " << QGuiApplication::platformName().toStdString();
        GTEST_SKIP() << "needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb";
    }
    setTarnIdentity();
    ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), "[Options]\nGCC Path=/usr/bin/gcc\n"));
    ScriptedPrompts prompts;
    CTarnApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* main = app.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    fw::MdiChildFrame* source = main->activeChild();
    ASSERT_NE(source, nullptr);
    const QString title = QStringLiteral("Tarn - ") + source->document()->title();
    EXPECT_EQ(waitForTitle(main, title), both(title));

    // A maximised child adds nothing to the title.
    source->showMaximized();
    QTest::qWait(50);
    EXPECT_EQ(waitForTitle(main, title), both(title));
    EXPECT_EQ(main->windowTitle().toStdString(), title.toStdString());

    CIDEOptionsDialog options(main);
    options.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&options));
    EXPECT_EQ(waitForTitle(&options, QStringLiteral("Dialog")), "Dialog|Dialog");
    options.close();

    CAdvancedSheet advanced(CompileOptions{}, main);
    advanced.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&advanced));
    EXPECT_EQ(waitForTitle(&advanced, QStringLiteral("Advanced Options")), "Advanced Options|Advanced Options");
    advanced.close();
    QFile::remove(settingsFilePath());
#else
    GTEST_SKIP() << "built without X11";
#endif
}
