// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's state and navigation in AppModel, through the engine-call
// table: a stand-in folder-size tree answers at once or waits at a gate, and
// records every measurement asked for. One test measures a real folder.
#include "AppModel.h"
#include "Fixture.h"
#include "HeldCall.h"
#include "RecordVariants.h"
#include "TestHome.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Measured
{
    std::string root;
    int depth = 0;
    bool useCache = false;
};

// A tree for any root: two sub-folders, "a" (with a sub-folder "a" holding
// "a1", and a folder "a1") and "b"; sizes 300, a 200, a/a 120, a/a/a1 100,
// a/a1 80, b 100.
DiskNode treeFor(const std::string& root)
{
    const auto folder = [](const char* name, int64_t size, std::vector<FolderDraft> children) {
        FolderDraft f;
        f.name = name;
        f.size = size;
        f.children = std::move(children);
        return f;
    };
    FolderDraft n =
        folder("", 300,
               {folder("a", 200, {folder("a", 120, {folder("a1", 100, {})}), folder("a1", 80, {})}),
                folder("b", 100, {})});
    n.path = root;
    n.name = root.substr(root.rfind('/') + 1);
    return DiskNode(n);
}

// Records the measurements asked for (from any worker thread).
struct Log
{
    std::mutex lock;
    std::vector<Measured> calls;

    void add(const std::string& root, int depth, bool useCache)
    {
        std::lock_guard guard(lock);
        calls.push_back({root, depth, useCache});
    }
    size_t size()
    {
        std::lock_guard guard(lock);
        return calls.size();
    }
    Measured last()
    {
        std::lock_guard guard(lock);
        return calls.back();
    }
};

using TreeCall = std::function<DiskNode(const std::string&, int, bool, const CancelToken*)>;
// What a test does to the map once a tree is shown.
using Step = std::function<void(MapState&)>;

} // namespace

Q_DECLARE_METATYPE(Step)

class MapModelTest : public QObject, Fixture::ModelHome
{
    Q_OBJECT

private:
    std::shared_ptr<Log> m_log;

    TreeCall recorded()
    {
        return
            [log = m_log](const std::string& root, int depth, bool useCache, const CancelToken*) {
                log->add(root, depth, useCache);
                return treeFor(root);
            };
    }

    AppModel& modelWith(TreeCall call)
    {
        m_model = std::make_unique<AppModel>();
        EngineCalls calls;
        calls.diskTree = std::move(call);
        m_model->setEngine(calls);
        return *m_model;
    }

    // Loads root and waits for its tree.
    static void show(AppModel& m, const std::string& root)
    {
        m.map()->load(root, std::nullopt, false, false);
        m.waitForWorkers();
    }

    static std::vector<std::string> trailPaths(const AppModel& m)
    {
        std::vector<std::string> out;
        for (const auto& entry : m.map()->trail())
            out.push_back(entry.second);
        return out;
    }

private slots:
    void init()
    {
        makeHome();
        m_log = std::make_shared<Log>();
        qunsetenv("TID_MAPDEPTH");
        qunsetenv("TID_MAPROOT");
    }

    void cleanup()
    {
        dropHome();
        qunsetenv("TID_MAPDEPTH");
        qunsetenv("TID_MAPROOT");
    }

    void depthIsClampedForTheToolAndTheModel_data()
    {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("used");
        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("negative") << -4 << 1;
        QTest::newRow("in range") << 5 << 5;
        QTest::newRow("twelve") << 12 << 8;
    }
    void depthIsClampedForTheToolAndTheModel()
    {
        QFETCH(int, asked);
        QFETCH(int, used);
        AppModel& m = modelWith(recorded());
        QSignalSpy loading(m.map(), &MapState::loadingChanged);
        m.map()->load(std::string("/r"), asked, false, false);
        QCOMPARE(m.map()->depth(), used);
        QVERIFY(m.map()->loading() && m.holdsActivity());
        m.waitForWorkers();
        QCOMPARE(m_log->last().depth, used);
        QVERIFY(m_log->last().useCache);
        QVERIFY(!m.map()->loading() && !m.holdsActivity());
        QCOMPARE(loading.count(), 2);
        QCOMPARE(m.map()->name(), displayLine("r"));
        QCOMPARE(m.map()->childCount(), 2);
        QCOMPARE(m.map()->size(), 300);
    }

