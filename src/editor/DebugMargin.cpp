#include "editor/DebugMargin.h"

#include <Qsci/qsciscintilla.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace debugmargin {

namespace {

constexpr int bit(int marker)
{
    return 1 << marker;
}
constexpr int kBreakpointMask = bit(kBreakpointMarker) | bit(kDisabledBreakpointMarker) |
                                bit(kConditionalBreakpointMarker) | bit(kDisabledConditionalMarker) |
                                bit(kNotSetBreakpointMarker);
constexpr int kBandMask = bit(kCurrentLineMarker) | bit(kCallerLineMarker);

const QColor kBreakpointRed(0xd0, 0x20, 0x20);
const QColor kBreakpointEdge(0x80, 0x00, 0x00);
const QColor kHollow(0xf4, 0xf4, 0xf4);
const char* const kCaretLineWanted = "tarnCaretLineWanted";

// A diamond as wide as the disc Scintilla draws in a line of the source
// font: a breakpoint with a condition.
QImage diamond(int size, const QColor& fill, const QColor& edge)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal half = size / 2.0;
    QPainterPath path;
    path.moveTo(half, 0.5);
    path.lineTo(size - 0.5, half);
    path.lineTo(half, size - 0.5);
    path.lineTo(0.5, half);
    path.closeSubpath();
    painter.setPen(QPen(edge, 1.2));
    painter.setBrush(fill);
    painter.drawPath(path);
    return image;
}

// The caret line's tint, off while the caret is on a band.
void fitCaretLine(QsciScintilla* editor)
{
    const bool wanted = editor->property(kCaretLineWanted).toBool();
    int line = 0;
    int index = 0;
    editor->getCursorPosition(&line, &index);
    const bool shown = wanted && (editor->markersAtLine(line) & kBandMask) == 0;
    if (bool(editor->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE)) != shown)
        editor->setCaretLineVisible(shown);
}

void showBand(QsciScintilla* editor, int marker, int line)
{
    editor->markerDeleteAll(marker);
    if (line >= 0)
        editor->markerAdd(line, marker);
    fitCaretLine(editor);
}

} // namespace

void Install(QsciScintilla* editor)
{
    editor->setMarginType(kMargin, QsciScintilla::SymbolMargin);
    editor->setMarginWidth(kMargin, 16);
    editor->setMarginSensitivity(kMargin, true);
    editor->setMarginMarkerMask(kMargin, kBreakpointMask | bit(kCurrentArrowMarker));
    editor->markerDefine(QsciScintilla::Circle, kBreakpointMarker);
    editor->setMarkerBackgroundColor(kBreakpointRed, kBreakpointMarker);
    editor->setMarkerForegroundColor(kBreakpointEdge, kBreakpointMarker);
    editor->markerDefine(QsciScintilla::Circle, kDisabledBreakpointMarker);
    editor->setMarkerBackgroundColor(kHollow, kDisabledBreakpointMarker);
    editor->setMarkerForegroundColor(kBreakpointRed, kDisabledBreakpointMarker);
    const int size = std::clamp(QFontMetrics(editor->font()).height() - 3, 9, 13);
    editor->markerDefine(diamond(size, kBreakpointRed, kBreakpointEdge), kConditionalBreakpointMarker);
    editor->markerDefine(diamond(size, kHollow, kBreakpointRed), kDisabledConditionalMarker);
    editor->markerDefine(QsciScintilla::Circle, kNotSetBreakpointMarker);
    editor->setMarkerBackgroundColor(kHollow, kNotSetBreakpointMarker);
    editor->setMarkerForegroundColor(QColor(0x90, 0x90, 0x90), kNotSetBreakpointMarker);
    editor->markerDefine(QsciScintilla::RightArrow, kCurrentArrowMarker);
    editor->setMarkerBackgroundColor(QColor(0xf0, 0xc0, 0x00), kCurrentArrowMarker);
    editor->setMarkerForegroundColor(QColor(0x60, 0x40, 0x00), kCurrentArrowMarker);
    editor->markerDefine(QsciScintilla::Background, kCurrentLineMarker);
    editor->setMarkerBackgroundColor(QColor::fromRgb(kCurrentLineColour), kCurrentLineMarker);
    editor->markerDefine(QsciScintilla::Background, kCallerLineMarker);
    editor->setMarkerBackgroundColor(QColor::fromRgb(kCallerLineColour), kCallerLineMarker);
    editor->setProperty(kCaretLineWanted, editor->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE) != 0);
    QObject::connect(editor, &QsciScintilla::cursorPositionChanged, editor,
                     [editor] { fitCaretLine(editor); });
}

