// SPDX-License-Identifier: GPL-3.0-or-later
// AppModel's selection, protection and clean-up on a real fixture home, and
// the seam the pages see: list models that change row by row. Engine calls
// are real; a gate holds one back where a test needs a call in flight.
#include "AppModel.h"
#include "Fixture.h"
#include "HeldCall.h"
#include "Platform.h"
#include "Preferences.h"
#include "Scanner.h"

#include <QAbstractItemModelTester>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <ctime>
#include <filesystem>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

ScanItem item(const std::string& path, int64_t size, ItemKind kind = ItemKind::Cache,
              Risk risk = Risk::Safe)
{
    ScanItem i;
    i.path = path;
    i.name = fs::path(path).filename().string();
    i.size = size;
    i.kind = kind;
    i.risk = risk;
    return i;
}

// Names of everything inside folder, at any depth.
std::multiset<std::string> namesUnder(const std::string& folder)
{
    std::multiset<std::string> out;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        out.insert(it->path().filename().string());
    return out;
}

struct Outcome
{
    int moved = -1;
    int failed = -1;
    qint64 size = -1;
    QStringList notes;
};

Outcome trashAndWait(AppModel& m, std::vector<ScanItem> items)
{
    QSignalSpy done(&m, &AppModel::trashed);
    m.trash(std::move(items));
    if (!done.wait(10000))
        return {};
    return {done[0][0].toInt(), done[0][1].toInt(), done[0][2].toLongLong(),
            done[0][3].toStringList()};
}

// Makes exactly these paths the selection.
void selectOnly(AppModel& m, const std::vector<std::string>& paths)
{
    m.clearSelection();
    for (const auto& p : paths)
        m.toggleSelected(QString::fromStdString(p));
}

} // namespace

class CleanModelTest : public QObject, Fixture::ModelHome
{
    Q_OBJECT

private:
    // A model whose scan phases answer with the given lists (real engine for
    // everything else).
    AppModel& modelWith(std::vector<ScanItem> caches, std::vector<ScanItem> leftovers = {},
                        std::vector<ScanItem> large = {})
    {
        m_model = std::make_unique<AppModel>();
        EngineCalls calls;
        calls.cacheItems = [caches](const CancelToken*) { return caches; };
        calls.leftoverItems = [leftovers](const CancelToken*) { return leftovers; };
        calls.largeFiles = [large](int64_t, const CancelToken*) { return large; };
        calls.topLevelUsage = [] { return std::vector<Category>{}; };
        calls.fileTypeUsage = [] { return std::vector<TypeBucket>{}; };
        m_model->setEngine(calls);
        m_model->fullScan();
        m_model->waitForWorkers();
        return *m_model;
    }

    std::string historyFile() const
    {
        const std::string file = Platform::supportFolder() + "/history.json";
        return fs::exists(file) ? file : std::string();
    }

private slots:
    void init() { makeHome(); }

    void cleanup() { dropHome(); }

    void protectingDropsFromSelectionAndPersists()
    {
        QVERIFY(!Preferences::stringArray("protectedPaths")); // absent key: empty set
        m_home->file("c/a/f", "x");
        m_home->file("c/b/f", "x");
        AppModel& m = modelWith({item(m_home->at("c/a"), 10), item(m_home->at("c/b"), 20)});
        QVERIFY(m.protectedPaths().empty());
        QCOMPARE(m.selectedCount(), 2);

        const QString a = QString::fromStdString(m_home->at("c/a"));
        m.toggleProtect(a);
        QVERIFY(m.isProtected(a) && !m.isSelected(a));
        QCOMPARE(m.selectedCount(), 1);
        QCOMPARE(m.selectedSize(), 20);
        QCOMPARE(*Preferences::stringArray("protectedPaths"),
                 std::vector<std::string>{m_home->at("c/a")});

        m.toggleProtect(a);
        QVERIFY(!m.isProtected(a) && !m.isSelected(a)); // unprotecting selects nothing
        QVERIFY(Preferences::stringArray("protectedPaths")->empty());

        // A protected path that no longer exists is harmless.
        m.toggleProtect(QString::fromStdString(m_home->at("gone")));
        QVERIFY(m.isProtected(QString::fromStdString(m_home->at("gone"))));
        QCOMPARE(m.selectedCount(), 1);
    }

    void largeFilesAreNeverSelected()
    {
        m_home->sizedFile("big.bin", 100);
        AppModel& m = modelWith({}, {}, {item(m_home->at("big.bin"), 100, ItemKind::Large)});
        m.toggleSelected(QString::fromStdString(m_home->at("big.bin")));
        QVERIFY(m.selection().count(m_home->at("big.bin")));
        QVERIFY(m.selectedItems().empty());
        QCOMPARE(m.selectedCount(), 0);
    }

