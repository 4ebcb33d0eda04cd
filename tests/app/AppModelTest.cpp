// SPDX-License-Identifier: GPL-3.0-or-later
// AppModel's full scan on a real fixture home: the states the views see, the
// order of assignments, cancellation in every phase, the automatic selection,
// and the guards against a second scan. Every engine call is the real one.
#include "AppModel.h"
#include "Fixture.h"
#include "Preferences.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <set>
#include <span>

namespace {

struct State
{
    bool scanning;
    double progress;
    QString phaseKey;
    QString statusText;
    bool scannedOnce;
    bool task;
    bool activity;
};

State stateOf(const AppModel& m)
{
    return {m.scanning(),    m.progress(),    m.phaseKey(),     m.statusText(),
            m.scannedOnce(), m.hasScanTask(), m.holdsActivity()};
}

void compareState(const State& got, const State& want, const char* where)
{
    const QByteArray at(where);
    QVERIFY2(got.scanning == want.scanning, at);
    QVERIFY2(qFuzzyCompare(got.progress + 1, want.progress + 1),
             at + " progress " + QByteArray::number(got.progress));
    QVERIFY2(got.phaseKey == want.phaseKey, at + " phase " + got.phaseKey.toUtf8());
    QVERIFY2(got.statusText == want.statusText, at + " status " + got.statusText.toUtf8());
    QVERIFY2(got.scannedOnce == want.scannedOnce, at);
    QVERIFY2(got.task == want.task, at + " scanTask");
    QVERIFY2(got.activity == want.activity, at + " activity");
}

std::set<std::string> namesOf(std::span<const ScanItem> items)
{
    std::set<std::string> out;
    for (const auto& i : items)
        out.insert(i.name);
    return out;
}

std::set<std::string> pathsOf(std::span<const ScanItem> items)
{
    std::set<std::string> out;
    for (const auto& i : items)
        out.insert(i.path);
    return out;
}

// Runs a full scan to its end.
void completeScan(AppModel& m)
{
    m.fullScan();
    QTRY_VERIFY_WITH_TIMEOUT(!m.scanning(), 30000);
}

} // namespace

class AppModelTest : public QObject, Fixture::ModelHome
{
    Q_OBJECT

private:
    // Files over 2 MB outside Library/Caches: the large-file phase's find.
    std::set<std::string> largeFixtureFiles() const
    {
        return {m_home->at("Downloads/movie.bin"), m_home->at(".npm/_cacache/blob")};
    }

    AppModel& makeModel()
    {
        m_model = std::make_unique<AppModel>();
        m_model->setLargeMinMB(2);
        return *m_model;
    }

private slots:
    void init()
    {
        makeHome();
        Fixture::build(*m_home);
        Preferences::setStringArray("protectedPaths", {m_home->at("Library/Caches/Guarded")});
    }

    void cleanup() { dropHome(); }

    void startsEmptyWithProtectedPathsFromPreferences()
    {
        AppModel& m = makeModel();
        compareState(stateOf(m), {false, 0, "", "", false, false, false}, "never scanned");
        QCOMPARE(m.largeMinMB(), 2);
        QCOMPARE(m.map()->depth(), 3);
        QVERIFY(m.cacheItems().empty() && m.selection().empty() && !m.map()->root());
        QCOMPARE(m.protectedPaths(), std::set<std::string>{m_home->at("Library/Caches/Guarded")});
    }

