#pragma once

#include "debugger/MiValue.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What the debugger knows about the program it runs, as values read from
// gdb's machine-interface records. File names and values keep gdb's bytes
// (a name or a string that is not UTF-8 stays as it is); they are decoded
// only to be shown.

// One frame of the call stack.
struct DebugFrame {
    int level = 0;
    QByteArray function;
    QByteArray file;     // as gdb names it ("x.c")
    QByteArray fullname; // the absolute path, when gdb knows the source
    int line = 0;        // 0: no source line
    QByteArray address;

    bool hasSource() const { return line > 0 && !fullname.isEmpty(); }
    friend bool operator==(const DebugFrame&, const DebugFrame&) = default;
};

// A frame tuple of *stopped or of -stack-list-frames ("frame={...}").
DebugFrame ReadMiFrame(const MiValue& frame);

// One breakpoint as gdb holds it.
struct DebugBreakpoint {
    int number = 0;
    QByteArray fullname; // where gdb put it; empty while pending
    QByteArray file;
    int line = 0;
    QByteArray function;
    bool enabled = true;
    QByteArray condition;
    int hits = 0;
    bool temporary = false;
    QByteArray originalLocation;

    friend bool operator==(const DebugBreakpoint&, const DebugBreakpoint&) = default;
};

// A "bkpt={...}" tuple. A breakpoint with several locations (a template,
// an inlined function) takes the line of its first one.
DebugBreakpoint ReadMiBreakpoint(const MiValue& bkpt);

// A local variable or argument of the selected frame.
struct DebugVariable {
    QByteArray name;
    QByteArray type;
    QByteArray value;
    bool argument = false;
    // A structure, array or pointer whose members a variable object lists.
    bool expandable = false;

    friend bool operator==(const DebugVariable&, const DebugVariable&) = default;
};

// The answers of -stack-list-variables --all-values and --simple-values for
// the same frame, joined: every variable with its value, and with its type
// where --simple-values gave one. An aggregate, which --simple-values
// lists without a value, is marked expandable.
QList<DebugVariable> ReadMiVariables(const MiValue& allValues, const MiValue& simpleValues);

// One child of a variable object (-var-list-children --all-values).
struct DebugVariableChild {
    QByteArray varName; // gdb's name of the child object, for its own children
    QByteArray expression;
    QByteArray type;
    QByteArray value;
    int childCount = 0;

    friend bool operator==(const DebugVariableChild&, const DebugVariableChild&) = default;
};
QList<DebugVariableChild> ReadMiChildren(const MiValue& answer);

// An expression of the Watch pane and its value at the last stop.
struct DebugWatch {
    QByteArray expression;
    QByteArray value; // or gdb's reason when it cannot be evaluated
    bool error = false;
    bool changed = false; // differs from the value at the stop before
    bool evaluated = false;

    friend bool operator==(const DebugWatch&, const DebugWatch&) = default;
};

// Why the program stopped, from a *stopped record.
struct DebugStop {
    enum class Kind {
        Breakpoint,   // breakpoint-hit
        Step,         // end-stepping-range, function-finished, location-reached
        Signal,       // signal-received
        Exited,       // exited, exited-normally
        Killed,       // exited-signalled
        Watchpoint,   // watchpoint-trigger and friends
        Other,
    };
    Kind kind = Kind::Other;
    QByteArray reason; // gdb's word
    DebugFrame frame;
    int breakpoint = 0;
    // The breakpoint hit was a temporary one (Run to Cursor's), which the
    // user never set: the stop is told as a plain one.
    bool temporary = false;
    QByteArray signalName;
    QByteArray signalMeaning;
    int exitCode = 0;

    bool programEnded() const { return kind == Kind::Exited || kind == Kind::Killed; }
};
DebugStop ReadMiStop(const MiValue& results);

// The status-bar line for a stop: "Stopped at lvm.c:123 (breakpoint 1)",
// "Program received signal SIGSEGV, Segmentation fault, in f at x.c:5",
// "Program exited with code 3". A stop after Break (the interrupt gdb
// reports as SIGINT) reads "Stopped at x.c:5 (interrupted)" when
// `interrupted` says Tarn asked for it.
QString DescribeStop(const DebugStop& stop, bool interrupted = false);

// "x.c:5", "f at x.c:5" or "f" (no source) or the address.
QString DescribeFrame(const DebugFrame& frame, bool withFunction);