    void reloadAtDepthBeforeAnyMapOnlyStoresIt()
    {
        AppModel& m = modelWith(recorded());
        m.map()->reloadAtDepth(5);
        QCOMPARE(m.map()->depth(), 5);
        QVERIFY(!m.map()->loading());
        m.waitForWorkers();
        QCOMPARE(m_log->size(), 0u);
        QVERIFY(!m.map()->hasRoot());

        // With a map shown, it measures the same folder at the new depth.
        show(m, "/r");
        m.map()->reloadAtDepth(11);
        m.waitForWorkers();
        QCOMPARE(m.map()->depth(), 8);
        QCOMPARE(m_log->last().root, std::string("/r"));
        QCOMPARE(m_log->last().depth, 8);
        QVERIFY(m.map()->trail().empty());
    }

    void drillMeasuresLeavesAfreshAndPushesTheTrail()
    {
        AppModel& m = modelWith(recorded());
        show(m, "/r");
        const DiskNode a = m.map()->root()->children()[0]; // has a child
        const DiskNode b = m.map()->root()->children()[1]; // a leaf
        m.map()->drill(a);
        m.waitForWorkers();
        QVERIFY(m_log->last().useCache);
        QCOMPARE(m.map()->path(), QString("/r/a"));
        QCOMPARE(trailPaths(m), std::vector<std::string>{"/r"});

        m.map()->drill(b);
        m.waitForWorkers();
        QVERIFY(!m_log->last().useCache); // a leaf is measured afresh
        QCOMPARE(trailPaths(m), (std::vector<std::string>{"/r", "/r/a"}));

        // Drilling into the folder shown does not push it again.
        const DiskNode self = *m.map()->root();
        m.map()->drill(self);
        m.waitForWorkers();
        QCOMPARE(trailPaths(m), (std::vector<std::string>{"/r", "/r/a"}));

        // Back through the breadcrumb to its first entry.
        m.map()->trailBack(0);
        QVERIFY(m.map()->trail().empty());
        m.waitForWorkers();
        QCOMPARE(m.map()->path(), QString("/r"));
        QVERIFY(m_log->last().useCache);
    }

    void twoDrillsBeforeTheFirstTreeArrives()
    {
        Gate gate;
        AppModel& m = modelWith(gate.hold(recorded()));
        gate.release();
        show(m, "/r");
        const DiskNode a = m.map()->root()->children()[0];
        const DiskNode b = m.map()->root()->children()[1];
        m.map()->drill(a);
        m.map()->drill(b);
        // The root shown is still /r: it joins the trail once, when /r/b is shown.
        QVERIFY(trailPaths(m).empty());
        QVERIFY(m.map()->loading());
        gate.release(2);
        m.waitForWorkers();
        QCOMPARE(m.map()->path(), QString("/r/b"));
        QCOMPARE(trailPaths(m), (std::vector<std::string>{"/r"}));
        QVERIFY(!m.map()->loading() && !m.holdsActivity());
    }

    void mapUpAndHome()
    {
        AppModel& m = modelWith(recorded());
        // Up with an empty trail: nothing at all.
        m.map()->up();
        QVERIFY(!m.map()->loading());
        QCOMPARE(m_log->size(), 0u);

        const std::string home = m_home->path();
        show(m, home);
        for (int i = 0; i < 3; ++i) {
            m.map()->drill(m.map()->root()->children()[0]);
            m.waitForWorkers();
        }
        QCOMPARE(m.map()->trail().size(), 3u);
        m.map()->setDepth(6);

        m.map()->up();
        QCOMPARE(m.map()->trail().size(), 2u);
        m.waitForWorkers();
        QCOMPARE(m.map()->path(), QString::fromStdString(home + "/a/a"));

        m.map()->home();
        QVERIFY(m.map()->trail().empty());
        m.waitForWorkers();
        QCOMPARE(m.map()->path(), QString::fromStdString(home));
        QCOMPARE(m_log->last().depth, 6);
        QVERIFY(m_log->last().useCache);
    }

