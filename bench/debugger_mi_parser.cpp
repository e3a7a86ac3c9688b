// Parses gdb's machine-interface output: the five transcripts recorded from
// the host's gdb, repeated to 32 MB, fed to the stream parser in reads of
// 64 KiB as a pipe would give them. MB/s and records, against cutting the
// same bytes into lines alone (the floor). Best of five runs each.
#include "debugger/MiParser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr qsizetype kTarget = 32LL * 1024 * 1024;
constexpr qsizetype kRead = 64 * 1024;

template <typename F> double bestSeconds(F run)
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
    QByteArray transcript;
    for (const char* name : {"steps.mi", "crash.mi", "blank.mi", "latin1.mi", "quoting.mi"}) {
        QFile file(QStringLiteral(TARN_MI_TRANSCRIPTS "/") + QString::fromUtf8(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
            return 1;
        }
        transcript += file.readAll();
    }
    QByteArray bytes;
    bytes.reserve(kTarget + transcript.size());
    while (bytes.size() < kTarget)
        bytes += transcript;
    const double mb = bytes.size() / (1024.0 * 1024.0);

    long lines = 0;
    const double cut = bestSeconds([&] {
        lines = 0;
        const char* p = bytes.constData();
        const char* end = p + bytes.size();
        while (const void* hit = std::memchr(p, '\n', size_t(end - p))) {
            p = static_cast<const char*>(hit) + 1;
            ++lines;
        }
    });

    long records = 0;
    long malformed = 0;
    const double parse = bestSeconds([&] {
        records = 0;
        malformed = 0;
        MiStreamParser parser;
        std::vector<MiRecord> out;
        for (qsizetype at = 0; at < bytes.size(); at += kRead) {
            out.clear();
            parser.feed(QByteArrayView(bytes).sliced(at, std::min(kRead, bytes.size() - at)), out);
            for (const MiRecord& record : out) {
                ++records;
                malformed += record.type == MiRecordType::Malformed;
            }
        }
    });

    std::printf("transcript: %lld bytes, repeated to %.1f MB, %ld lines\n",
                static_cast<long long>(transcript.size()), mb, lines);
    std::printf("lines alone:     %7.1f ms  %7.0f MB/s\n", cut * 1e3, mb / cut);
    std::printf("MiStreamParser:  %7.1f ms  %7.0f MB/s  (%ld records, %ld malformed)\n",
                parse * 1e3, mb / parse, records, malformed);
    return malformed == 0 ? 0 : 1;
}