void ShowCaretLine(QsciScintilla* editor, bool shown)
{
    editor->setProperty(kCaretLineWanted, shown);
    fitCaretLine(editor);
}

void ShowCurrentLine(QsciScintilla* editor, int line)
{
    editor->markerDeleteAll(kCurrentArrowMarker);
    if (line >= 0)
        editor->markerAdd(line, kCurrentArrowMarker);
    showBand(editor, kCurrentLineMarker, line);
}

void ShowCallerLine(QsciScintilla* editor, int line)
{
    showBand(editor, kCallerLineMarker, line);
}

} // namespace debugmargin

void BreakpointBook::syncFromEditor(Entry& entry) const
{
    if (!entry.editor)
        return;
    for (Mark& mark : entry.marks) {
        const int line = mark.handle >= 0 ? entry.editor->markerLine(mark.handle) : -1;
        if (line >= 0)
            mark.breakpoint.line = line + 1;
    }
    // Two marks pushed onto one line by an edit are one breakpoint.
    QList<Mark> kept;
    for (const Mark& mark : entry.marks) {
        const bool twice = std::any_of(kept.begin(), kept.end(), [&](const Mark& k) {
            return k.breakpoint.line == mark.breakpoint.line;
        });
        if (!twice)
            kept.append(mark);
    }
    std::sort(kept.begin(), kept.end(),
              [](const Mark& a, const Mark& b) { return a.breakpoint.line < b.breakpoint.line; });
    entry.marks = kept;
}

void BreakpointBook::showMarks(const Entry& entry)
{
    if (!entry.editor)
        return;
    using namespace debugmargin;
    for (int marker : {kBreakpointMarker, kDisabledBreakpointMarker, kConditionalBreakpointMarker,
                       kDisabledConditionalMarker, kNotSetBreakpointMarker})
        entry.editor->markerDeleteAll(marker);
    for (const Mark& mark : entry.marks) {
        const BookBreakpoint& b = mark.breakpoint;
        int marker = b.enabled ? kBreakpointMarker : kDisabledBreakpointMarker;
        if (!b.notSet.isEmpty())
            marker = kNotSetBreakpointMarker;
        else if (!b.condition.trimmed().isEmpty())
            marker = b.enabled ? kConditionalBreakpointMarker : kDisabledConditionalMarker;
        const_cast<Mark&>(mark).handle = entry.editor->markerAdd(b.line - 1, marker);
    }
}

void BreakpointBook::toggle(QsciScintilla* editor, const QString& path, int line)
{
    Entry& entry = m_files[path];
    if (entry.editor != editor)
        attach(editor, path);
    syncFromEditor(entry);
    const int oneBased = line + 1;
    const auto it = std::find_if(entry.marks.begin(), entry.marks.end(),
                                 [&](const Mark& m) { return m.breakpoint.line == oneBased; });
    const bool added = it == entry.marks.end();
    if (added)
        entry.marks.append(Mark{BookBreakpoint{oneBased, true, {}, {}}, -1});
    else
        entry.marks.erase(it);
    std::sort(entry.marks.begin(), entry.marks.end(),
              [](const Mark& a, const Mark& b) { return a.breakpoint.line < b.breakpoint.line; });
    showMarks(entry);
    emit toggled(path, oneBased, added);
    emit changed();
}

QList<BookBreakpoint> BreakpointBook::breakpoints(const QString& path) const
{
    const auto it = m_files.find(path);
    if (it == m_files.end())
        return {};
    syncFromEditor(it.value());
    QList<BookBreakpoint> list;
    for (const Mark& mark : it.value().marks)
        list.append(mark.breakpoint);
    return list;
}

QStringList BreakpointBook::files() const
{
    QStringList list;
    for (auto it = m_files.begin(); it != m_files.end(); ++it) {
        if (!it.value().marks.isEmpty())
            list.append(it.key());
    }
    list.sort();
    return list;
}

