#include "tools/MakeDirectories.h"

#include <QDir>

namespace {

// The quotes make puts around the folder: ' or ` before, ' after, or the
// curly ones (U+2018, U+2019) under a UTF-8 locale.
qsizetype openingQuote(QByteArrayView text)
{
    if (text.startsWith('\'') || text.startsWith('`'))
        return 1;
    if (text.startsWith("\xE2\x80\x98"))
        return 3;
    return 0;
}

qsizetype closingQuote(QByteArrayView text)
{
    if (text.endsWith('\''))
        return 1;
    if (text.endsWith("\xE2\x80\x99"))
        return 3;
    return 0;
}

} // namespace

std::optional<MakeDirectoryRow> ParseMakeDirectoryRow(QByteArrayView row)
{
    if (row.endsWith('\r'))
        row.chop(1);
    for (const bool entering : {true, false}) {
        const QByteArrayView marker = entering ? QByteArrayView(": Entering directory ")
                                               : QByteArrayView(": Leaving directory ");
        const qsizetype at = row.indexOf(marker);
        // The program's name (with [level] for a sub-make) comes first.
        if (at <= 0)
            continue;
        QByteArrayView quoted = row.sliced(at + marker.size());
        const qsizetype open = openingQuote(quoted);
        if (open == 0)
            continue;
        quoted = quoted.sliced(open);
        const qsizetype close = closingQuote(quoted);
        if (close == 0 || quoted.size() < close + 1)
            continue;
        return MakeDirectoryRow{entering, QString::fromUtf8(quoted.chopped(close))};
    }
    return std::nullopt;
}

QString RowDirectory(const QString& folder)
{
    QString absolute = folder.isEmpty()               ? QDir::currentPath()
                       : QDir::isAbsolutePath(folder) ? folder
                                                      : QDir::current().absoluteFilePath(folder);
    if (!absolute.endsWith(QLatin1Char('/')))
        absolute += QLatin1Char('/');
    return absolute;
}

MakeDirectories::MakeDirectories(QString base) : m_base(RowDirectory(base)) {}

MakeDirectories::Step MakeDirectories::followRow(QByteArrayView row)
{
    // Cheap test first: nearly every row is something else.
    if (!row.contains("directory "))
        return Step::None;
    const std::optional<MakeDirectoryRow> parsed = ParseMakeDirectoryRow(row);
    if (!parsed)
        return Step::None;
    if (parsed->entering) {
        QString folder = parsed->directory;
        if (!QDir::isAbsolutePath(folder))
            folder = QDir(current()).absoluteFilePath(folder);
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        m_stack.push_back(folder);
        return Step::Entered;
    }
    if (!m_stack.empty())
        m_stack.pop_back();
    return Step::Left;
}
