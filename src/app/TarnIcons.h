#pragma once

#include <QIcon>
#include <QPixmap>

// Tarn's own pictures, drawn in code: the program icon and the About box
// picture (a mountain lake).
QIcon tarnAppIcon();
QPixmap tarnLogo(const QSize& size);

// The 16 x 15 picture of a toolbar button, drawn for the command id.
QIcon toolbarIcon(int commandId);