void BreakpointBook::setEnabled(const QString& path, int line, bool enabled)
{
    auto it = m_files.find(path);
    if (it == m_files.end())
        return;
    syncFromEditor(it.value());
    for (Mark& mark : it.value().marks) {
        if (mark.breakpoint.line == line)
            mark.breakpoint.enabled = enabled;
    }
    showMarks(it.value());
    emit changed();
}

void BreakpointBook::setCondition(const QString& path, int line, const QByteArray& condition)
{
    auto it = m_files.find(path);
    if (it == m_files.end())
        return;
    syncFromEditor(it.value());
    for (Mark& mark : it.value().marks) {
        if (mark.breakpoint.line == line)
            mark.breakpoint.condition = condition;
    }
    showMarks(it.value());
    emit changed();
}

void BreakpointBook::setNotSet(const QString& path, int line, const QString& reason)
{
    auto it = m_files.find(path);
    if (it == m_files.end())
        return;
    syncFromEditor(it.value());
    bool found = false;
    for (Mark& mark : it.value().marks) {
        if (mark.breakpoint.line == line) {
            mark.breakpoint.notSet = reason;
            found = true;
        }
    }
    if (!found)
        return;
    showMarks(it.value());
    emit changed();
}

void BreakpointBook::clearNotSet()
{
    bool cleared = false;
    for (Entry& entry : m_files) {
        syncFromEditor(entry);
        bool here = false;
        for (Mark& mark : entry.marks) {
            if (!mark.breakpoint.notSet.isEmpty()) {
                mark.breakpoint.notSet.clear();
                here = true;
            }
        }
        if (here)
            showMarks(entry);
        cleared = cleared || here;
    }
    if (cleared)
        emit changed();
}

void BreakpointBook::move(const QString& path, int fromLine, int toLine)
{
    auto it = m_files.find(path);
    if (it == m_files.end() || fromLine == toLine)
        return;
    Entry& entry = it.value();
    syncFromEditor(entry);
    const bool taken = std::any_of(entry.marks.begin(), entry.marks.end(),
                                   [&](const Mark& m) { return m.breakpoint.line == toLine; });
    for (qsizetype i = 0; i < entry.marks.size(); ++i) {
        if (entry.marks.at(i).breakpoint.line != fromLine)
            continue;
        if (taken)
            entry.marks.removeAt(i);
        else
            entry.marks[i].breakpoint.line = toLine;
        break;
    }
    std::sort(entry.marks.begin(), entry.marks.end(),
              [](const Mark& a, const Mark& b) { return a.breakpoint.line < b.breakpoint.line; });
    showMarks(entry);
    emit changed();
}

void BreakpointBook::remove(const QString& path, int line)
{
    auto it = m_files.find(path);
    if (it == m_files.end())
        return;
    syncFromEditor(it.value());
    it.value().marks.removeIf([line](const Mark& m) { return m.breakpoint.line == line; });
    showMarks(it.value());
    emit changed();
}

void BreakpointBook::restore(const QString& path, const BookBreakpoint& breakpoint)
{
    if (breakpoint.line < 1)
        return;
    Entry& entry = m_files[path];
    syncFromEditor(entry);
    entry.marks.removeIf([&](const Mark& m) { return m.breakpoint.line == breakpoint.line; });
    entry.marks.append(Mark{breakpoint, -1});
    std::sort(entry.marks.begin(), entry.marks.end(),
              [](const Mark& a, const Mark& b) { return a.breakpoint.line < b.breakpoint.line; });
    showMarks(entry);
    emit changed();
}

void BreakpointBook::attach(QsciScintilla* editor, const QString& path)
{
    detach(editor);
    Entry& entry = m_files[path];
    if (entry.editor && entry.editor != editor)
        syncFromEditor(entry); // a second window on the file: the first one's lines
    entry.editor = editor;
    showMarks(entry);
}

void BreakpointBook::detach(QsciScintilla* editor)
{
    for (Entry& entry : m_files) {
        if (entry.editor != editor)
            continue;
        syncFromEditor(entry);
        for (Mark& mark : entry.marks)
            mark.handle = -1;
        entry.editor = nullptr;
    }
}
