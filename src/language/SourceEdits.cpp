#include "language/SourceEdits.h"

#include "messages/RowBytes.h"
#include "tools/PathBytes.h"

#include <QFileInfo>

#include <algorithm>
#include <tuple>

namespace {

// A file a rename edits is read whole; larger than this it is refused.
constexpr qint64 kMaxEditedFileBytes = 256 * 1024 * 1024;

// Where a line starts, or -1 past the end; a line break is LF, CR LF or CR.
qsizetype lineStart(QByteArrayView text, int line)
{
    qsizetype at = 0;
    for (int i = 0; i < line; ++i) {
        while (at < text.size() && text[at] != '\n' && text[at] != '\r')
            ++at;
        if (at >= text.size())
            return -1;
        at += text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
    }
    return at;
}

qsizetype lineEnd(QByteArrayView text, qsizetype start)
{
    qsizetype at = start;
    while (at < text.size() && text[at] != '\n' && text[at] != '\r')
        ++at;
    return at;
}

} // namespace

QByteArray LineOfText(QByteArrayView text, int line)
{
    const qsizetype start = line < 0 ? -1 : lineStart(text, line);
    if (start < 0)
        return {};
    return text.sliced(start, lineEnd(text, start) - start).toByteArray();
}

std::optional<QByteArray> ApplyEdits(QByteArrayView text, std::vector<LspTextEdit> edits)
{
    struct Span {
        qsizetype from;
        qsizetype to;
        QByteArray bytes;
    };
    std::vector<Span> spans;
    spans.reserve(edits.size());
    auto offset = [&](const LspPosition& at) -> qsizetype {
        const qsizetype start = lineStart(text, at.line);
        if (start < 0 || start + at.column > lineEnd(text, start))
            return -1;
        return start + at.column;
    };
    for (const LspTextEdit& edit : edits) {
        const qsizetype from = offset(edit.range.start);
        const qsizetype to = offset(edit.range.end);
        if (from < 0 || to < from)
            return std::nullopt;
        spans.push_back({from, to, edit.newText.toUtf8()});
    }
    std::stable_sort(spans.begin(), spans.end(),
                     [](const Span& a, const Span& b) { return a.from < b.from; });
    for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].from < spans[i - 1].to)
            return std::nullopt;
    QByteArray result;
    result.reserve(text.size());
    qsizetype at = 0;
    for (const Span& span : spans) {
        result.append(text.sliced(at, span.from - at));
        result.append(span.bytes);
        at = span.to;
    }
    result.append(text.sliced(at));
    return result;
}

QByteArray ReferenceRows(std::vector<LspLocation> locations, const QString& folder,
                         const LineText& lineText)
{
    std::sort(locations.begin(), locations.end(), [](const LspLocation& a, const LspLocation& b) {
        return std::tie(a.path, a.range.start) < std::tie(b.path, b.range.start);
    });
    locations.erase(std::unique(locations.begin(), locations.end()), locations.end());
    QByteArray rows;
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    for (const LspLocation& location : locations) {
        const QString shown = !folder.isEmpty() && location.path.startsWith(prefix)
                                  ? location.path.mid(prefix.size())
                                  : location.path;
        AppendPlaceRow(rows, PathToBytes(shown), location.range.start.line + 1,
                      lineText(location.path, location.range.start.line));
    }
    return rows;
}

ClosedFileEdits PlanClosedFileEdits(const std::vector<LspFileEdits>& edits,
                                    const std::function<bool(const QString&)>& isOpen,
                                    const std::function<QString(const QString&)>& unwritable)
{
    ClosedFileEdits plan;
    for (const LspFileEdits& file : edits) {
        if (isOpen(file.path))
            continue;
        QString why = unwritable(file.path);
        std::optional<QByteArray> bytes;
        if (why.isEmpty())
            bytes = ReadRegularFile(file.path, kMaxEditedFileBytes, &why);
        const std::optional<QByteArray> changed = bytes ? ApplyEdits(*bytes, file.edits) : std::nullopt;
        if (!changed) {
            if (why.isEmpty())
                why = QStringLiteral("the places clangd gave are not in it");
            plan.files.clear();
            plan.problem = QStringLiteral("%1 cannot be changed (%2)").arg(PathForDisplay(file.path), why);
            return plan;
        }
        plan.files.emplace_back(file.path, *changed);
    }
    return plan;
}

QString UnwritableReason(const QString& path)
{
    if (FileTypeOf(path) != FileType::Regular)
        return QStringLiteral("it is not a regular file");
    const QFileInfo file(path);
    if (!file.isWritable())
        return QStringLiteral("it is read-only");
    if (!QFileInfo(file.absolutePath()).isWritable())
        return QStringLiteral("its folder is read-only");
    return {};
}