    void aSlowBigFolderLosesToALaterQuickOne()
    {
        Gate gate;
        const TreeCall quick = recorded();
        const TreeCall held = gate.hold(quick);
        AppModel& m = modelWith(
            [quick, held](const std::string& root, int d, bool cache, const CancelToken* t) {
                return root == "/big" ? held(root, d, cache, t) : quick(root, d, cache, t);
            });
        QSignalSpy shown(m.map(), &MapState::rootChanged);
        m.map()->load(std::string("/big"), std::nullopt, false, false);
        QTRY_COMPARE(gate.arrived(), 1);
        m.map()->load(std::string("/small"), std::nullopt, false, false);
        QTRY_COMPARE(shown.count(), 1);
        QCOMPARE(m.map()->path(), QString("/small"));
        QVERIFY(!m.map()->loading());

        gate.release();
        m.waitForWorkers();
        QCOMPARE(m.map()->path(), QString("/small"));
        QCOMPARE(shown.count(), 1);
        QVERIFY(!m.map()->loading());
    }

    // Drill, up, the trail and home within the tree last measured show its
    // folders without measuring again, answered later as a load is.
    void foldersOfTheHeldTreeAreShownWithoutMeasuring()
    {
        AppModel& m = modelWith(recorded());
        const std::string home = m_home->path();
        show(m, home);
        const auto tree = m.map()->root()->tree();
        QSignalSpy loading(m.map(), &MapState::loadingChanged);
        m.map()->drill(m.map()->root()->children()[0]);
        QVERIFY(m.map()->loading() && m.holdsActivity());
        QVERIFY(trailPaths(m).empty());
        m.waitForWorkers();
        QVERIFY(!m.map()->loading() && !m.holdsActivity());
        QCOMPARE(loading.count(), 2);
        QCOMPARE(trailPaths(m), std::vector<std::string>{home});

        // The folder shown, its size and item count, and the trail, with the
        // home as "~"; "(a copy)" when the tree is not the one measured.
        const auto shown = [&] {
            m.waitForWorkers();
            const auto tilde = [&](const std::string& path) {
                return QString::fromStdString("~" + path.substr(home.size()));
            };
            QString out = tilde(m.map()->root()->path()) +
                          QString(" %1 %2;").arg(m.map()->size()).arg(m.map()->childCount());
            for (const std::string& path : trailPaths(m))
                out += " " + tilde(path);
            return m.map()->root()->tree() == tree ? out : out + " (a copy)";
        };
        m.map()->drill(m.map()->root()->children()[0]);
        QCOMPARE(shown(), QString("~/a/a 120 1; ~ ~/a"));
        m.map()->up();
        QCOMPARE(shown(), QString("~/a 200 2; ~"));
        m.map()->drill(m.map()->root()->children()[0]);
        QCOMPARE(shown(), QString("~/a/a 120 1; ~ ~/a"));
        m.map()->trailBack(1);
        QCOMPARE(shown(), QString("~/a 200 2; ~"));
        m.map()->home();
        QCOMPARE(shown(), QString("~ 300 2;"));
        QCOMPARE(m_log->size(), 1u);
    }