    void emptyCleanUpMovesNothingAndWritesNoHistory()
    {
        m_home->file("c/a/f", "x");
        AppModel& m = modelWith({item(m_home->at("c/a"), 10)});
        const Outcome r = trashAndWait(m, {});
        QCOMPARE(r.moved, 0);
        QCOMPARE(r.failed, 0);
        QCOMPARE(r.size, 0);
        QCOMPARE(int(m.cacheItems().size()), 1);
        QVERIFY(historyFile().empty());
    }

    // Two folders both named Caches land side by side in the Trash, the second
    // under a suffixed name; a finding that vanished since the scan counts as
    // failed, is still taken off the list and the selection, and nothing else
    // is touched. One history entry records what moved.
    void cleanUpMovesCountsAndRecords()
    {
        m_home->sizedFile("one/Caches/f", 1000);
        m_home->sizedFile("two/Caches/f", 2000);
        m_home->file("keep/f", "x");
        AppModel& m =
            modelWith({item(m_home->at("one/Caches"), 1000), item(m_home->at("two/Caches"), 2000),
                       item(m_home->at("vanished"), 500), item(m_home->at("keep"), 1)},
                      {item(m_home->at("keep2"), 7, ItemKind::Leftover)});
        m.toggleSelected(QString::fromStdString(m_home->at("keep")));
        QCOMPARE(m.selectedCount(), 3);

        QAbstractItemModelTester tester(m.cleanList());
        QSignalSpy reset(m.cleanList(), &QAbstractItemModel::modelReset);
        QSignalSpy removed(m.cleanList(), &QAbstractItemModel::rowsRemoved);

        const Outcome r = trashAndWait(m, m.selectedItems());
        QCOMPARE(r.moved, 2);
        QCOMPARE(r.failed, 1);
        QCOMPARE(r.size, 3000);
        QCOMPARE(r.notes, QStringList{QStringLiteral("1 item was already gone.")});
        QVERIFY(!fs::exists(m_home->at("one/Caches")) && !fs::exists(m_home->at("two/Caches")));
        QVERIFY(fs::exists(m_home->at("keep/f")));
        const auto names = namesUnder(m_home->path());
        const bool plain = std::any_of(names.begin(), names.end(), [](const std::string& n) {
            return n.size() >= 6 && n.compare(n.size() - 6, 6, "Caches") == 0;
        });
        const bool suffixed = std::any_of(names.begin(), names.end(), [](const std::string& n) {
            return n.size() >= 8 && n.compare(n.size() - 8, 8, "Caches_2") == 0;
        });
        QVERIFY(plain && suffixed);

        // The lists lost exactly the three given rows, without a reset.
        QCOMPARE(reset.count(), 0);
        QVERIFY(removed.count() >= 1);
        QCOMPARE(int(m.cacheItems().size()), 1);
        QCOMPARE(m.cleanList()->rowCount(), 2);
        QVERIFY(m.selection().empty());
        QCOMPARE(m.selectedCount(), 0);

        const auto history = Scanner::loadHistory();
        QCOMPARE(int(history.size()), 1);
        QCOMPARE(history[0].items, 2);
        QCOMPARE(history[0].freed, 3000);
    }

    // A folder found both as a cache and as a leftover is one thing to move.
    void aPathListedTwiceIsSelectedAndMovedOnce()
    {
        m_home->sizedFile("Library/Caches/Twice/f", 4096);
        const std::string p = m_home->at("Library/Caches/Twice");
        AppModel& m = modelWith({item(p, 4096)}, {item(p, 4096, ItemKind::Leftover)});
        QCOMPARE(m.selectedCount(), 1);
        QCOMPARE(m.selectedSize(), 4096);
        QCOMPARE(m.reclaimable(), 4096);
        const Outcome r = trashAndWait(m, m.selectedItems());
        QCOMPARE(r.moved, 1);
        QCOMPARE(r.failed, 0);
        QCOMPARE(m.cleanList()->rowCount(), 0);
    }

