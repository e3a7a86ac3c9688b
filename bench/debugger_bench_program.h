#pragma once

// A generated C program shaped like a bytecode interpreter (the Lua
// interpreter's source is not on this machine, and nothing is fetched): a
// state structure with a value stack, a few hundred small opcode helpers
// and one large dispatch function, execute(), whose frame holds 24 locals
// and which loops for ever. Built with -g -O0 into a folder of its own.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <vector>

namespace debugbench {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Waits until done() holds, false after timeoutMs.
inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // the time limit is checked at least this often
    wake.start(100);
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        // Sleeps until something happens, as the application's own loop
        // does: a spinning wait would take a core from gdb.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline constexpr int kHelpers = 400;

inline QByteArray vmSource()
{
    QByteArray s = R"(#include <stdio.h>
#include <string.h>
struct value { int type; union { long i; double n; const char *s; } u; };
struct state { struct value stack[256]; int top; int pc; long steps; const char *name; };
)";
    for (int i = 0; i < kHelpers; ++i) {
        const QByteArray n = QByteArray::number(i);
        s += "static long op_" + n +
             "(struct state *L, int a, int b)\n{\n"
             "    struct value *v = &L->stack[(a + " +
             n +
             ") & 255];\n"
             "    long r = v->u.i + b * " +
             QByteArray::number(i % 7 + 1) +
             ";\n"
             "    if (r > 1000000)\n        r -= 999983;\n"
             "    v->u.i = r;\n    v->type = " +
             QByteArray::number(i % 4) +
             ";\n"
             "    return r ^ " +
             n + ";\n}\n";
    }
    s += R"(long execute(struct state *L, const int *code, int n)
{
    int pc = 0, a = 0, b = 0, c = 0, op = 0, ra = 0, rb = 0, rc = 0;
    long acc = 0, last = 0, count = 0, limit = 1L << 40;
    double x = 0.5, y = 1.5, z = 2.5, w = 3.5;
    struct value *base = L->stack, *top = L->stack + 8;
    char label[32] = "generated interpreter";
    const char *name = L->name;
    unsigned flags = 0, mask = 0xff;
    for (;;) {
        op = code[pc % n]; /* dispatch */
        a = op & 15;
        b = (op >> 4) & 15;
        c = (op >> 8) & 15;
        ra = (a + pc) & 255;
        rb = (b + pc) & 255;
        rc = (c + pc) & 255;
        switch (op % 64) {
)";
    for (int k = 0; k < 64; ++k) {
        const QByteArray h = QByteArray::number((k * 7) % kHelpers);
        s += "        case " + QByteArray::number(k) + ": acc += op_" + h + "(L, ra, rb); break;\n";
    }
    s += R"(        }
        last = acc;
        L->top = (L->top + 1) & 255;
        L->stack[L->top].u.i = last & mask;
        x += 0.25;
        y = x * 2 + z - w;
        flags ^= (unsigned)rc;
        ++count;
        ++pc;
        L->pc = pc;
        L->steps = count;
        if (count > limit)
            break;
    }
    return acc + (long)y + flags + base->type + top->type + label[0] + name[0];
}

int main(void)
{
    static struct state L;
    int code[512];
    for (int i = 0; i < 512; ++i)
        code[i] = (i * 2654435761u) >> 7;
    L.name = "bench";
    printf("%ld\n", execute(&L, code, 512));
    return 0;
}
)";
    return s;
}

// The one-based line of the first line holding the marker.
inline int lineOf(const QByteArray& source, const char* marker)
{
    return int(source.left(source.indexOf(marker)).count('\n')) + 1;
}

// The program in a folder: vm.c and vm.exe.
struct VmProgram {
    QTemporaryDir dir;
    QByteArray source = vmSource();
    QString sourcePath = dir.path() + QStringLiteral("/vm.c");
    QString executable = dir.path() + QStringLiteral("/vm.exe");

    bool build()
    {
        QFile file(sourcePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(source) != source.size())
            return false;
        file.close();
        return QProcess::execute(QStringLiteral("gcc"),
                                 {QStringLiteral("-g"), QStringLiteral("-O0"), QStringLiteral("-o"),
                                  executable, sourcePath}) == 0;
    }
    int dispatchLine() const { return lineOf(source, "/* dispatch */"); }
};

} // namespace debugbench
