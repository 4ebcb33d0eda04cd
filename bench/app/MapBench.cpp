// SPDX-License-Identifier: GPL-3.0-or-later
// app_map_bench MODE: the storage map's speed and memory (not a test).
//   timing - offscreen: lays out and paints the map of a generated
//            20,000-folder tree with files in every folder, depth 8, in
//            1072 x 560 (median of 15 runs, layout and paint apart, and a
//            repaint without a new layout); times hover hit-testing; then
//            measures a real 20,000-folder tree on disk with the real engine
//            and times a drill into one of its folders (shown from the tree
//            held, or measured or read from the cache by a build that holds
//            none), from the call to the painted map.
//   paint  - the timing mode without the tree on disk: layout, paint, hover
//   bare   - a bare Qt Quick window of the application's size; prints VmRSS
//   map    - the application on its Storage Map showing a generated
//            100,000-folder tree; prints VmRSS (KiB) once settled
//   shot OUT.png - the application on its Storage Map showing the timing
//            run's 20,000-folder tree at depth 8 (or TID_MAPDEPTH); saves the
//            window's image once the map is painted (TID_LANG chooses the
//            language), to compare the picture before and after a change to
//            the painting; with TID_SHOTDRILL=1 after a drill into the top's
//            largest folder
//   home ROOT - the application on its Storage Map showing the real folder
//            ROOT at depth 8 with the real engine, in the caller's HOME and
//            XDG_CACHE_HOME (so a tree cached by `tclean tree ROOT -d 8` there
//            is read back); prints the time from opening the page to the
//            painted map, then drills into each of the top's five largest
//            folders that have sub-folders and goes up after each, timing
//            both from the call to the painted map (medians), and VmRSS once
//            settled after showing the map and again after the drills
// run.sh-style use: see bench/app/map.sh.
#include "AppModel.h"
#include "BenchWindow.h"
#include "Lateness.h"
#include "ResidentMemory.h"
#include "TreemapItem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <utility>
#include <vector>

