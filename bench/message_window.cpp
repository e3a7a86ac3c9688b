// Appends 1,000,000 rows of about 40 characters to the message window on the
// offscreen platform and reports the total time, the time per row of the
// first and of the last 10,000 rows (their ratio shows whether an append
// grows slower as the log grows) and the memory each row costs.
//
// The rows arrive in bursts of 1,000 with the event loop run after each, as
// tool output does, so the coalesced scrolling and repainting are counted.
#include "messages/CMessageView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

QString rowText(int i)
{
    // Shaped like compiler output, about 40 characters; every fifth row a
    // diagnostic.
    if (i % 5 == 0)
        return QStringLiteral("src/module%1.c:%2:7: error: bad thing").arg(i % 97).arg(i % 1000);
    return QStringLiteral("make[1]: building target number %1 ok").arg(i, 7, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int Rows = 1000000;
    constexpr int Window = 10000;
    constexpr int Burst = 1000;

    // Texts are made up front so their cost is not measured.
    std::vector<QString> texts;
    texts.reserve(Rows);
    for (int i = 0; i < Rows; ++i)
        texts.push_back(rowText(i));

    CMessageView view;
    view.resize(630, 110);
    view.show();
    QApplication::processEvents();
    const long rssBefore = residentKiB();

    QElapsedTimer total;
    QElapsedTimer window;
    qint64 firstNs = 0;
    total.start();
    window.start();
    for (int i = 0; i < Rows; ++i) {
        view.AppendLine(texts[i], 0);
        if ((i + 1) % Burst == 0)
            QApplication::processEvents();
        if (i + 1 == Window)
            firstNs = window.nsecsElapsed();
        if (i + 1 == Rows - Window)
            window.restart();
    }
    const qint64 lastNs = window.nsecsElapsed();
    const qint64 totalNs = total.nsecsElapsed();
    const long rssAfter = residentKiB();
    // The row texts kept for the loop are not part of the window's cost.
    texts.clear();
    texts.shrink_to_fit();

    const double firstPerRow = double(firstNs) / Window / 1000.0;
    const double lastPerRow = double(lastNs) / Window / 1000.0;
    std::printf("rows appended:             %d (bursts of %d)\n", view.rowCount(), Burst);
    std::printf("total time:                %.3f s\n", totalNs / 1e9);
    std::printf("per row, first %d:     %.3f us\n", Window, firstPerRow);
    std::printf("per row, last %d:      %.3f us\n", Window, lastPerRow);
    std::printf("last/first:                %.2f (must stay below 1.5)\n", lastPerRow / firstPerRow);
    std::printf("memory per row:            %.1f bytes (RSS %ld -> %ld KiB)\n",
                double(rssAfter - rssBefore) * 1024.0 / Rows, rssBefore, rssAfter);
    std::printf("column width:              %d px\n", view.columnWidth());
    return lastPerRow / firstPerRow < 1.5 ? 0 : 1;
}
