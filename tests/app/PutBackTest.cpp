// SPDX-License-Identifier: GPL-3.0-or-later
// Putting clean-ups back from the History page's model, over a real temporary
// home and the real engine: a clean-up made through the model comes back in
// place, a taken place keeps its item in the Trash unless beside is asked, a
// clean-up without a readable record shows without items, and a clean-up
// made outside the app shows while the page watches.
#include "AppModel.h"
#include "Cleanups.h"
#include "Fixture.h"
#include "Platform.h"
#include "Scanner.h"

#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

ScanItem cacheItem(const std::string& path, int64_t size)
{
    ScanItem i;
    i.path = path;
    i.name = fs::path(path).filename().string();
    i.size = size;
    return i;
}

std::string contentOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The text of the open line's item at row, for a role.
QString itemText(HistoryModel& h, int row, CleanupItemModel::Role role)
{
    return h.openItems()->data(h.openItems()->index(row), int(role)).toString();
}

} // namespace

class PutBackTest : public QObject, Fixture::ModelHome
{
    Q_OBJECT

private:
    // A model whose cache scan lists items (the real engine otherwise), with
    // those items cleaned through it and the history read.
    AppModel& cleanedModel(const std::vector<ScanItem>& items)
    {
        m_model = std::make_unique<AppModel>();
        EngineCalls calls;
        calls.cacheItems = [items](const CancelToken*) { return items; };
        calls.leftoverItems = [](const CancelToken*) { return std::vector<ScanItem>{}; };
        calls.largeFiles = [](int64_t, const CancelToken*) { return std::vector<ScanItem>{}; };
        calls.topLevelUsage = [] { return std::vector<Category>{}; };
        calls.fileTypeUsage = [] { return std::vector<TypeBucket>{}; };
        m_model->setEngine(calls);
        m_model->fullScan();
        m_model->waitForWorkers();
        QSignalSpy trashed(m_model.get(), &AppModel::trashed);
        m_model->trash(items);
        trashed.wait(10000);
        reload();
        return *m_model;
    }

    void reload()
    {
        QSignalSpy loaded(m_model->historyList(), &HistoryModel::entriesChanged);
        m_model->loadHistory();
        loaded.wait(10000);
    }

    // Puts back item (-1: all) of the open line; the lines of the toast.
    QStringList putBack(int item, bool beside)
    {
        HistoryModel& h = *m_model->historyList();
        QSignalSpy done(&h, &HistoryModel::putBackFinished);
        QSignalSpy loaded(&h, &HistoryModel::entriesChanged);
        h.putBack(item, beside);
        if (!done.wait(10000))
            return {};
        loaded.wait(10000); // the records are read again
        return done[0][0].toStringList();
    }

private slots:
    void init() { makeHome(); }

    void cleanup() { dropHome(); }

