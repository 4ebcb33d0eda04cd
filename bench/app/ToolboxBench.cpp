// SPDX-License-Identifier: GPL-3.0-or-later
// app_toolbox_bench: the main thread's cost on the Toolbox page. The real
// window (offscreen, so the software renderer draws on the main thread) opens
// on the processes pane, whose own 3-second timer is stopped.
//
// Process refresh: refreshes one after the other, 100 ms apart, in three
// series: 30 with the real ps; 30 with a canned steady desktop (the same
// twelve processes in the same order, each one's memory a few KiB up or down
// between readings); 10 with one canned reading again and again. For each,
// the main thread's CPU time is counted from the call to refreshProcesses() to
// the frameSwapped of the first frame after the result was assigned (or 100 ms
// after the assignment when the refresh changed nothing drawn, so no frame
// came). That span holds everything the refresh costs the main thread:
// starting the reading, the model update with the bindings and delegates it
// moves, the polish, sync, render and flush of the frame. The reading itself
// (ps and its parse) runs on a worker and is not counted; the main thread
// sleeps in its event loop meanwhile. The frame's share is the CPU from the
// window's update request (before polish) to its frameSwapped; the rest is the
// update's. The idle window's CPU rate, measured the same way without
// refreshes, is taken off each span.
//
// Scrolling: a 10 ms timer records how late each tick comes while the
// duplicates pane scrolls through 1,500 groups (2 to 12 files each, canned
// through the engine-call table) from top to bottom.
//
// Budgets: 5 ms a refresh, 50 ms for the worst stall while scrolling.
// With --refresh-only the scrolling is left out (toolbox.sh runs it so beside
// a baseline build).
#include "AppModel.h"
#include "BenchWindow.h"
#include "GeneratedHome.h"
#include "Lateness.h"

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickView>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

namespace {

std::vector<DuplicateGroup> cannedGroups()
{
    std::vector<DuplicateGroup> out;
    for (int g = 0; g < 1500; ++g) {
        DuplicateGroup d;
        d.size = 65536 + g * 1000;
        for (int f = 0; f < 2 + g % 11; ++f)
            d.files.push_back("/home/user/Documents/folder" + std::to_string(f) + "/copy-" +
                              std::to_string(g) + ".bin");
        out.push_back(std::move(d));
    }
    return out;
}

// The main thread's CPU spent in the window's frames: from the update request
// that starts a frame (polish comes first) to its frameSwapped.
class FrameClock : public QObject
{
public:
    explicit FrameClock(QQuickWindow* window)
    {
        window->installEventFilter(this);
        connect(window, &QQuickWindow::frameSwapped, this, [this] {
            if (m_start >= 0)
                cpuMs += threadCpuMs() - m_start;
            m_start = -1;
            ++frames;
            if (onSwapped)
                onSwapped();
        });
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::UpdateRequest)
            m_start = threadCpuMs();
        return false;
    }

    double cpuMs = 0;
    int frames = 0;
    std::function<void()> onSwapped;

private:
    double m_start = -1;
};

struct Refresh
{
    double totalMs = 0; // main-thread CPU, start to the frame after, idle taken off
    double frameMs = 0; // of which in frames
    int frames = 0;
    int changedRows = -1; // rows whose values changed (-1: not a list model)
};

// Calls a function on a signal named at run time.
class Relay : public QObject
{
    Q_OBJECT
public:
    std::function<void()> call;
public slots:
    void fire() { call(); }
};

// Runs `count` refreshes one after the other, 100 ms apart.
std::vector<Refresh> measureRefreshes(AppModel* model, FrameClock& frames, int count,
                                      double idleRate)
{
    std::vector<Refresh> out;
    QElapsedTimer wall;
    double cpu0 = 0;
    double frame0 = 0;
    int frameCount0 = 0;
    bool assigned = false;
    // Rows the reading changed, when the processes are a list model (the
    // baseline build hands QML a plain list).
    auto* list = qobject_cast<QAbstractItemModel*>(model->property("procs").value<QObject*>());
    std::set<int> changed;
    if (list)
        QObject::connect(list, &QAbstractItemModel::dataChanged,
                         [&](const QModelIndex& first, const QModelIndex& last) {
                             for (int row = first.row(); row <= last.row(); ++row)
                                 changed.insert(row);
                         });
    QTimer quiet; // no frame after the assignment: the refresh drew nothing
    quiet.setSingleShot(true);
    quiet.setInterval(100);
    std::function<void()> start = [&] {
        assigned = false;
        wall.start();
        frame0 = frames.cpuMs;
        frameCount0 = frames.frames;
        changed.clear();
        cpu0 = threadCpuMs();
        model->refreshProcesses();
    };
    auto finish = [&] {
        quiet.stop();
        assigned = false;
        Refresh r;
        r.totalMs = threadCpuMs() - cpu0 - idleRate * double(wall.nsecsElapsed()) / 1e6;
        r.frameMs = frames.cpuMs - frame0;
        r.frames = frames.frames - frameCount0;
        r.changedRows = list ? int(changed.size()) : -1;
        out.push_back(r);
        if (int(out.size()) == count)
            QGuiApplication::exit(0);
        else
            QTimer::singleShot(100, start);
    };
    QObject::connect(&quiet, &QTimer::timeout, finish);
    frames.onSwapped = [&] {
        if (assigned)
            finish();
    };
    // The model's signal after each refresh's assignment (the baseline build
    // that toolbox.sh measures beside this one calls it procsChanged).
    Relay read;
    read.call = [&] {
        assigned = true;
        quiet.start();
    };
    const bool named = model->metaObject()->indexOfSignal("procsRead()") >= 0;
    QObject::connect(model, named ? SIGNAL(procsRead()) : SIGNAL(procsChanged()), &read,
                     SLOT(fire()));
    QTimer::singleShot(0, start);
    QGuiApplication::exec();
    frames.onSwapped = nullptr;
    return out;
}

