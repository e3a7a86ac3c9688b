#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// GNU make's directory rows, printed on its standard output by make -C and
// by recursive makes, e.g.
//   make[1]: Entering directory '/home/me/hello/lib'
//   make[1]: Leaving directory '/home/me/hello/lib'
// (older makes open the quote with a backquote, a UTF-8 locale may use
// curly quotes).
struct MakeDirectoryRow {
    bool entering = false;
    QString directory;
    friend bool operator==(const MakeDirectoryRow&, const MakeDirectoryRow&) = default;
};
std::optional<MakeDirectoryRow> ParseMakeDirectoryRow(QByteArrayView row);

// The folder a make run's rows were written in: the run's own folder, or
// the folder of the innermost "Entering directory" row not yet left. Fed
// make's standard output row by row, in order.
class MakeDirectories {
public:
    // base: the folder the tool started in (a separator is added when
    // missing).
    explicit MakeDirectories(QString base);

    // Follows a directory row; other rows change nothing.
    enum class Step { None, Entered, Left };
    Step followRow(QByteArrayView row);
    // The folder in force, ending with a separator.
    const QString& current() const { return m_stack.empty() ? m_base : m_stack.back(); }

private:
    QString m_base;
    std::vector<QString> m_stack;
};

// A folder as rows carry it: absolute, with a separator at the end. An
// empty folder is the process's current directory.
QString RowDirectory(const QString& folder);
