#include "settings/EditorSections.h"

#include "settings/SettingsCodec.h"
#include "settings/SettingsProfile.h"
#include "tools/PathBytes.h"

#include <QDir>

namespace {

struct SwitchKey {
    const char* key;
    bool EditorSwitches::*field;
};

// In the order they are written (the View menu's order).
const SwitchKey switchKeys[] = {
    {"Syntax Colouring", &EditorSwitches::syntaxColouring},
    {"Line Numbers", &EditorSwitches::lineNumbers},
    {"Reopen Last Session", &EditorSwitches::reopenSession},
};

QByteArray numbered(const char* key, qsizetype number)
{
    return QByteArray(key) + QByteArray::number(number);
}

} // namespace

EditorSwitches readEditorSwitches(const SettingsProfile& profile)
{
    EditorSwitches switches;
    for (const SwitchKey& row : switchKeys)
        switches.*row.field = profile.integer(EditorSection, row.key, 1) != 0;
    return switches;
}

void writeEditorSwitches(SettingsProfile& profile, const EditorSwitches& switches)
{
    profile.ensureSection(SettingsSection);
    for (const SwitchKey& row : switchKeys)
        profile.setInteger(EditorSection, row.key, switches.*row.field ? 1 : 0);
}

QByteArray sessionPathToValue(const QString& path)
{
    const QByteArray bytes = PathToBytes(path);
    QByteArray value;
    value.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        const bool edgeBlank = byte == ' ' && (i == 0 || i == bytes.size() - 1);
        if (byte < 0x20 || byte == 0x7f || byte == '%' || edgeBlank) {
            value += '%';
            value += QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        } else {
            value += char(byte);
        }
    }
    return value;
}

QString sessionValueToPath(QByteArrayView value)
{
    QByteArray bytes;
    bytes.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == '%' && i + 2 < value.size()) {
            const int high = hexDigitValue(value.at(i + 1));
            const int low = hexDigitValue(value.at(i + 2));
            if (high >= 0 && low >= 0) {
                bytes += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        bytes += value.at(i);
    }
    return PathFromBytes(bytes);
}

QByteArray windowPlaceToValue(const WindowPlace& place)
{
    QByteArray value = QByteArray::number(place.rect.x()) + ',' + QByteArray::number(place.rect.y()) + ',' +
                       QByteArray::number(place.rect.width()) + ',' + QByteArray::number(place.rect.height());
    if (place.state == WindowPlace::State::Maximised)
        value += ",maximised";
    else if (place.state == WindowPlace::State::Minimised)
        value += ",minimised";
    return value;
}

WindowPlace windowPlaceFromValue(QByteArrayView value)
{
    const QList<QByteArray> parts = value.toByteArray().trimmed().split(',');
    if (parts.size() != 4 && parts.size() != 5)
        return {};
    int numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return {};
    }
    WindowPlace place;
    // Sizes beyond any screen are cut down when the window is placed.
    if (numbers[2] < 1 || numbers[3] < 1 || numbers[2] > 100000 || numbers[3] > 100000 ||
        qAbs(numbers[0]) > 100000 || qAbs(numbers[1]) > 100000)
        return {};
    place.rect = QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (parts.size() == 5) {
        const QByteArray state = parts.at(4).trimmed();
        if (state == "maximised")
            place.state = WindowPlace::State::Maximised;
        else if (state == "minimised")
            place.state = WindowPlace::State::Minimised;
        else
            return {};
    }
    return place;
}

Session readSession(const SettingsProfile& profile)
{
    Session session;
    const int count = qBound(0, profile.integer(SessionSection, "Windows", 0), MaxSessionWindows);
    const int active = profile.integer(SessionSection, "Active", 0);
    for (int number = 1; number <= count; ++number) {
        const std::optional<QByteArray> value =
            profile.rawValue(SessionSection, numbered("Window", number));
        if (!value || value->isEmpty())
            continue;
        const QString path = sessionValueToPath(*value);
        // A relative name would depend on the folder Tarn starts in.
        if (!QDir::isAbsolutePath(path))
            continue;
        const int line = profile.integer(SessionSection, numbered("Line", number), 1);
        if (number == active)
            session.active = int(session.windows.size());
        SessionWindow window{path, qMax(1, line)};
        if (const std::optional<QByteArray> place = profile.rawValue(SessionSection, numbered("Place", number)))
            window.place = windowPlaceFromValue(*place);
        session.windows.append(window);
    }
    if (const std::optional<QByteArray> place = profile.rawValue(SessionSection, "MessagePlace"))
        session.messagePlace = windowPlaceFromValue(*place);
    const int breakpoints =
        qBound(0, profile.integer(SessionSection, "Breakpoints", 0), MaxSessionBreakpoints);
    for (int number = 1; number <= breakpoints; ++number) {
        const std::optional<QByteArray> value =
            profile.rawValue(SessionSection, numbered("Breakpoint", number));
        const QString path = value ? sessionValueToPath(*value) : QString();
        const int line = profile.integer(SessionSection, numbered("BreakpointLine", number), 0);
        if (path.isEmpty() || !QDir::isAbsolutePath(path) || line < 1)
            continue;
        SessionBreakpoint breakpoint{path, line, true, {}};
        breakpoint.enabled =
            profile.integer(SessionSection, numbered("BreakpointOff", number), 0) != 1;
        if (const std::optional<QByteArray> condition =
                profile.rawValue(SessionSection, numbered("BreakpointIf", number)))
            breakpoint.condition = PathToBytes(sessionValueToPath(*condition));
        session.breakpoints.append(breakpoint);
    }
    return session;
}

void writeSession(SettingsProfile& profile, const Session& session)
{
    profile.ensureSection(SettingsSection);
    profile.ensureSection(SessionSection);
    profile.clearSection(SessionSection);
    profile.setInteger(SessionSection, "Windows", int(session.windows.size()));
    for (qsizetype i = 0; i < session.windows.size(); ++i) {
        const SessionWindow& window = session.windows.at(i);
        profile.setRawValue(SessionSection, numbered("Window", i + 1),
                            sessionPathToValue(window.path));
        if (window.line > 1)
            profile.setInteger(SessionSection, numbered("Line", i + 1), window.line);
        if (window.place.known())
            profile.setRawValue(SessionSection, numbered("Place", i + 1), windowPlaceToValue(window.place));
    }
    if (session.active >= 0 && session.active < session.windows.size())
        profile.setInteger(SessionSection, "Active", session.active + 1);
    if (session.messagePlace.known())
        profile.setRawValue(SessionSection, "MessagePlace", windowPlaceToValue(session.messagePlace));
    if (session.breakpoints.isEmpty())
        return;
    profile.setInteger(SessionSection, "Breakpoints", int(session.breakpoints.size()));
    for (qsizetype i = 0; i < session.breakpoints.size(); ++i) {
        const SessionBreakpoint& breakpoint = session.breakpoints.at(i);
        profile.setRawValue(SessionSection, numbered("Breakpoint", i + 1),
                            sessionPathToValue(breakpoint.path));
        profile.setInteger(SessionSection, numbered("BreakpointLine", i + 1), breakpoint.line);
        if (!breakpoint.enabled)
            profile.setInteger(SessionSection, numbered("BreakpointOff", i + 1), 1);
        if (!breakpoint.condition.isEmpty())
            profile.setRawValue(SessionSection, numbered("BreakpointIf", i + 1),
                                sessionPathToValue(PathFromBytes(breakpoint.condition)));
    }
}