namespace {

// Spreads `budget` folders below n, `fanout` per folder, down to level 8.
void grow(FolderDraft& n, int level, int budget, int fanout, std::mt19937& rng)
{
    std::uniform_real_distribution<double> logSize(12, 30); // 4 KB to 1 GB
    const int64_t own = static_cast<int64_t>(std::exp2(logSize(rng)));
    n.size = own;
    // The folder's own bytes are its files: up to 30 of them, the largest
    // eight named, each half of what the larger ones leave.
    n.fileCount = 1 + static_cast<int64_t>(rng() % 30);
    n.fileBytes = own;
    int64_t left = own;
    for (int64_t f = 0; f < std::min<int64_t>(n.fileCount, 8) && left / 2 > 0; ++f) {
        n.files.push_back(DiskFile{"file " + std::to_string(f) + ".bin", left / 2});
        left -= left / 2;
    }
    if (level >= 8 || budget <= 0)
        return;
    const int k = std::min(budget, fanout);
    const int rest = budget - k;
    n.children.resize(static_cast<size_t>(k));
    for (int i = 0; i < k; ++i) {
        FolderDraft& c = n.children[static_cast<size_t>(i)];
        c.name = "folder " + std::to_string(level) + "-" + std::to_string(i);
        c.path = n.path + "/" + c.name;
        grow(c, level + 1, rest / k + (i < rest % k ? 1 : 0), fanout, rng);
        n.size += c.size;
    }
    std::stable_sort(n.children.begin(), n.children.end(),
                     [](const FolderDraft& a, const FolderDraft& b) { return a.size > b.size; });
}

DiskNode generated(int folders, int fanout)
{
    std::mt19937 rng(7);
    FolderDraft root;
    root.name = "generated";
    root.path = "/generated";
    grow(root, 0, folders, fanout, rng);
    return DiskNode(root);
}

size_t countNodes(const DiskNode& n)
{
    size_t c = n.children().size();
    for (const DiskNode k : n.children())
        c += countNodes(k);
    return c;
}

// Folders on disk for the real engine: `budget` below dir, down to level 8.
void makeFolders(const std::filesystem::path& dir, int level, int budget, int fanout)
{
    if (level >= 8 || budget <= 0)
        return;
    const int k = std::min(budget, fanout);
    const int rest = budget - k;
    for (int i = 0; i < k; ++i) {
        const auto sub = dir / ("d" + std::to_string(i));
        std::filesystem::create_directory(sub);
        if (FILE* f = std::fopen((sub / "file.bin").c_str(), "wb")) {
            static const std::vector<char> bytes(8192, 'x');
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        makeFolders(sub, level + 1, rest / k + (i < rest % k ? 1 : 0), fanout);
    }
}

// Wall-clock and CPU time (all of the process's threads) since start, in ms.
// On a busy machine the wall clock also counts the time spent waiting for a
// core; the CPU time shows the work alone.
struct Stopwatch
{
    QElapsedTimer wall;
    double cpuStart = cpuNow();

    Stopwatch() { wall.start(); }
    static double cpuNow()
    {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
    }
    double wallMs() const { return double(wall.nsecsElapsed()) / 1e6; }
    double cpuMs() const { return cpuNow() - cpuStart; }
};

struct Times
{
    double wall = 0;
    double cpu = 0;
};

// Paints item into image as the scene graph does (a cleared image, then the
// item's paint).
Times paintOnce(TreemapItem& item, QImage& image)
{
    const Stopwatch t;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    item.paint(&painter);
    painter.end();
    return {t.wallMs(), t.cpuMs()};
}

// Lays out and paints item into image; returns (layout, paint).
std::pair<Times, Times> drawOnce(TreemapItem& item, QImage& image)
{
    const Stopwatch t;
    item.rebuild();
    const Times layout{t.wallMs(), t.cpuMs()};
    return {layout, paintOnce(item, image)};
}

// Layout and paint of the generated 20,000-folder map, a repaint without a
// new layout, and hover hit-testing.
void paintTiming()
{
    const DiskNode tree = generated(20000, 4);
    AppModel model;
    EngineCalls calls;
    calls.diskTree = [&tree](const std::string&, int, bool, const CancelToken*) { return tree; };
    model.setEngine(calls);
    model.map()->load(std::string("/generated"), 8, false, false);
    model.waitForWorkers();

    TreemapItem item;
    item.setMapState(model.map());
    item.setSize(QSizeF(1072, 560));
    QImage image(1072, 560, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> layouts, paints, totals, repaints, layoutsCpu, paintsCpu, totalsCpu;
    for (int i = 0; i < 15; ++i) {
        const auto [l, p] = drawOnce(item, image);
        layouts.push_back(l.wall);
        paints.push_back(p.wall);
        totals.push_back(l.wall + p.wall);
        layoutsCpu.push_back(l.cpu);
        paintsCpu.push_back(p.cpu);
        totalsCpu.push_back(l.cpu + p.cpu);
        repaints.push_back(paintOnce(item, image).wall);
    }
    std::printf("map of %zu folders, depth 8, 1072x560: %d cells\n", countNodes(tree),
                item.cellCount());
    std::printf("  layout %.2f ms + paint %.2f ms = %.2f ms (median of 15); budget 16 ms, "
                "ratio %.2f\n",
                median(layouts), median(paints), median(totals), median(totals) / 16.0);
    std::printf("  CPU time: layout %.2f ms + paint %.2f ms = %.2f ms (median of 15)\n",
                median(layoutsCpu), median(paintsCpu), median(totalsCpu));
    std::printf("  repaint without a new layout (the picture copied) %.2f ms (median of 15)\n",
                median(repaints));

    QElapsedTimer t;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> x(0, 1072), y(0, 560);
    t.start();
    const int moves = 2000;
    for (int i = 0; i < moves; ++i)
        item.hoverAt(x(rng), y(rng));
    std::printf("  hover hit-test %.1f us per move; paints during hover: 0 (hover only moves "
                "the outline and chip)\n",
                double(t.nsecsElapsed()) / 1e3 / moves);
}

// The real engine on a real tree: measure, drill, up, drill again and time
// that last drill to the painted map.
void drillTiming()
{
    QImage image(1072, 560, QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer t;
    QTemporaryDir dir;
    makeFolders(dir.path().toStdString(), 0, 20000, 4);
    AppModel real;
    real.map()->load(dir.path().toStdString(), 8, true, false);
    real.waitForWorkers();
    TreemapItem realItem;
    realItem.setMapState(real.map());
    realItem.setSize(QSizeF(1072, 560));
    const DiskNode first = real.map()->root()->children()[0];
    real.map()->drill(first);
    real.waitForWorkers();
    real.map()->up();
    real.waitForWorkers();
    std::vector<double> drills;
    for (int i = 0; i < 5; ++i) {
        const DiskNode child = real.map()->root()->children()[0];
        QSignalSpy shown(real.map(), &MapState::rootChanged);
        t.restart();
        real.map()->drill(child);
        shown.wait(10000);
        drawOnce(realItem, image);
        drills.push_back(double(t.nsecsElapsed()) / 1e6);
        real.map()->up();
        real.waitForWorkers();
    }
    std::printf("drill into a folder of a %zu-folder tree on disk (%zu folders below "
                "it): %.1f ms (median of 5); budget 100 ms, ratio %.2f\n",
                countNodes(*real.map()->root()), countNodes(first), median(drills),
                median(drills) / 100.0);
}

// Runs the event loop until done() holds, at most timeoutMs; whether it held.
// Sleeps between events (a timer wakes it now and then), so a measurement on
// a worker gets the cores.
bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    QTimer tick;
    tick.start(20);
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Lets the window settle for ms (events handled meanwhile).
void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    waitUntil([&] { return t.elapsed() >= ms; }, ms + 1000);
}

// Shows a folder through go and waits until the map item has painted it;
// the time from the call in ms, or -1 after a minute without it.
double untilPainted(MapState& state, const TreemapItem& map, const std::string& path,
                    const std::function<void()>& go)
{
    const int before = map.paintCount();
    QElapsedTimer t;
    t.start();
    go();
    const bool shown = waitUntil(
        [&] {
            return !state.loading() && state.hasRoot() && state.root()->path() == path &&
                   map.paintCount() > before;
        },
        60000);
    return shown ? double(t.nsecsElapsed()) / 1e6 : -1;
}

// The app's Storage Map on a real folder: time to show, drill and up, memory.
int homeTiming(BenchWindow& bench, const char* folder)
{
    qputenv("TID_MAPROOT", folder);
    qputenv("TID_MAPDEPTH", "8");
    AppModel* model = bench.open();
    if (!model)
        return 1;
    QQuickItem* root = bench.root();
    MapState& state = *model->map();
    QElapsedTimer t;
    t.start();
    root->setProperty("page", QStringLiteral("map"));
    const TreemapItem* map = nullptr;
    const bool shown = waitUntil(
        [&] {
            map = map ? map : root->findChild<TreemapItem*>(QStringLiteral("treemap"));
            return map && state.hasRoot() && !state.loading() && map->paintCount() > 0;
        },
        600000);
    if (!shown) {
        std::fprintf(stderr, "home: the map of %s was not shown within 10 minutes\n", folder);
        return 1;
    }
    const double showMs = double(t.nsecsElapsed()) / 1e6;
    settle(3000);
    const long shownKiB = rssKiB();

    const DiskNode top = *state.root();
    std::vector<DiskNode> picked;
    for (const DiskNode child : top.children()) {
        if (!child.children().empty())
            picked.push_back(child);
        if (picked.size() == 5)
            break;
    }
    std::vector<double> drills, ups;
    for (const DiskNode& child : picked) {
        drills.push_back(untilPainted(state, *map, child.path(), [&] { state.drill(child); }));
        ups.push_back(untilPainted(state, *map, top.path(), [&] { state.up(); }));
    }
    settle(3000);
    const long afterKiB = rssKiB();
    std::printf("home %s: %zu folders at depth 8, %d cells; map shown %.1f ms after the page "
                "opened\n",
                folder, countNodes(top) + 1, map->cellCount(), showMs);
    std::printf("drill median %.1f ms, up median %.1f ms (%zu each, from the call to the "
                "painted map)\n",
                median(drills), median(ups), drills.size());
    for (size_t i = 0; i < picked.size(); ++i)
        std::printf("  %s (%zu folders below): drill %.1f ms, up %.1f ms\n",
                    std::string(picked[i].name()).c_str(), countNodes(picked[i]), drills[i],
                    ups[i]);
    std::printf("home-rss %ld %ld\n", shownKiB, afterKiB);
    std::printf("app with the map: %.1f MB once shown, %.1f MB after the drills\n",
                double(shownKiB) / 1024, double(afterKiB) / 1024);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "timing";
    qputenv("TID_NOGUIDE", "1");
    qputenv("TID_NOACT", "1");
    qputenv("TID_PAGE", "about");
    const bool realHome = std::strcmp(mode, "home") == 0;
    if (realHome && argc < 3) {
        std::fprintf(stderr, "usage: app_map_bench home ROOT\n");
        return 2;
    }
    // The home mode keeps the caller's home and cache folder.
    QTemporaryDir home;
    if (!realHome) {
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
        qputenv("XDG_CACHE_HOME", (home.path() + "/.cache").toUtf8());
        qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toUtf8());
    }
    BenchWindow bench(argc, argv, BenchWindow::Platform::AsRun);
    if (realHome)
        return homeTiming(bench, argv[2]);

    if (std::strcmp(mode, "timing") == 0 || std::strcmp(mode, "paint") == 0) {
        paintTiming();
        if (std::strcmp(mode, "timing") == 0)
            drillTiming();
        return 0;
    }

    if (std::strcmp(mode, "bare") == 0)
        return runBareWindow(mode);

    const bool shot = std::strcmp(mode, "shot") == 0;
    if (shot && argc < 3) {
        std::fprintf(stderr, "usage: app_map_bench shot OUT.png\n");
        return 2;
    }
    AppModel* model = bench.open();
    if (!model)
        return 1;
    QQuickItem* root = bench.root();
    // Handed over on the first (only) load, so one copy of the tree lives on.
    auto tree = std::make_shared<DiskNode>(shot ? generated(20000, 4) : generated(100000, 5));
    EngineCalls calls;
    calls.diskTree = [tree](const std::string&, int, bool, const CancelToken*) {
        return std::exchange(*tree, DiskNode{});
    };
    model->setEngine(calls);
    if (!shot || !qEnvironmentVariableIsSet("TID_MAPDEPTH"))
        qputenv("TID_MAPDEPTH", "8");
    root->setProperty("page", QStringLiteral("map"));
    const bool drill = shot && qEnvironmentVariableIntValue("TID_SHOTDRILL") == 1;
    int drilledAt = drill ? -1 : 0; // the paint count when the drill was asked for
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!model->map()->hasRoot() || model->map()->loading())
            return;
        if (!shot) {
            poll.stop();
            printAfterSettling(mode);
            return;
        }
        const auto* map = root->findChild<TreemapItem*>(QStringLiteral("treemap"));
        if (!map || map->paintCount() == 0 || map->paintCount() <= drilledAt)
            return;
        if (drill && drilledAt < 0) {
            // Into the top's largest folder, shown from the tree already held.
            drilledAt = map->paintCount();
            model->map()->drill(model->map()->root()->children()[0]);
            return;
        }
        poll.stop();
        // A frame more, so the painted map has reached the window.
        QTimer::singleShot(500, qGuiApp, [&bench, map, argv] {
            const bool saved = bench.window()->grabWindow().save(QString::fromLocal8Bit(argv[2]));
            std::printf("shot %s: map %gx%g, %d cells\n", argv[2], map->width(), map->height(),
                        map->cellCount());
            QGuiApplication::exit(saved ? 0 : 1);
        });
    });
    poll.start(100);
    return QGuiApplication::exec();
}
