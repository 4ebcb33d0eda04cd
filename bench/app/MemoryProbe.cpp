// SPDX-License-Identifier: GPL-3.0-or-later
// app_memory_probe MODE: prints this process's resident memory (VmRSS, in KiB)
// once the window has settled for 3 seconds. Run it on a real display (Xvfb,
// xcb, QT_QUICK_BACKEND=software); memory.sh runs every mode side by side.
//   bare  - a bare Qt Quick window of the same size (the baseline)
//   idle  - the application on its About page, no scan
//   scan  - the application after a full scan of a generated home and its
//           usage figures
//   findings - the Clean page after a scan that found 2,000 things
#include "AppModel.h"
#include "BenchWindow.h"
#include "Findings.h"
#include "GeneratedHome.h"
#include "ResidentMemory.h"

#include <QFile>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickView>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "bare";
    qputenv("TID_NOGUIDE", "1");
    qputenv("TID_NOACT", "1");
    qputenv("TID_PAGE", std::strcmp(mode, "scan") == 0 ? "overview" : "about");
    GeneratedHome home;
    BenchWindow bench(argc, argv, BenchWindow::Platform::AsRun);

    if (std::strcmp(mode, "bare") == 0)
        return runBareWindow(mode);

    AppModel* model = bench.open();
    if (!model)
        return 1;
    if (std::strcmp(mode, "findings") == 0) {
        model->setEngine(benchFindingCalls(home.path().toStdString()));
        model->fullScan();
        bench.root()->setProperty("page", "clean");
    }
    if (std::strcmp(mode, "scan") != 0 && std::strcmp(mode, "findings") != 0) {
        printAfterSettling(mode);
        return QGuiApplication::exec();
    }
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (model->scannedOnce() && !model->typeBuckets().empty()) {
            poll.stop();
            printAfterSettling(mode);
        }
    });
    poll.start(100);
    return QGuiApplication::exec();
}