    // A leftover folder and the cache inside it are one set of bytes: every
    // total counts the outer one, the clean-up moves it alone (the cache goes
    // with it), and the result and the history record what moved.
    void nestedItemsCountOnceEndToEnd()
    {
        m_home->sizedFile(".var/app/org.Gone/data/f", 1000);
        m_home->sizedFile(".var/app/org.Gone/cache/f", 2000);
        const std::string outer = m_home->at(".var/app/org.Gone");
        const std::string inner = m_home->at(".var/app/org.Gone/cache");
        AppModel& m = modelWith({item(inner, 2000)}, {item(outer, 3000, ItemKind::Leftover)});
        QCOMPARE(m.reclaimable(), 3000);
        selectOnly(m, {inner, outer});
        QCOMPARE(m.selectedCount(), 1);
        QCOMPARE(m.selectedSize(), 3000);
        selectOnly(m, {inner});
        QCOMPARE(m.selectedSize(), 2000); // alone, the inner one is outer
        selectOnly(m, {inner, outer});

        const Outcome r = trashAndWait(m, m.selectedItems());
        QCOMPARE(r.moved, 1);
        QCOMPARE(r.failed, 0);
        QCOMPARE(r.size, 3000);
        QVERIFY(r.notes.isEmpty());
        QVERIFY(!fs::exists(outer));
        QCOMPARE(m.cleanList()->rowCount(), 0);
        QVERIFY(m.selection().empty());
        QCOMPARE(m.reclaimable(), 0);
        const auto history = Scanner::loadHistory();
        QCOMPARE(int(history.size()), 1);
        QCOMPARE(history[0].items, 1);
        QCOMPARE(history[0].freed, 3000);
    }

    // A Trash the mover refuses (a regular file where its folder belongs, a
    // link to a folder elsewhere) moves nothing: every item stays listed and
    // selected, the result says why, and no history is written.
    void aRefusedTrashKeepsTheItemsListedAndSaysWhy_data()
    {
        QTest::addColumn<bool>("asLink");
        QTest::newRow("Trash is a file") << false;
        QTest::newRow("Trash is a link") << true;
    }

    void aRefusedTrashKeepsTheItemsListedAndSaysWhy()
    {
        QFETCH(bool, asLink);
        m_home->sizedFile("c/one/f", 100);
        m_home->sizedFile("c/two/f", 200);
        const std::string trash = fs::path(Platform::trashFilesFolder()).parent_path().string();
        fs::remove_all(trash);
        fs::create_directories(fs::path(trash).parent_path());
        if (asLink) {
            m_home->dir("elsewhere");
            fs::create_directory_symlink(m_home->at("elsewhere"), trash);
        } else {
            m_home->file(fs::relative(trash, m_home->path()).string(), "not a folder");
        }
        AppModel& m = modelWith({item(m_home->at("c/one"), 100), item(m_home->at("c/two"), 200)});
        selectOnly(m, {m_home->at("c/one"), m_home->at("c/two")});

        const Outcome r = trashAndWait(m, m.selectedItems());
        QCOMPARE(r.moved, 0);
        QCOMPARE(r.failed, 2);
        QCOMPARE(r.notes, QStringList{QStringLiteral(
                              "2 items stay where they are: the Trash cannot be written to.")});
        QVERIFY(fs::exists(m_home->at("c/one/f")) && fs::exists(m_home->at("c/two/f")));
        QCOMPARE(m.cleanList()->rowCount(), 2);
        QCOMPARE(m.selectedCount(), 2);
        QCOMPARE(m.selectedSize(), 300);
        QVERIFY(Scanner::loadHistory().empty());
        if (asLink)
            QVERIFY(fs::is_empty(m_home->at("elsewhere")));
    }

    void nothingMovedMeansNoHistory()
    {
        AppModel& m = modelWith({item(m_home->at("vanished"), 500)});
        const Outcome r = trashAndWait(m, m.selectedItems());
        QCOMPARE(r.moved, 0);
        QCOMPARE(r.failed, 1);
        QVERIFY(m.cacheItems().empty());
        QVERIFY(Scanner::loadHistory().empty());
    }

    // A toggle redraws one row of each list that shows it; Select All and
    // Deselect All touch the selection role only; nothing resets.
    void selectionChangesRowsNotLists()
    {
        std::vector<ScanItem> caches;
        for (int i = 0; i < 5; ++i)
            caches.push_back(item(m_home->at("c" + std::to_string(i)), 10 * (i + 1),
                                  ItemKind::Cache, Risk::Care));
        AppModel& m = modelWith(caches, {item(m_home->at("o"), 1, ItemKind::Leftover)});
        QAbstractItemModelTester tester(m.cleanList());
        QSignalSpy changed(m.cleanList(), &QAbstractItemModel::dataChanged);
        QSignalSpy reset(m.cleanList(), &QAbstractItemModel::modelReset);

        m.toggleSelected(QString::fromStdString(m_home->at("c3")));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 3);
        QCOMPARE(changed[0][1].toModelIndex().row(), 3);
        QVERIFY(m.cleanList()
                    ->data(m.cleanList()->index(3, 0), int(ScanItemModel::Role::Selected))
                    .toBool());
        QCOMPARE(m.selectedSize(), 40);

        ItemFilter filter;
        filter.setSourceModel(m.cleanList());
        filter.setQuery(QStringLiteral("  C1 ")); // blanks trimmed, case ignored
        QCOMPARE(filter.count(), 1);
        m.selectAllIn(&filter);
        QCOMPARE(m.selectedCount(), 2); // the earlier choice stays
        QCOMPARE(m.selectedSize(), 60);
        filter.setQuery(QStringLiteral("   "));
        QCOMPARE(filter.count(), 6);