    // What is measured again once a tree is shown, and what comes from it.
    void onlyFoldersOfTheHeldTreeAtItsDepthAreReused_data()
    {
        QTest::addColumn<QString>("top");
        QTest::addColumn<Step>("step");
        QTest::addColumn<bool>("measures");
        QTest::addColumn<QString>("path");
        const auto at = [](const char* path) {
            return Step(
                [path](MapState& s) { s.load(std::string(path), std::nullopt, false, false); });
        };
        QTest::newRow("a folder below") << "/r" << at("/r/a/a") << false << "/r/a/a";
        QTest::newRow("the same depth again")
            << "/r" << Step([](MapState& s) { s.reloadAtDepth(3); }) << false << "/r";
        QTest::newRow("another depth")
            << "/r" << Step([](MapState& s) { s.reloadAtDepth(5); }) << true << "/r";
        QTest::newRow("a drill at another depth") << "/r" << Step([](MapState& s) {
            s.setDepth(5);
            s.drill(s.root()->children()[0]);
        }) << true << "/r/a";
        QTest::newRow("forced") << "/r" << Step([](MapState& s) { s.refresh(); }) << true << "/r";
        QTest::newRow("outside") << "/r" << at("/elsewhere") << true << "/elsewhere";
        QTest::newRow("above the top") << "/r/a" << at("/r") << true << "/r";
        QTest::newRow("a longer name, not below") << "/r/a" << at("/r/aa") << true << "/r/aa";
        QTest::newRow("a name not in the tree") << "/r" << at("/r/c") << true << "/r/c";
        QTest::newRow("a folder without sub-folders") << "/r" << at("/r/b") << true << "/r/b";
    }
    void onlyFoldersOfTheHeldTreeAtItsDepthAreReused()
    {
        QFETCH(QString, top);
        QFETCH(Step, step);
        QFETCH(bool, measures);
        QFETCH(QString, path);
        AppModel& m = modelWith(recorded());
        show(m, top.toStdString());
        step(*m.map());
        m.waitForWorkers();
        QCOMPARE(m.map()->path(), path);
        QCOMPARE(m_log->size(), measures ? 2u : 1u);
        QCOMPARE(QString::fromStdString(m_log->last().root), measures ? path : top);
        QVERIFY(!m.map()->loading() && !m.holdsActivity());
    }

    void firstAppearanceReadsTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("depthVar"); // "-" for unset
        QTest::addColumn<bool>("rootVar");
        QTest::addColumn<int>("depth");
        QTest::newRow("unset") << QByteArray("-") << false << 3;
        QTest::newRow("twelve") << QByteArray("12") << true << 8;
        QTest::newRow("plus") << QByteArray("+5") << false << 5;
        QTest::newRow("minus") << QByteArray("-2") << false << 1;
        QTest::newRow("huge") << QByteArray("99999999999999999999") << false << 8;
        QTest::newRow("letters") << QByteArray("4x") << false << 3;
        QTest::newRow("leading blank") << QByteArray(" 4") << false << 3;
        QTest::newRow("two signs") << QByteArray("+-4") << false << 3;
        QTest::newRow("empty") << QByteArray("") << false << 3;
    }
    void firstAppearanceReadsTheEnvironment()
    {
        QFETCH(QByteArray, depthVar);
        QFETCH(bool, rootVar);
        QFETCH(int, depth);
        if (depthVar != "-")
            qputenv("TID_MAPDEPTH", depthVar);
        if (rootVar)
            qputenv("TID_MAPROOT", "/elsewhere");
        AppModel& m = modelWith(recorded());
        m.map()->open();
        m.waitForWorkers();
        QCOMPARE(m.map()->depth(), depth);
        QCOMPARE(m_log->last().depth, depth);
        QCOMPARE(m_log->last().root, rootVar ? std::string("/elsewhere") : m_home->path());

        // Later appearances change nothing.
        qputenv("TID_MAPDEPTH", "2");
        m.map()->open();
        m.waitForWorkers();
        QCOMPARE(m_log->size(), 1u);
    }

    void measuresARealFolderAndCopesWithBadRoots()
    {
        m_home->file("Docs/one/f", std::string(8192, 'x'));
        m_home->file("Docs/two\nlines/f", "x");
        m_home->file("plain.txt", "x");
        AppModel& m = modelWith(EngineCalls{}.diskTree);
        show(m, m_home->at("Docs"));
        QCOMPARE(m.map()->childCount(), 2);
        QCOMPARE(std::string(m.map()->root()->children()[0].name()), std::string("one"));
        // A name with a line feed shows as one line.
        const DiskNode odd = m.map()->root()->children()[1];
        m.map()->drill(odd);
        m.waitForWorkers();
        QCOMPARE(m.map()->name(), displayLine("two?lines"));
        QCOMPARE(m.map()->trail().size(), 1u);

        for (const char* bad : {"plain.txt", "vanished"}) {
            show(m, m_home->at(bad));
            QVERIFY(m.map()->hasRoot());
            QCOMPARE(m.map()->childCount(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(MapModelTest)
#include "MapModelTest.moc"
