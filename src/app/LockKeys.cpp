#include "app/LockKeys.h"

#include <QGuiApplication>

#ifdef TARN_HAVE_X11
#include <X11/XKBlib.h>
#endif

std::optional<LockKeys> queryLockKeys()
{
#ifdef TARN_HAVE_X11
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    auto indicator = [display](const char* name) {
        const Atom atom = XInternAtom(display, name, True);
        Bool on = False;
        if (atom != None)
            XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr);
        return on == True;
    };
    return LockKeys{indicator("Caps Lock"), indicator("Num Lock"), indicator("Scroll Lock")};
#else
    return std::nullopt;
#endif
}
