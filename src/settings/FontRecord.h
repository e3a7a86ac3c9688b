#pragma once

#include "settings/LogFontRecord.h"

#include <QFont>

// Conversion between a QFont and the font record Tarn32.ini stores. Heights
// are pixels at 96 dots per inch (a 10-point font is 13 pixels high, stored
// as -13), so the record means the same size on every screen.
LogFontRecord fontRecordFromFont(const QFont& font);
QFont fontFromFontRecord(const LogFontRecord& record);

// The source font when the settings hold none: "courier", 10 points. The
// family name is kept, and the type-writer hint makes it resolve to a real
// monospace font on hosts that have no Courier.
QFont defaultSourceFont();