    // What the views see after each step, from the table of scan states.
    void fullScanWalksTheStateTable()
    {
        AppModel& m = makeModel();
        std::vector<std::pair<double, State>> seen;
        // Queued: the state after the step that changed progress has finished,
        // as the next redraw sees it. The 0.9 step is read at once, because the
        // same step completes the scan.
        connect(
            &m, &AppModel::progressChanged, this,
            [&] { seen.emplace_back(m.progress(), stateOf(m)); }, Qt::QueuedConnection);
        State atLargeDone{};
        bool largeAssignedFirst = false;
        connect(&m, &AppModel::progressChanged, this, [&] {
            if (m.progress() == 0.9) {
                atLargeDone = stateOf(m);
                largeAssignedFirst = !m.largeItems().empty();
            }
        });

        m.fullScan();
        compareState(stateOf(m), {true, 0.02, "phase.cache", "Scanning…", false, true, true},
                     "started");
        QVERIFY(m.selection().empty());
        QTRY_VERIFY_WITH_TIMEOUT(!m.scanning(), 30000);

        QCOMPARE(seen.size(), size_t(5));
        compareState(seen[1].second, {true, 0.35, "phase.orphan", "Scanning…", false, true, true},
                     "caches done");
        compareState(seen[2].second, {true, 0.6, "phase.large", "Searching…", false, true, true},
                     "leftovers done");
        compareState(atLargeDone, {true, 0.9, "phase.large", "Searching…", false, true, true},
                     "large files done");
        QVERIFY(largeAssignedFirst);
        compareState(stateOf(m), {false, 1.0, "phase.done", "", true, false, false}, "completed");

        QCOMPARE(namesOf(m.cacheItems()),
                 (std::set<std::string>{"FooCache", "pip cache", "Guarded", "npm cache"}));
        QVERIFY(namesOf(m.leftoverItems()).count("OldTool"));
        QCOMPARE(pathsOf(m.largeItems()), largeFixtureFiles());
        QCOMPARE(m.cleanItems().size(), m.cacheItems().size() + m.leftoverItems().size());
        QVERIFY(m.reclaimable() >= 15 * Fixture::kMiB);
        QCOMPARE(m.largeTotal(), 6 * Fixture::kMiB);
        QVERIFY(m.volume().total > 0);
        // The usage figures follow in the background.
        QTRY_VERIFY_WITH_TIMEOUT(!m.categories().empty(), 30000);
    }

    // Only safe caches that are not protected; never leftovers or large files.
    void selectsSafeUnprotectedCachesOnly()
    {
        AppModel& m = makeModel();
        completeScan(m);
        std::set<std::string> want{m_home->at("Library/Caches/FooCache"),
                                   m_home->at("Library/Caches/pip")};
        QCOMPARE(m.selection(), want);
        QVERIFY(!m.selection().count(m_home->at("Library/Application Support/OldTool")));
    }

    void cancelsInEachPhase_data()
    {
        QTest::addColumn<QString>("phase");
        QTest::addColumn<double>("progress");
        QTest::addColumn<bool>("newCaches");
        QTest::addColumn<bool>("newLeftovers");
        QTest::newRow("caches") << "phase.cache" << 0.02 << false << false;
        QTest::newRow("leftovers") << "phase.orphan" << 0.35 << true << false;
        QTest::newRow("large files") << "phase.large" << 0.6 << true << true;
    }

    // The running phase's result is dropped; completed phases keep theirs, the
    // others keep the previous scan's lists.
    void cancelsInEachPhase()
    {
        QFETCH(QString, phase);
        QFETCH(double, progress);
        QFETCH(bool, newCaches);
        QFETCH(bool, newLeftovers);
        AppModel& m = makeModel();
        completeScan(m);
        const auto oldCaches = namesOf(m.cacheItems());
        const auto oldLeftovers = namesOf(m.leftoverItems());
        const auto oldLarge = namesOf(m.largeItems());
        Fixture::grow(*m_home);

        // Cancel as the Cancel button would: in a later event, once the phase runs.
        auto conn = connect(&m, &AppModel::phaseKeyChanged, this, [&] {
            if (m.phaseKey() == phase)
                QMetaObject::invokeMethod(&m, &AppModel::cancelScan, Qt::QueuedConnection);
        });
        m.fullScan();
        QTRY_VERIFY_WITH_TIMEOUT(!m.scanning(), 30000);
        disconnect(conn);
        m.waitForWorkers(); // the cancelled phase has finished and been dropped

        compareState(stateOf(m), {false, progress, "phase.cancelled", "", true, false, false},
                     "cancelled");
        QVERIFY(m.selection().empty());
        QCOMPARE(namesOf(m.cacheItems()).count("NewCache") == 1, newCaches);
        QCOMPARE(namesOf(m.leftoverItems()).count("GoneApp") == 1, newLeftovers);
        if (!newCaches)
            QCOMPARE(namesOf(m.cacheItems()), oldCaches);
        if (!newLeftovers)
            QCOMPARE(namesOf(m.leftoverItems()), oldLeftovers);
        QCOMPARE(namesOf(m.largeItems()), oldLarge);
    }

