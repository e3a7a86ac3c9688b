#include "debugger/DebugState.h"

namespace {

int numberOf(const MiValue& value, int fallback = 0)
{
    const std::optional<qint64> n = value.number();
    return n ? int(*n) : fallback;
}

QString shown(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

// gdb names a file as it was given to the compiler, often a whole path;
// the status bar shows the file's own name.
QByteArray fileNameOf(const QByteArray& file)
{
    return file.mid(file.lastIndexOf('/') + 1);
}

// A pointer whose target a variable object can show: not a string, not a
// function.
bool isDataPointer(const QByteArray& type)
{
    const QByteArray t = type.trimmed();
    if (!t.endsWith('*'))
        return false;
    const QByteArray base = t.left(t.size() - 1).trimmed();
    return base != "char" && base != "const char" && base != "unsigned char" &&
           base != "const unsigned char" && base != "void" && base != "const void" &&
           !t.contains('(');
}

} // namespace

DebugFrame ReadMiFrame(const MiValue& frame)
{
    DebugFrame f;
    f.level = numberOf(frame["level"]);
    f.function = frame["func"].bytes();
    f.file = frame["file"].bytes();
    f.fullname = frame["fullname"].bytes();
    f.line = numberOf(frame["line"]);
    f.address = frame["addr"].bytes();
    return f;
}

DebugBreakpoint ReadMiBreakpoint(const MiValue& bkpt)
{
    DebugBreakpoint b;
    b.number = numberOf(bkpt["number"]);
    b.enabled = bkpt["enabled"].bytes() != "n";
    b.condition = bkpt["cond"].bytes();
    b.hits = numberOf(bkpt["times"]);
    b.temporary = bkpt["disp"].bytes() == "del";
    b.originalLocation = bkpt["original-location"].bytes();
    const MiValue* where = &bkpt;
    // Several locations: "locations=[{number="1.1",...,file=,line=},...]".
    if (bkpt.find("line") == nullptr) {
        if (const MiValue* locations = bkpt.find("locations"); locations && locations->size() > 0)
            where = &locations->at(0);
    }
    b.fullname = (*where)["fullname"].bytes();
    b.file = (*where)["file"].bytes();
    b.line = numberOf((*where)["line"]);
    b.function = (*where)["func"].bytes();
    return b;
}

QList<DebugVariable> ReadMiVariables(const MiValue& allValues, const MiValue& simpleValues)
{
    QList<DebugVariable> variables;
    variables.reserve(allValues.size());
    for (qsizetype i = 0; i < allValues.size(); ++i) {
        const MiValue& item = allValues.at(i);
        DebugVariable v;
        v.name = item["name"].bytes();
        v.value = item["value"].bytes();
        v.argument = item.find("arg") != nullptr;
        // The two lists come in the same order; a name that differs (gdb
        // answered for another frame in between) leaves the type unknown.
        if (i < simpleValues.size() && simpleValues.at(i)["name"].bytes() == v.name) {
            const MiValue& simple = simpleValues.at(i);
            v.type = simple["type"].bytes();
            v.expandable = simple.find("value") == nullptr || isDataPointer(v.type);
        }
        variables.append(std::move(v));
    }
    return variables;
}

QList<DebugVariableChild> ReadMiChildren(const MiValue& answer)
{
    QList<DebugVariableChild> children;
    const MiValue& list = answer["children"];
    for (qsizetype i = 0; i < list.size(); ++i) {
        const MiValue& child = list.at(i);
        DebugVariableChild c;
        c.varName = child["name"].bytes();
        c.expression = child["exp"].bytes();
        c.type = child["type"].bytes();
        c.value = child["value"].bytes();
        c.childCount = numberOf(child["numchild"]);
        // gdb's "dynamic" children of a pointer say 1; a char * holds a string.
        if (c.childCount > 0 && !isDataPointer(c.type) && c.type.trimmed().endsWith('*'))
            c.childCount = 0;
        children.append(std::move(c));
    }
    return children;
}

DebugStop ReadMiStop(const MiValue& results)
{
    DebugStop stop;
    stop.reason = results["reason"].bytes();
    stop.frame = ReadMiFrame(results["frame"]);
    const QByteArray& r = stop.reason;
    if (r == "breakpoint-hit") {
        stop.kind = DebugStop::Kind::Breakpoint;
        stop.breakpoint = numberOf(results["bkptno"]);
        stop.temporary = results["disp"].bytes() == "del";
    } else if (r == "end-stepping-range" || r == "function-finished" || r == "location-reached") {
        stop.kind = DebugStop::Kind::Step;
    } else if (r == "signal-received") {
        stop.kind = DebugStop::Kind::Signal;
    } else if (r == "exited" || r == "exited-normally") {
        stop.kind = DebugStop::Kind::Exited;
        // gdb writes the code in octal ("03", "0377").
        stop.exitCode = int(results["exit-code"].bytes().toInt(nullptr, 8));
    } else if (r == "exited-signalled") {
        stop.kind = DebugStop::Kind::Killed;
    } else if (r.startsWith("watchpoint") || r.startsWith("read-watchpoint") ||
               r.startsWith("access-watchpoint")) {
        stop.kind = DebugStop::Kind::Watchpoint;
    }
    stop.signalName = results["signal-name"].bytes();
    stop.signalMeaning = results["signal-meaning"].bytes();
    return stop;
}

QString DescribeFrame(const DebugFrame& frame, bool withFunction)
{
    const QString function = shown(frame.function);
    if (frame.line > 0 && !frame.file.isEmpty()) {
        const QString place = QStringLiteral("%1:%2").arg(shown(fileNameOf(frame.file))).arg(frame.line);
        return withFunction && !function.isEmpty() ? QStringLiteral("%1 at %2").arg(function, place)
                                                   : place;
    }
    if (!function.isEmpty())
        return function;
    return shown(frame.address);
}

QString DescribeStop(const DebugStop& stop, bool interrupted)
{
    switch (stop.kind) {
    case DebugStop::Kind::Exited:
        return QStringLiteral("Program exited with code %1").arg(stop.exitCode);
    case DebugStop::Kind::Killed:
        return QStringLiteral("Program terminated with signal %1, %2")
            .arg(shown(stop.signalName), shown(stop.signalMeaning));
    case DebugStop::Kind::Signal:
        if (interrupted && stop.signalName == "SIGINT")
            return QStringLiteral("Stopped at %1 (interrupted)").arg(DescribeFrame(stop.frame, false));
        return QStringLiteral("Program received signal %1, %2, in %3")
            .arg(shown(stop.signalName), shown(stop.signalMeaning), DescribeFrame(stop.frame, true));
    case DebugStop::Kind::Breakpoint:
        if (stop.temporary)
            break;
        return QStringLiteral("Stopped at %1 (breakpoint %2)")
            .arg(DescribeFrame(stop.frame, false))
            .arg(stop.breakpoint);
    case DebugStop::Kind::Watchpoint:
        return QStringLiteral("Stopped at %1 (watchpoint)").arg(DescribeFrame(stop.frame, false));
    case DebugStop::Kind::Step:
    case DebugStop::Kind::Other:
        break;
    }
    return QStringLiteral("Stopped at %1").arg(DescribeFrame(stop.frame, false));
}
