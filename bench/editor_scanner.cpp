// Scans a generated 50 MB C source of realistic functions for definitions
// (the function list) and for definitions and quoted includes in one pass
// (the project tree): MB/s and definitions found, against reading the file
// alone (the floor). Best of five runs each.
#include "editor/SourceScanner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// A mix of what real sources hold: comments, includes, prototypes, calls,
// keyword heads, member functions with initialiser lists, strings.
const char kChunk[] =
    "#include \"module.h\"\n"
    "#include <stdio.h>\n\n"
    "/* Sums the weights of the entries that match the key.\n"
    " * Returns the total, or -1 when the table is empty. */\n"
    "static int sum_matching(const struct table* t, const char* key)\n"
    "{\n"
    "\tint total = 0;\n"
    "\tif (t->count == 0)\n"
    "\t\treturn -1;\n"
    "\tfor (int i = 0; i < t->count; ++i) {\n"
    "\t\tif (strcmp(t->entries[i].name, key) == 0)\n"
    "\t\t\ttotal += t->entries[i].weight; // weights are small\n"
    "\t}\n"
    "\tprintf(\"total %d for %s\\n\", total, key);\n"
    "\treturn total;\n"
    "}\n\n"
    "int parse_line(char* line, size_t length);\n\n"
    "Parser::Parser(const Options& options) : options_(options), depth_(0)\n"
    "{\n"
    "\twhile (depth_ < options_.limit)\n"
    "\t\tdepth_ = step(depth_);\n"
    "}\n\n"
    "bool Parser::done() const { return depth_ >= options_.limit; }\n\n";

bool writeSource(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray chunk(kChunk);
    for (qint64 written = 0; written < size;)
        written += file.write(chunk);
    return file.flush();
}

class Counter : public SourceScanReceiver {
public:
    void definitionFound(const ScannedDefinition&) override { ++definitions; }
    void includeFound(const QByteArray&) override { ++includes; }
    long definitions = 0;
    long includes = 0;
};

template <typename F>
double bestSeconds(F run)
{
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.c"));
    if (!writeSource(path, 50LL * 1024 * 1024)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    QByteArray bytes;
    const double read = bestSeconds([&] { bytes = readSourceFile(path).value_or(QByteArray()); });
    const double mb = bytes.size() / (1024.0 * 1024.0);
    Counter counter;
    const double scan = bestSeconds([&] {
        counter = Counter();
        ScanDefinitions(bytes, counter);
    });
    Counter withIncludes;
    const double both = bestSeconds([&] {
        withIncludes = Counter();
        ScanDefinitionsAndQuotedIncludes(bytes, withIncludes);
    });
    const double whole = bestSeconds([&] {
        const QByteArray again = readSourceFile(path).value_or(QByteArray());
        Counter c;
        ScanDefinitions(again, c);
    });
    std::printf("file: %.1f MB\n", mb);
    std::printf("read alone:          %7.1f ms  %7.0f MB/s\n", read * 1e3, mb / read);
    std::printf("ScanDefinitions:     %7.1f ms  %7.0f MB/s  (%ld definitions)\n", scan * 1e3, mb / scan,
                counter.definitions);
    std::printf("with the includes:   %7.1f ms  %7.0f MB/s  (%ld includes)\n", both * 1e3,
                mb / both, withIncludes.includes);
    std::printf("read + definitions:  %7.1f ms  %7.0f MB/s  (%.1fx the read alone)\n", whole * 1e3,
                mb / whole, whole / read);
    return 0;
}