    // Two caches cleaned through the Clean page's path come back through the
    // History page's, with their contents; the line then lists them as put
    // back and offers nothing more, the Clean page lists them again and the
    // disk is reported changed (the volume is read again).
    void cleanedItemsComeBackInPlace()
    {
        m_home->file("Library/Caches/One/data", "first");
        m_home->file("Library/Caches/Two/data", "second");
        const std::string one = m_home->at("Library/Caches/One");
        const std::string two = m_home->at("Library/Caches/Two");
        AppModel& m = cleanedModel({cacheItem(one, 5), cacheItem(two, 6)});
        QVERIFY(!fs::exists(one) && !fs::exists(two));

        HistoryModel& h = *m.historyList();
        QCOMPARE(h.count(), 1);
        const QModelIndex line = h.index(0);
        QVERIFY(h.data(line, int(HistoryModel::Role::Complete)).toBool());
        QCOMPARE(h.data(line, int(HistoryModel::Role::SourceKey)).toString(), "nav.clean");
        QCOMPARE(h.data(line, int(HistoryModel::Role::Listed)).toInt(), 2);
        QCOMPARE(h.data(line, int(HistoryModel::Role::InTrash)).toInt(), 2);
        QCOMPARE(h.putBackCount(-1), 0); // nothing is open yet
        h.toggleOpen(0);
        QCOMPARE(h.openRow(), 0);
        QCOMPARE(h.openItems()->count(), 2);
        QCOMPARE(itemText(h, 0, CleanupItemModel::Role::Name), "One");
        QCOMPARE(itemText(h, 0, CleanupItemModel::Role::Folder), "~/Library/Caches");
        QCOMPARE(itemText(h, 0, CleanupItemModel::Role::StateKey), "hist.inTrash");
        QCOMPARE(h.putBackCount(-1), 2);

        QSignalSpy disk(m.services(), &Services::diskChanged);
        QSignalSpy done(&h, &HistoryModel::putBackFinished);
        QSignalSpy loaded(&h, &HistoryModel::entriesChanged);
        h.putBack(-1, false);
        QVERIFY(h.puttingBack());
        h.putBack(-1, false); // a second press meanwhile is ignored
        QVERIFY(done.wait(10000));
        QVERIFY(h.puttingBack()); // until the records are read again
        QVERIFY(loaded.wait(10000));
        QVERIFY(!h.puttingBack());
        QCOMPARE(done.count(), 1);
        QCOMPARE(done[0][0].toStringList(), QStringList{"Put back 2 items."});
        QCOMPARE(contentOf(one + "/data"), "first");
        QCOMPARE(contentOf(two + "/data"), "second");
        QCOMPARE(disk.count(), 1);
        // The Clean page lists them again, unselected.
        QCOMPARE(int(m.cacheItems().size()), 2);
        QCOMPARE(m.cacheItems()[1].name, std::string("Two"));
        QCOMPARE(m.selectedCount(), 0);

        QCOMPARE(h.openRow(), 0); // the line stays open over the new reading
        QCOMPARE(h.data(h.index(0), int(HistoryModel::Role::InTrash)).toInt(), 0);
        for (int row : {0, 1}) {
            QCOMPARE(itemText(h, row, CleanupItemModel::Role::StateKey), "hist.wasPutBack");
            QVERIFY(!h.openItems()
                         ->data(h.openItems()->index(row), int(CleanupItemModel::Role::InTrash))
                         .toBool());
        }
        QCOMPARE(h.putBackCount(-1), 0);
    }

    // Something new at an item's place: a plain put-back leaves the item in
    // the Trash and says why; beside puts it next to the newcomer, which is
    // never touched.
    void aTakenPlaceKeepsTheItemUnlessBeside()
    {
        m_home->file("Library/Caches/Taken/data", "old");
        const std::string taken = m_home->at("Library/Caches/Taken");
        AppModel& m = cleanedModel({cacheItem(taken, 3)});
        m_home->file("Library/Caches/Taken/data", "new");
        HistoryModel& h = *m.historyList();
        h.toggleOpen(0);
        QCOMPARE(h.putBackCount(0), 1);

        QCOMPARE(putBack(0, false), QStringList{"1 item stayed in the Trash: its place is taken."});
        QCOMPARE(itemText(h, 0, CleanupItemModel::Role::StateKey), "hist.inTrash");
        QCOMPARE(contentOf(taken + "/data"), "new");

        QCOMPARE(
            putBack(0, true),
            (QStringList{"Put back 1 item.", "1 went beside its taken place, under a new name."}));
        QCOMPARE(contentOf(taken + "/data"), "new");
        int beside = 0;
        for (const auto& e : fs::directory_iterator(m_home->at("Library/Caches"))) {
            const std::string name = e.path().filename().string();
            if (name.rfind("Taken (restored ", 0) == 0 && contentOf(e.path() / "data") == "old")
                ++beside;
        }
        QCOMPARE(beside, 1);
        QVERIFY(itemText(h, 0, CleanupItemModel::Role::StateKey) != "hist.inTrash");
        QCOMPARE(h.putBackCount(0), 0);
    }

