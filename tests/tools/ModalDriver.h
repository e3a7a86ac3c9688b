#pragma once

// Drives the modal dialog a command opens: once a dialog of type T is the
// active modal widget, `drive` runs on it once; a dialog left open is a
// failure and is closed so the test cannot hang.
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

template <typename T>
bool DriveModal(const std::function<void()>& open, const std::function<void(T*)>& drive)
{
    bool driven = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || driven)
            return;
        driven = true;
        drive(dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "dialog still open";
            dialog->reject();
        }
    });
    poll.start(10);
    open();
    return driven;
}

// Clicks the named button of a dialog.
inline void ClickButton(QWidget* dialog, const char* name)
{
    auto* button = dialog->findChild<QAbstractButton*>(QLatin1String(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}
