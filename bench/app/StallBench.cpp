// SPDX-License-Identifier: GPL-3.0-or-later
// app_stall_bench: how long the main thread stalls while the application runs
// full scans of a generated home. The real window (offscreen, software
// renderer) opens on the About page and runs five full scans in a row; a 10 ms
// timer records how late each of its ticks comes. Reported: the worst and the 99th
// percentile lateness during the scan and the usage load after it, beside the
// same timer in an idle window, and the worst as a ratio of the 50 ms budget.
#include "AppModel.h"
#include "BenchWindow.h"
#include "GeneratedHome.h"
#include "Lateness.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QObject>
#include <QQuickItem>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    qputenv("TID_NOGUIDE", "1");
    qputenv("TID_PAGE", "about"); // no scan at start: the idle figure comes first
    GeneratedHome home;
    BenchWindow bench(argc, argv, BenchWindow::Platform::Offscreen);
    AppModel* model = bench.open();
    if (!model)
        return 1;

    QElapsedTimer idleClock;
    idleClock.start();
    const Lateness idle = measure([&] { return idleClock.elapsed() > 3000; });

    // Five full scans one after another, each with its usage figures.
    constexpr int kScans = 5;
    Lateness scan;
    qint64 scanMs = 0, allMs = 0;
    for (int i = 0; i < kScans; ++i) {
        QElapsedTimer scanClock;
        scanClock.start();
        model->fullScan();
        bool scanned = false;
        int typeLoads = 0;
        auto conn = QObject::connect(model, &AppModel::typeBucketsChanged, [&] { ++typeLoads; });
        const Lateness one = measure([&] {
            if (!scanned && !model->scanning()) {
                scanned = true;
                scanMs += scanClock.elapsed();
            }
            return scanned && typeLoads > 0;
        });
        QObject::disconnect(conn);
        allMs += scanClock.elapsed();
        scan.ms.insert(scan.ms.end(), one.ms.begin(), one.ms.end());
    }

    std::printf("generated home: %zu cache, %zu leftover, %zu large items\n",
                model->cacheItems().size(), model->leftoverItems().size(),
                model->largeItems().size());
    std::printf("%d full scans: %lld ms each, with usage figures %lld ms; %zu ticks\n", kScans,
                static_cast<long long>(scanMs / kScans), static_cast<long long>(allMs / kScans),
                scan.ms.size());
    std::printf("idle window: worst lateness %.1f ms, p99 %.1f ms\n", idle.worst(), idle.p99());
    std::printf("during scan: worst lateness %.1f ms, p99 %.1f ms\n", scan.worst(), scan.p99());
    std::printf("worst / 50 ms budget = %.2f; scan worst / idle worst = %.2f\n",
                scan.worst() / 50.0, idle.worst() > 0 ? scan.worst() / idle.worst() : 0.0);
    return scan.worst() <= 50.0 ? 0 : 2;
}