    // A history entry whose record of items is missing or damaged still shows
    // its line, marked as not read whole, and cannot be opened or put back.
    void anUnreadableRecordShowsWithoutItems_data()
    {
        QTest::addColumn<QByteArray>("manifest"); // "-" for none
        QTest::newRow("missing") << QByteArray("-");
        QTest::newRow("damaged") << QByteArray("{\"source\": \"clean\", \"items\": [");
        QTest::newRow("not an object") << QByteArray("[1, 2, 3]");
    }
    void anUnreadableRecordShowsWithoutItems()
    {
        QFETCH(QByteArray, manifest);
        HistoryEntry entry;
        entry.items = 4;
        entry.freed = 4096;
        Scanner::appendHistory(entry);
        const std::string id = Scanner::loadHistory().at(0).id;
        if (manifest != "-") {
            const std::string folder = Platform::supportFolder() + "/cleanups";
            fs::create_directories(folder);
            std::ofstream(folder + "/" + id + ".json") << manifest.toStdString();
        }
        m_model = std::make_unique<AppModel>();
        reload();
        HistoryModel& h = *m_model->historyList();
        QCOMPARE(h.count(), 1);
        QVERIFY(!h.data(h.index(0), int(HistoryModel::Role::Complete)).toBool());
        QCOMPARE(h.data(h.index(0), int(HistoryModel::Role::SourceKey)).toString(), QString());
        QCOMPARE(h.data(h.index(0), int(HistoryModel::Role::Items)).toInt(), 4);
        QCOMPARE(h.data(h.index(0), int(HistoryModel::Role::Listed)).toInt(), 0);
        QCOMPARE(h.totalFreed(), 4096);
        h.toggleOpen(0);
        QCOMPARE(h.openItems()->count(), 0);
        QCOMPARE(h.putBackCount(-1), 0);
    }

    // The toast's lines: the count put back, then each reason, in order, with
    // English singulars.
    void putBackNotesCountEachReason()
    {
        using O = Cleanups::PutBackOutcome;
        QCOMPARE(HistoryModel::putBackNotes({O::PutBack, O::PutBackBeside, O::PutBackBeside}),
                 (QStringList{"Put back 3 items.",
                              "2 of them went beside their taken place, under a new name."}));
        QCOMPARE(HistoryModel::putBackNotes({O::Failed, O::Gone, O::NoPermission, O::Gone}),
                 (QStringList{"2 items are gone from the Trash.",
                              "1 item could not be put back: no permission.",
                              "1 item could not be put back."}));
        QCOMPARE(HistoryModel::putBackNotes({O::PutBack, O::Taken, O::Taken}),
                 (QStringList{"Put back 1 item.",
                              "2 items stayed in the Trash: their place is taken."}));
    }

    // While the page watches, a clean-up made outside the app (tclean, another
    // window) shows without the page asking; once it stops watching, nothing
    // is read behind its back.
    void aCleanUpFromOutsideShowsWhileWatching()
    {
        m_model = std::make_unique<AppModel>();
        reload();
        HistoryModel& h = *m_model->historyList();
        QCOMPARE(h.count(), 0);
        h.setWatching(true);
        m_home->file("Documents/old.log", "x");
        Cleanups::Target target;
        target.path = m_home->at("Documents/old.log");
        target.size = 1;
        target.label = "old.log";
        QVERIFY(!Scanner::cleanUp({target}, Cleanups::Source::Terminal).id.empty());
        QTRY_COMPARE_WITH_TIMEOUT(h.count(), 1, 10000);
        QCOMPARE(h.data(h.index(0), int(HistoryModel::Role::SourceKey)).toString(),
                 "trash.terminal");

        h.setWatching(false);
        QSignalSpy loaded(&h, &HistoryModel::entriesChanged);
        m_home->file("Documents/other.log", "x");
        target.path = m_home->at("Documents/other.log");
        Scanner::cleanUp({target}, Cleanups::Source::Terminal);
        QVERIFY(!loaded.wait(1000));
        QCOMPARE(h.count(), 1);
    }
};

QTEST_GUILESS_MAIN(PutBackTest)
#include "PutBackTest.moc"
