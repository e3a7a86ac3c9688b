#pragma once

#include <QString>

// Tarn's current directory: the folder Quick Compile, Build Source, Link,
// Run and Debug start their child in, and which Make changes to the
// makefile's folder. It is a value Tarn keeps; the process's own current
// directory is never changed, so runs on several threads cannot race on it.
//
// Until Make sets it, it follows the process's current directory. Always
// ends with a separator. Safe to read and set from any thread.
QString toolDirectory();
// Makes the folder Tarn's current directory (made absolute against the
// current one; a separator is added when missing). An empty text makes it
// follow the process's current directory again.
void setToolDirectory(const QString& directory);

