// The titles an X11 window manager shows for Tarn's windows, read from the
// X server (_NET_WM_NAME and WM_NAME): exactly Tarn's own texts, with no
// application name or "[child]" added by the toolkit. Runs under xvfb-run
// (the X11WindowTitles test); on the offscreen platform it is skipped.
#include "SettingsTestEnvironment.h"

#include "app/AppIdentity.h"
#include "app/CIDEOptionsDialog.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

#ifdef TARN_TEST_X11
#include <qguiapplication_platform.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// A text property of a window as the server has it now.
QString property(Display* display, QWidget* window, const char* name)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, Window(window->winId()), XInternAtom(display, name, False), 0,
                           1024, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) != Success ||
        !data)
        return QStringLiteral("<none>");
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(count));
    XFree(data);
    return text;
}

// Tarn's own connection to the X server. The server answers a question on
// a connection only after every request made on it before: read there, a
// property is what Tarn has set so far, with nothing still on its way.
Display* tarnsDisplay()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// The server shows the title as _NET_WM_NAME and WM_NAME, once Tarn has
// handled what is pending (a title is set as the change is handled).
void expectTitle(QWidget* window, const QString& title)
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    Display* display = tarnsDisplay();
    ASSERT_NE(display, nullptr) << "Qt's xcb platform gives no Xlib display";
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_EQ(property(display, window, "_NET_WM_NAME"), title);
    EXPECT_EQ(property(display, window, "WM_NAME"), title);
}

} // namespace
#endif

using X11Titles = SettingsTestEnvironment;

TEST_F(X11Titles, TitlesAreExactlyTarnsOwn)
{
#ifdef TARN_TEST_X11
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        if (qEnvironmentVariableIsSet("TARN_REQUIRE_X11"))
            FAIL() << "expected the xcb platform, got "
                   << QGuiApplication::platformName().toStdString();
        GTEST_SKIP() << "needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb";
    }
    setTarnIdentity();
    CTarnApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* main = app.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    fw::MdiChildFrame* source = main->activeChild();
    const QString title = QStringLiteral("Tarn - ") + source->document()->title();
    expectTitle(main, title);

    // A maximised child adds nothing to the title.
    source->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return source->isMaximized(); }, 30000));
    expectTitle(main, title);

    CIDEOptionsDialog options(main->context(), main);
    options.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&options));
    expectTitle(&options, QStringLiteral("Dialog"));
    options.close();
#else
    GTEST_SKIP() << "built without X11";
#endif
}