// A steady desktop between two readings: the same twelve processes in the
// same order, each one's memory a few KiB up or down.
std::vector<ProcInfo> steadyReading(int reading)
{
    static const char* names[] = {
        "firefox",  "Isolated Web Co", "gnome-shell",     "TidloCleaner",  "thunderbird", "code",
        "Xwayland", "evolution-data-", "tracker-miner-f", "gsd-xsettings", "pipewire",    "bash"};
    std::vector<ProcInfo> out;
    for (int i = 0; i < 12; ++i) {
        ProcInfo p;
        p.pid = 1000 + 97 * i;
        p.name = names[i];
        p.path = p.name;
        const int64_t jitter = ((reading * 37 + i * 11) % 9 - 4) * 4096;
        p.rss = (int64_t(900) * 1024 * 1024) / (i + 1) + jitter;
        out.push_back(std::move(p));
    }
    return out;
}

void reportRefreshes(const char* what, const std::vector<Refresh>& rs)
{
    std::vector<double> total, frame, update, rows;
    int framed = 0;
    for (const Refresh& r : rs) {
        total.push_back(r.totalMs);
        frame.push_back(r.frameMs);
        update.push_back(r.totalMs - r.frameMs);
        framed += r.frames > 0;
        rows.push_back(r.changedRows);
    }
    const double worst = *std::max_element(total.begin(), total.end());
    std::printf("process refresh, %s (%zu, %d drew a frame): main-thread CPU median %.2f ms "
                "(update %.2f + frame %.2f), worst %.2f ms; median / 5 ms budget = %.2f\n",
                what, rs.size(), framed, median(total), median(update), median(frame), worst,
                median(total) / 5.0);
    if (median(rows) >= 0)
        std::printf("  rows changed by a reading: median %.0f of 12\n", median(rows));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("TID_NOGUIDE", "1");
    qputenv("TID_PAGE", "tools");
    qputenv("TID_TAB", "4");
    GeneratedHome home;
    BenchWindow bench(argc, argv, BenchWindow::Platform::Offscreen);
    AppModel* model = bench.open();
    if (!model)
        return 1;
    QQuickItem* root = bench.root();
    EngineCalls calls = model->engine();
    // Shared, so that copying the table (the model does for each call) stays
    // as cheap as with the real engine's functions.
    const auto groups = std::make_shared<const std::vector<DuplicateGroup>>(cannedGroups());
    calls.duplicates = [groups](int64_t, int64_t, const CancelToken*) { return *groups; };
    calls.sameNameGroups = [](int64_t, const CancelToken*) {
        return std::vector<DuplicateGroup>{};
    };
    model->setEngine(calls);
    FrameClock frames(bench.window());
    // The pane's own 3-second refresh would land inside the measured spans.
    auto* paneTimer = root->findChild<QObject*>(QStringLiteral("procTimer"));
    if (!paneTimer)
        return 1;
    paneTimer->setProperty("running", false);

    // Let the pane's own first reading land, then measure the idle window.
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(1500, [] { QGuiApplication::exit(0); });
    QGuiApplication::exec();
    const double idleCpu0 = threadCpuMs();
    clock.restart();
    QTimer::singleShot(2000, [] { QGuiApplication::exit(0); });
    QGuiApplication::exec();
    const double idleRate = (threadCpuMs() - idleCpu0) / double(clock.elapsed());

    const std::vector<Refresh> real = measureRefreshes(model, frames, 30, idleRate);
    auto readings = std::make_shared<std::atomic<int>>(0);
    calls.processes = [readings](int) { return steadyReading(++*readings); };
    calls.ownMemory = [] { return int64_t(60) * 1024 * 1024; };
    model->setEngine(calls);
    const std::vector<Refresh> steady = measureRefreshes(model, frames, 30, idleRate);
    calls.processes = [](int) { return steadyReading(0); };
    model->setEngine(calls);
    const std::vector<Refresh> same = measureRefreshes(model, frames, 10, idleRate);
    std::printf("idle window: main-thread CPU %.2f ms/s\n", idleRate * 1e3);
    reportRefreshes("real ps", real);
    reportRefreshes("steady desktop (canned)", steady);
    reportRefreshes("unchanged reading (canned)", same);
    if (argc > 1 && std::string_view(argv[1]) == "--refresh-only")
        return 0;

    auto* loader = root->findChild<QQuickItem*>(QStringLiteral("toolPane"));
    if (!loader)
        return 1;
    loader->parentItem()->setProperty("tab", 1);
    QQuickItem* list = nullptr;
    measure([&] {
        list = root->findChild<QQuickItem*>(QStringLiteral("dupGroups"));
        return model->duplicates()->scanned() && list && list->property("count").toInt() == 1500;
    });
    if (!list)
        return 1;
    const Lateness scroll = measure([&] {
        const double y = list->property("contentY").toDouble() + 60;
        list->setProperty("contentY", y);
        return list->property("atYEnd").toBool();
    });

    std::printf("scrolling %d groups: worst stall %.1f ms, p99 %.1f ms (%zu ticks); "
                "worst / 50 ms budget = %.2f\n",
                list->property("count").toInt(), scroll.worst(), scroll.p99(), scroll.ms.size(),
                scroll.worst() / 50.0);
    return 0;
}

#include "ToolboxBench.moc"
