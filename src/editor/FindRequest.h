#pragma once

#include <QString>

// What the Find and Replace dialogs ask for.
struct FindRequest {
    QString text;
    QString replacement;
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true; // search towards the end of the text
};
