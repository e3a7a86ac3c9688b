#pragma once

#include <QString>

class IdeContext;

// Where a file dialog of Tarn's tools opens: the folder last chosen in that
// same dialog (named by key, e.g. "make"), else the folder of ownerFile
// when given (the project a file is inserted into), else the folder of the
// active project or source window, else Tarn's current directory. The
// tool session keeps the folders; nothing is kept between runs.
QString BrowseFolder(const IdeContext& tools, const QString& key, const QString& ownerFile = QString());
// Remembers the folder of a file chosen in that dialog (nothing for an
// empty path, a cancelled dialog).
void RememberBrowseFolder(IdeContext& tools, const QString& key, const QString& chosenPath);