        m.clearSelection();
        QCOMPARE(m.selectedCount(), 0);
        QCOMPARE(reset.count(), 0);
    }

    // A scan cancelled while its cache phase is still running, then started
    // again before the first call returns: the late answer of the cancelled
    // scan is dropped and the new scan completes with its own.
    void restartWhileCancelledScanStillRuns()
    {
        m_model = std::make_unique<AppModel>();
        AppModel& m = *m_model;
        Gate gate;
        EngineCalls engine;
        const std::string home = m_home->path();
        engine.cacheItems = gate.hold([home](const CancelToken* token) {
            const char* which = token->isCancelled() ? "/first" : "/second";
            return std::vector<ScanItem>{item(home + which, 1)};
        });
        engine.leftoverItems = [](const CancelToken*) { return std::vector<ScanItem>{}; };
        engine.largeFiles = [](int64_t, const CancelToken*) { return std::vector<ScanItem>{}; };
        engine.topLevelUsage = [] { return std::vector<Category>{}; };
        engine.fileTypeUsage = [] { return std::vector<TypeBucket>{}; };
        m.setEngine(engine);

        m.fullScan();
        QTRY_COMPARE(gate.arrived(), 1);
        m.cancelScan();
        QCOMPARE(m.phaseKey(), QStringLiteral("phase.cancelled"));
        m.fullScan();
        QVERIFY(m.scanning());
        QTRY_COMPARE(gate.arrived(), 2);
        gate.release(2);
        QTRY_VERIFY(!m.scanning());
        QCOMPARE(m.phaseKey(), QStringLiteral("phase.done"));
        QCOMPARE(int(m.cacheItems().size()), 1);
        QCOMPARE(m.cacheItems()[0].path, m_home->at("second"));
    }

    void historyLoadsIntoItsListModel()
    {
        HistoryEntry older;
        older.date = Clock::now() - std::chrono::hours(30);
        older.items = 3;
        older.freed = 1536LL * 1024 * 1024;
        HistoryEntry newer;
        newer.items = 1;
        newer.freed = 500LL * 1024 * 1024;
        Scanner::appendHistory(older);
        Scanner::appendHistory(newer);
        m_model = std::make_unique<AppModel>();
        QSignalSpy loaded(m_model->historyList(), &HistoryModel::entriesChanged);
        m_model->loadHistory();
        QVERIFY(loaded.wait(5000));
        HistoryModel* h = m_model->historyList();
        QCOMPARE(h->count(), 2);
        QCOMPARE(h->totalFreedText(), QString::fromStdString(humanSize(older.freed + newer.freed)));
        QCOMPARE(h->data(h->index(0), int(HistoryModel::Role::Items)).toInt(), 1); // newest first
    }

    // The report goes to the desktop folder, or to the home folder when there
    // is none; the signal says which, so the page's words are true.
    void reportSaysWhichFolderItIsIn_data()
    {
        QTest::addColumn<QString>("desktop"); // "" for none
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("onDesktop");
        QTest::newRow("Desktop") << "Desktop"
                                 << "Desktop" << true;
        QTest::newRow("named in user-dirs.dirs") << "Schreibtisch"
                                                 << "Schreibtisch" << true;
        QTest::newRow("no desktop folder") << ""
                                           << "" << false;
    }
    void reportSaysWhichFolderItIsIn()
    {
        QFETCH(QString, desktop);
        QFETCH(QString, folder);
        QFETCH(bool, onDesktop);
        if (desktop == "Schreibtisch")
            m_home->file(".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
        if (!desktop.isEmpty())
            m_home->dir(desktop.toStdString());
        m_model = std::make_unique<AppModel>();
        QSignalSpy exported(m_model.get(), &AppModel::reportExported);
        m_model->exportReport();
        QVERIFY(exported.wait(5000));
        const QString path = exported[0][0].toString();
        const QString home = QString::fromStdString(m_home->path());
        QCOMPARE(QFileInfo(path).absolutePath(), folder.isEmpty() ? home : home + "/" + folder);
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(exported[0][1].toBool(), onDesktop);
    }

    void historyDateShowsMonthDayAndTime()
    {
        std::tm local = {};
        local.tm_year = 2031 - 1900;
        local.tm_mon = 0;
        local.tm_mday = 3;
        local.tm_hour = 9;
        local.tm_min = 5;
        local.tm_isdst = -1;
        const auto when = Clock::from_time_t(std::mktime(&local));
        QCOMPARE(HistoryModel::dateText(when), QStringLiteral("01-03 09:05"));
    }
};

QTEST_GUILESS_MAIN(CleanModelTest)
#include "CleanModelTest.moc"