    // A scan cancelled and restarted at once: the old scan, noticing its
    // cancelled token later, leaves the new one alone.
    void cancelThenRestartKeepsTheNewScan()
    {
        AppModel& m = makeModel();
        m.fullScan();
        m.cancelScan();
        QCOMPARE(m.phaseKey(), QString("phase.cancelled"));
        QVERIFY(!m.scanning() && !m.holdsActivity());
        m.fullScan();
        QVERIFY(m.scanning() && m.holdsActivity());
        QStringList phases;
        connect(&m, &AppModel::phaseKeyChanged, this, [&] { phases << m.phaseKey(); });
        QTRY_VERIFY_WITH_TIMEOUT(!m.scanning(), 30000);
        m.waitForWorkers();
        QCOMPARE(phases, (QStringList{"phase.orphan", "phase.large", "phase.done"}));
        QVERIFY(m.scannedOnce() && !m.holdsActivity());
    }

    // fullScan while scanning changes nothing; cancelScan while idle neither.
    void ignoresSecondScanAndIdleCancel()
    {
        AppModel& m = makeModel();
        QSignalSpy progress(&m, &AppModel::progressChanged);
        QSignalSpy task(&m, &AppModel::scanTaskChanged);
        m.fullScan();
        m.fullScan();
        QCOMPARE(task.count(), 1);
        QCOMPARE(progress.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!m.scanning(), 30000);
        m.waitForWorkers();
        QCOMPARE(progress.count(), 5); // 0.02, 0.35, 0.6, 0.9, 1.0: one scan
        QCOMPARE(task.count(), 2);
        m.cancelScan();
        QCOMPARE(m.phaseKey(), QString("phase.done"));
    }

    // The large-file phase uses the threshold read when it starts; a rescan
    // during a full scan ends with an empty status line.
    void largeFilesUseThresholdAtPhaseStart()
    {
        AppModel& m = makeModel();
        // Queued: the change lands while the phase runs.
        auto conn = connect(
            &m, &AppModel::phaseKeyChanged, this,
            [&] {
                if (m.phaseKey() == "phase.large")
                    m.setLargeMinMB(1000);
            },
            Qt::QueuedConnection);
        m.fullScan();
        QTRY_VERIFY_WITH_TIMEOUT(!m.scanning(), 30000);
        QCOMPARE(pathsOf(m.largeItems()), largeFixtureFiles());
        disconnect(conn);

        m.setLargeMinMB(2);
        m.fullScan();
        m.rescanLarge();
        m.waitForWorkers();
        QCOMPARE(m.statusText(), QString());
        QCOMPARE(pathsOf(m.largeItems()), largeFixtureFiles());
        QCOMPARE(m.phaseKey(), QString("phase.done"));
    }

    void refreshesProcessesAndVolume()
    {
        AppModel& m = makeModel();
        QSignalSpy procs(&m, &AppModel::procsRead);
        m.refreshProcesses();
        m.refreshProcesses();
        m.waitForWorkers();
        QCOMPARE(procs.count(), 2);
        QVERIFY(!m.procs().empty() && m.procs().size() <= 12);
        QVERIFY(m.ownMem() > 0);
        m.refreshVolume();
        QVERIFY(m.volume().total >= m.volume().free && m.volume().free > 0);
    }
};

QTEST_GUILESS_MAIN(AppModelTest)
#include "AppModelTest.moc"
