#include "settings/DebuggerPanesSection.h"

#include "settings/SettingsCodec.h"
#include "settings/SettingsProfile.h"

#include <algorithm>

namespace {

constexpr char kDocksKey[] = "Docks";

// The panes whose columns are kept, in the order they are written.
const char* const kPaneKeys[] = {"Locals", "Watch", "Call Stack", "Breakpoints"};

QList<int> readWidths(QByteArrayView value)
{
    QList<int> widths;
    const QList<QByteArray> parts = value.toByteArray().split(',');
    for (const QByteArray& part : parts) {
        if (widths.size() == MaxPaneColumns)
            break;
        bool ok = false;
        const int width = part.trimmed().toInt(&ok);
        widths.append(ok && width > 0 ? qMin(width, MaxPaneColumnWidth) : 0);
    }
    return widths;
}

} // namespace

DebuggerPaneLayout readDebuggerPaneLayout(const SettingsProfile& profile)
{
    DebuggerPaneLayout layout;
    if (const std::optional<QByteArray> docks = profile.rawValue(DebuggerPanesSection, kDocksKey)) {
        const QByteArray::FromBase64Result decoded =
            QByteArray::fromBase64Encoding(*docks, QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            layout.docks = decoded.decoded;
    }
    for (const char* pane : kPaneKeys) {
        const std::optional<QByteArray> value = profile.rawValue(DebuggerPanesSection, pane);
        if (!value || value->isEmpty())
            continue;
        const QList<int> widths = readWidths(*value);
        if (std::any_of(widths.begin(), widths.end(), [](int w) { return w > 0; }))
            layout.columns.insert(QString::fromLatin1(pane), widths);
    }
    return layout;
}

void writeDebuggerPaneLayout(SettingsProfile& profile, const DebuggerPaneLayout& layout)
{
    profile.ensureSection(SettingsSection);
    profile.ensureSection(DebuggerPanesSection);
    profile.clearSection(DebuggerPanesSection);
    if (!layout.docks.isEmpty())
        profile.setRawValue(DebuggerPanesSection, kDocksKey, layout.docks.toBase64());
    for (const char* pane : kPaneKeys) {
        const QList<int> widths = layout.columns.value(QString::fromLatin1(pane));
        if (std::none_of(widths.begin(), widths.end(), [](int w) { return w > 0; }))
            continue;
        QByteArray value;
        for (qsizetype i = 0; i < widths.size() && i < MaxPaneColumns; ++i) {
            if (i > 0)
                value += ',';
            value += QByteArray::number(qBound(0, widths.at(i), MaxPaneColumnWidth));
        }
        profile.setRawValue(DebuggerPanesSection, pane, value);
    }
}
