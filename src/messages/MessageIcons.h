#pragma once

#include <QPixmap>

// The 12 x 12 pictures of the message list, drawn in code: index 0 a blue
// octagon with a white "i", 1 a red octagon with a black outline and a black
// cross, 2 a white square with a black bar across the middle, 4 a grey
// magnifying glass (MessageClassifier.h names them). Any other index has no
// picture (a null pixmap). Needs a QGuiApplication.
QPixmap messageIconPixmap(int index);
