// Loads and saves a project of 500 sources (and 500 libraries): median wall
// time of each over 200 runs, through the same calls the document uses,
// and the codec alone without the file system. The save waits for the
// disk (the safe save syncs before it replaces the old file).
#include "project/ProjectFileCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double medianMs(std::vector<qint64>& ns)
{
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ProjectFile project = NewProjectFile(1);
    project.options.otherOptions = QStringLiteral("-DNDEBUG -I../include");
    for (int i = 0; i < kProjectListCapacity; ++i) {
        project.sources << dir.filePath(QStringLiteral("src/module_%1/source_file_%1.c").arg(i));
        project.libraries << QStringLiteral("library%1").arg(i);
    }
    const QString path = dir.filePath(QStringLiteral("bench.tarn"));
    constexpr int kRuns = 200;
    std::vector<qint64> save, load, encode, decode;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        if (!SaveProjectFile(path, project)) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        save.push_back(timer.nsecsElapsed());
        timer.start();
        const std::optional<ProjectFile> loaded = LoadProjectFile(path);
        load.push_back(timer.nsecsElapsed());
        timer.start();
        const QByteArray bytes = EncodeProjectFile(project);
        encode.push_back(timer.nsecsElapsed());
        timer.start();
        const std::optional<ProjectFile> decoded = DecodeProjectFile(bytes);
        decode.push_back(timer.nsecsElapsed());
        if (!loaded || !(*loaded == project) || !decoded) {
            std::fprintf(stderr, "load failed\n");
            return 1;
        }
    }
    const qint64 bytes = EncodeProjectFile(project).size();
    std::printf("project of %d sources and %d libraries, %lld bytes\n", kProjectListCapacity,
                kProjectListCapacity, static_cast<long long>(bytes));
    std::printf("save (safe save, flushed): median %.3f ms\n", medianMs(save));
    std::printf("load (read and decode):    median %.3f ms\n", medianMs(load));
    std::printf("encode alone:              median %.3f ms\n", medianMs(encode));
    std::printf("decode alone:              median %.3f ms\n", medianMs(decode));
    return 0;
}
