// SPDX-License-Identifier: GPL-3.0-or-later
// The Toolbox's side of AppModel: the duplicate search and its states,
// keep-the-first, the Apps pane's list, and the System pane's readings. Engine
// calls come from the engine-call table: canned where a test needs exact
// groups, held at a gate where it needs a search in flight, real otherwise.
#include "AppLeftoverModel.h"
#include "AppModel.h"
#include "Fixture.h"
#include "HeldCall.h"
#include "InstalledAppModel.h"
#include "Platform.h"
#include "ProcessModel.h"
#include "RecordVariants.h"
#include "TestHome.h"
#include "Text.h"
#include "Toolbox.h"

#include <QAbstractItemModelTester>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>

namespace fs = std::filesystem;

namespace {

DuplicateGroup contentGroup(std::vector<std::string> files, int64_t size)
{
    DuplicateGroup g;
    g.kind = DuplicateKind::Content;
    g.size = size;
    g.files = std::move(files);
    return g;
}

DuplicateGroup nameGroup(std::vector<std::string> files, const std::string& name)
{
    DuplicateGroup g;
    g.kind = DuplicateKind::Name;
    g.files = std::move(files);
    g.name = name;
    return g;
}

AppInfo app(const std::string& path, const std::string& name, int64_t size,
            const std::string& id = {})
{
    AppInfo a;
    a.path = path;
    a.name = name;
    a.size = size;
    a.bundleID = id;
    return a;
}

ScanItem leftover(const std::string& path, int64_t size)
{
    ScanItem item;
    item.path = path;
    item.size = size;
    item.kind = ItemKind::Leftover;
    item.risk = Risk::Care;
    return item;
}

} // namespace

class ToolboxModelTest : public QObject, Fixture::ModelHome
{
    Q_OBJECT

private:
    // A model whose finders answer from the given lists (held at gate when
    // one is given); the first content group answers for a cancelled token
    // with the word "partial" in its one path.
    AppModel& modelWith(std::vector<DuplicateGroup> content, std::vector<DuplicateGroup> names,
                        const Gate* gate = nullptr)
    {
        m_model = std::make_unique<AppModel>();
        EngineCalls calls;
        auto find = [content](int64_t minKB, int64_t limit, const CancelToken* token) {
            if (minKB != 64 || limit != 1500)
                return std::vector<DuplicateGroup>{};
            if (token && token->isCancelled())
                return std::vector<DuplicateGroup>{contentGroup({"/partial/a", "/partial/b"}, 1)};
            return content;
        };
        if (gate)
            calls.duplicates = gate->hold(find);
        else
            calls.duplicates = find;
        calls.sameNameGroups = [names](int64_t limit, const CancelToken*) {
            return limit == 80 ? names : std::vector<DuplicateGroup>{};
        };
        m_model->setEngine(calls);
        return *m_model;
    }

private slots:
    void init() { makeHome(); }

    void cleanup() { dropHome(); }

    void searchRunsBothFindersAndDelivers()
    {
        Gate gate;
        AppModel& m = modelWith({contentGroup({"/d/a", "/d/b", "/d/c"}, 1000)},
                                {nameGroup({"/d/x", "/e/x"}, "x")}, &gate);
        QAbstractItemModelTester tester(m.duplicates()->content());
        QSignalSpy scanned(m.duplicates(), &DuplicateSearch::scannedChanged);

        m.duplicates()->load();
        QVERIFY(m.duplicates()->loading() && !m.duplicates()->scanned() && m.holdsActivity());
        m.duplicates()->load(); // while loading: nothing
        QTRY_COMPARE(gate.arrived(), 1);
        gate.release(2);
        QTRY_VERIFY(m.duplicates()->scanned());
        QVERIFY(!m.duplicates()->loading() && !m.holdsActivity());
        QCOMPARE(gate.arrived(), 1);
        QCOMPARE(m.duplicates()->content()->count(), 1);
        QCOMPARE(m.duplicates()->names()->count(), 1);
        QCOMPARE(m.duplicates()->content()->totalWasted(), 2000);
        QCOMPARE(m.duplicates()->names()->totalWasted(), 0);
    }

    // A cancelled search says so and changes nothing else: the interrupted
    // finder's partial answer never replaces what the lists showed, whether
    // an earlier search had delivered or none had.
    void cancelKeepsWhatWasShownBefore()
    {
        Gate gate;
        AppModel& m = modelWith({contentGroup({"/d/a", "/d/b"}, 1000)},
                                {nameGroup({"/d/x", "/e/x"}, "x")}, &gate);
        QSignalSpy reset(m.duplicates()->content(), &QAbstractItemModel::modelReset);
        m.duplicates()->load();
        QTRY_COMPARE(gate.arrived(), 1);
        m.duplicates()->cancel();
        QVERIFY(!m.duplicates()->loading() && !m.duplicates()->scanned() &&
                m.duplicates()->cancelled() && !m.holdsActivity());
        gate.release();
        // A fixed wait on purpose: the dropped answer sends no signal, so only
        // time shows that it changed nothing once it reached the main thread.
        QTest::qWait(300);
        QVERIFY(!m.duplicates()->scanned() && m.duplicates()->cancelled());
        QCOMPARE(m.duplicates()->content()->count(), 0);
        QCOMPARE(reset.count(), 0);

        m.duplicates()->load();
        QVERIFY(!m.duplicates()->cancelled());
        QTRY_COMPARE(gate.arrived(), 2);
        gate.release();
        QTRY_VERIFY(m.duplicates()->scanned());
        QCOMPARE(m.duplicates()->content()->groups().at(0).files.front(), std::string("/d/a"));

        m.duplicates()->load();
        QTRY_COMPARE(gate.arrived(), 3);
        m.duplicates()->cancel();
        QVERIFY(m.duplicates()->scanned() && m.duplicates()->cancelled() &&
                !m.duplicates()->loading());
        gate.release();
        QTest::qWait(300); // as above: nothing to wait for but the dropped answer
        QCOMPARE(m.duplicates()->content()->count(), 1);
        QCOMPARE(m.duplicates()->content()->groups().at(0).files.front(), std::string("/d/a"));
        QCOMPARE(m.duplicates()->names()->count(), 1);
        QVERIFY(m.duplicates()->scanned() && m.duplicates()->cancelled());
    }

    // A search started while a cancelled one still finishes supersedes it:
    // the old search's late answer neither replaces the lists nor ends the
    // new search's loading state.
    void restartWhileTheCancelledSearchStillFinishes()
    {
        Gate first, second;
        AppModel& m = modelWith({}, {});
        auto calls = std::make_shared<std::atomic<int>>(0);
        auto firstDone = std::make_shared<std::atomic<bool>>(false);
        auto answer = [](const CancelToken* token) {
            return std::vector<DuplicateGroup>{
                contentGroup({token->isCancelled() ? "/old/a" : "/new/a", "/b"}, 1)};
        };
        auto heldFirst = first.hold(answer);
        auto heldSecond = second.hold(answer);
        EngineCalls engine = m.engine();
        engine.duplicates = [=](int64_t, int64_t, const CancelToken* token) {
            if ((*calls)++ == 0) {
                auto out = heldFirst(token);
                *firstDone = true;
                return out;
            }
            return heldSecond(token);
        };
        m.setEngine(engine);

        m.duplicates()->load();
        QTRY_COMPARE(first.arrived(), 1);
        m.duplicates()->cancel();
        m.duplicates()->load(); // accepted: the cancelled search no longer counts
        QVERIFY(m.duplicates()->loading());
        QTRY_COMPARE(second.arrived(), 1);

        first.release();
        QTRY_VERIFY(firstDone->load());
        // A fixed wait on purpose: its name search and its dropped answer on
        // the main thread send no signal; the checks below prove they changed nothing.
        QTest::qWait(300);
        QVERIFY(m.duplicates()->loading());
        QVERIFY(!m.duplicates()->scanned());
        QCOMPARE(m.duplicates()->content()->count(), 0);

        second.release();
        QTRY_VERIFY(m.duplicates()->scanned());
        QVERIFY(!m.duplicates()->loading());
        QCOMPARE(m.duplicates()->content()->groups().at(0).files.front(), std::string("/new/a"));
    }

    // Keep-the-first over real files and the real Trash mover: the copies go,
    // the first stays, and the group leaves both lists at once (the name list
    // held the same three files).
    void keepFirstMovesTheRestAndDropsTheGroupEverywhere()
    {
        for (const char* rel : {"Desktop/same.bin", "Documents/same.bin", "Downloads/same.bin"})
            m_home->file(rel, std::string(70000, 'x'));
        std::vector<std::string> files{m_home->at("Desktop/same.bin"),
                                       m_home->at("Documents/same.bin"),
                                       m_home->at("Downloads/same.bin")};
        AppModel& m = modelWith({contentGroup(files, 70000), contentGroup({"/o/1", "/o/2"}, 5)},
                                {nameGroup(files, "same.bin"), nameGroup({"/p/x", "/q/x"}, "x")});
        m.setEngine([&] {
            EngineCalls e = m.engine();
            e.moveToTrash = Scanner::moveToTrash;
            return e;
        }());
        m.duplicates()->load();
        QTRY_VERIFY(m.duplicates()->scanned());
        QAbstractItemModelTester contentTester(m.duplicates()->content());
        QAbstractItemModelTester namesTester(m.duplicates()->names());

        const QString id =
            m.duplicates()
                ->content()
                ->data(m.duplicates()->content()->index(0), int(DuplicateGroupModel::Role::GroupId))
                .toString();
        m.duplicates()->keepFirst(id);
        QCOMPARE(m.duplicates()->content()->count(), 1);
        QCOMPARE(m.duplicates()->names()->count(), 1);
        QCOMPARE(m.duplicates()->names()->groups()[0].name, std::string("x"));
        m.waitForWorkers();
        QVERIFY(fs::exists(files[0]));
        QVERIFY(!fs::exists(files[1]));
        QVERIFY(!fs::exists(files[2]));
        // Wherever the Trash lies, the two copies are in it under the
        // Toolbox's word (beside their records, where the Trash keeps them).
        int inTrash = 0;
        for (const auto& e : fs::recursive_directory_iterator(m_home->path())) {
            const std::string p = e.path().string();
            if (e.is_regular_file() && p.find("same.bin") != std::string::npos &&
                p.find(t("trash.toolbox")) != std::string::npos &&
                e.path().extension() != ".trashinfo")
                ++inTrash;
        }
        QCOMPARE(inTrash, 2);
        // They are one clean-up of the Toolbox's, kept with their names and
        // sizes, so the History page can put them back.
        const auto records = Scanner::loadCleanups();
        QCOMPARE(int(records.size()), 1);
        QVERIFY(records[0].source == Cleanups::Source::Toolbox);
        QCOMPARE(records[0].entry.freed, 140000);
        QCOMPARE(int(records[0].items.size()), 2);
        for (const auto& item : records[0].items) {
            QCOMPARE(item.label, std::string("same.bin"));
            QCOMPARE(item.size, 70000);
        }
    }

    void groupRowsListEightPathsAndCountTheRest()
    {
        std::vector<std::string> files;
        for (int i = 0; i < 12; ++i)
            files.push_back(m_home->at("Documents/f" + std::to_string(i)));
        std::sort(files.begin(), files.end());
        DuplicateGroupModel list;
        list.setGroups(
            {contentGroup(files, 2048), nameGroup({"/a/n", "/b/n", "/c/n", "/d/n"}, "")});
        auto at = [&](int row, DuplicateGroupModel::Role role) {
            return list.data(list.index(row), int(role));
        };
        const QStringList shown = at(0, DuplicateGroupModel::Role::ShownFiles).toStringList();
        QCOMPARE(shown.size(), 8);
        QVERIFY(shown[0].contains(QStringLiteral("~/Documents/f0")));
        QCOMPARE(at(0, DuplicateGroupModel::Role::ShownPaths).toStringList()[0], qs(files[0]));
        QCOMPARE(at(0, DuplicateGroupModel::Role::MoreFiles).toInt(), 4);
        QCOMPARE(at(0, DuplicateGroupModel::Role::Wasted).toLongLong(), 11 * 2048);
        QCOMPARE(at(1, DuplicateGroupModel::Role::MoreFiles).toInt(), 0);
        QCOMPARE(at(1, DuplicateGroupModel::Role::FileCount).toInt(), 4);
        QCOMPARE(at(1, DuplicateGroupModel::Role::Name).toString(), QString());
        QCOMPARE(list.totalWasted(), 11 * 2048);
    }

    // The list filters by name or id; expanding a row shows its leftovers
    // with their sizes (a second row collapses the first); uninstall moves the
    // application's own files and the leftovers of that moment, all but
    // those the user unticked; one leftover can also go on its own.
    void appsFilterExpandAndUninstallTheCurrentLeftovers()
    {
        auto leftovers = std::make_shared<std::vector<ScanItem>>();
        auto mutex = std::make_shared<std::mutex>();
        auto moved =
            std::make_shared<std::vector<std::pair<std::vector<std::string>, Cleanups::Source>>>();
        m_model = std::make_unique<AppModel>();
        EngineCalls e;
        const std::string apps = m_home->at("Applications/");
        e.appsList = [apps] {
            return std::vector<AppInfo>{app(apps + "Safari.app", "Safari", 300, "com.apple.Safari"),
                                        app(apps + "Mail.app", "Mail", 200, "com.apple.mail"),
                                        app(apps + "Notes.app", "Notes", 100, "com.apple.Notes")};
        };
        e.appLeftovers = [=](const AppInfo& a) {
            std::lock_guard lock(*mutex);
            return a.name == "Safari" ? *leftovers : std::vector<ScanItem>{};
        };
        e.uninstallPaths = [](const AppInfo& a) { return std::vector<std::string>{a.path}; };
        e.cleanUp = [=](const std::vector<Cleanups::Target>& targets, Cleanups::Source source) {
            std::lock_guard lock(*mutex);
            std::vector<std::string> paths;
            for (const auto& target : targets)
                paths.push_back(target.path);
            moved->emplace_back(paths, source);
            return Cleanups::CleanUp{"id",
                                     std::vector<MoveOutcome>(paths.size(), MoveOutcome::Moved)};
        };
        e.volume = [] { return VolumeInfo{1000, 400}; };
        m_model->setEngine(e);

        InstalledAppModel list;
        QAbstractItemModelTester tester(&list);
        QAbstractItemModelTester leftoverTester(list.leftovers());
        list.setServices(m_model->services());
        list.refresh();
        QTRY_VERIFY(!list.loading());
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.emptyReason(), QString());

        list.setQuery(QStringLiteral("  SAF\t"));
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.data(list.index(0), int(InstalledAppModel::Role::Name)).toString(),
                 displayLine("Safari"));
        list.setQuery(QStringLiteral("APPLE.MAIL")); // by id
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.data(list.index(0), int(InstalledAppModel::Role::Name)).toString(),
                 displayLine("Mail"));
        list.setQuery(QStringLiteral("   "));
        QCOMPARE(list.count(), 3);

        const std::string cache = m_home->at("Library/Caches/com.apple.Safari");
        const std::string state = m_home->at("Library/Saved State/com.apple.Safari");
        const std::string prefs = m_home->at("Library/Preferences/com.apple.Safari.plist");
        *leftovers = {leftover(cache, 40960), leftover(state, 4096)};
        const QString safari = qs(apps + "Safari.app"), mail = qs(apps + "Mail.app");
        list.toggleLeftovers(safari);
        QTRY_VERIFY(list.leftoversLoaded());
        AppLeftoverModel* shown = list.leftovers();
        QCOMPARE(shown->count(), 2);
        auto at = [shown](int row, AppLeftoverModel::Role role) {
            return shown->data(shown->index(row), int(role));
        };
        QCOMPARE(at(0, AppLeftoverModel::Role::ShownPath).toString(),
                 displayLine("~/Library/Caches/com.apple.Safari"));
        QCOMPARE(at(0, AppLeftoverModel::Role::SizeText).toString(), qs(humanSize(40960)));
        QVERIFY(at(0, AppLeftoverModel::Role::Chosen).toBool());
        list.toggleLeftovers(mail); // a second row collapses the first
        QCOMPARE(list.expanded(), mail);
        QTRY_VERIFY(list.leftoversLoaded());
        QCOMPARE(shown->count(), 0); // the pane shows "None"
        list.toggleLeftovers(mail);
        QCOMPARE(list.expanded(), QString());
        QVERIFY(shown->count() == 0 && !list.leftoversLoaded());

        list.toggleLeftovers(safari);
        QTRY_VERIFY(list.leftoversLoaded());
        list.chooseLeftover(qPath(state), false);
        QVERIFY(!at(1, AppLeftoverModel::Role::Chosen).toBool());
        {
            std::lock_guard lock(*mutex);
            *leftovers = {leftover(cache, 40960), leftover(state, 4096), leftover(prefs, 10)};
        }
        QSignalSpy done(&list, &InstalledAppModel::uninstalled);
        list.uninstall(safari);
        QVERIFY(list.busy());
        QTRY_COMPARE(done.count(), 1); // the answer may come before uninstall() returns
        QCOMPARE(done.at(0).at(1).toInt(), 3);
        QCOMPARE(moved->size(), size_t(1));
        QVERIFY(moved->back().second == Cleanups::Source::Uninstall);
        QCOMPARE(moved->back().first,
                 (std::vector<std::string>{apps + "Safari.app", cache, prefs}));
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.expanded(), QString());
        QVERIFY(!list.busy());
        QCOMPARE(m_model->volume().total, 1000); // the volume was read again

        // One leftover on its own: only it goes, and only its line.
        {
            std::lock_guard lock(*mutex);
            *leftovers = {leftover(cache, 40960), leftover(prefs, 10)};
        }
        e.appsList = [apps] {
            return std::vector<AppInfo>{
                app(apps + "Safari.app", "Safari", 300, "com.apple.Safari")};
        };
        m_model->setEngine(e);
        list.refresh();
        QTRY_VERIFY(!list.loading() && list.count() == 1);
        list.toggleLeftovers(safari);
        QTRY_VERIFY(list.leftoversLoaded());
        QSignalSpy one(&list, &InstalledAppModel::leftoverMoved);
        list.trashLeftover(qPath(prefs));
        QTRY_COMPARE(one.count(), 1);
        QVERIFY(one.at(0).at(0).toBool());
        QCOMPARE(moved->back().first, std::vector<std::string>{prefs});
        QCOMPARE(shown->count(), 1);
        QCOMPARE(list.count(), 1);
    }

    // A user Flatpak that flatpak fails to remove loses nothing: no leftover
    // moves, the row stays and the pane hears of the failure.
    void appsFlatpakThatFailsMovesNothing()
    {
        auto moves = std::make_shared<std::atomic<int>>(0);
        m_model = std::make_unique<AppModel>();
        EngineCalls e;
        AppInfo notes = app(m_home->at(".local/share/flatpak/app/org.example.Notes"), "Notes", 100,
                            "org.example.Notes");
        notes.source = AppSource::Flatpak;
        notes.package = "org.example.Notes";
        e.appsList = [notes] { return std::vector<AppInfo>{notes}; };
        const std::string data = m_home->at(".var/app/org.example.Notes");
        e.appLeftovers = [data](const AppInfo&) {
            return std::vector<ScanItem>{leftover(data, 10)};
        };
        e.uninstallFlatpak = [](const AppInfo&) { return false; };
        e.cleanUp = [moves](const std::vector<Cleanups::Target>& targets, Cleanups::Source) {
            ++*moves;
            return Cleanups::CleanUp{"id",
                                     std::vector<MoveOutcome>(targets.size(), MoveOutcome::Moved)};
        };
        m_model->setEngine(e);

        InstalledAppModel list;
        list.setServices(m_model->services());
        list.refresh();
        QTRY_VERIFY(!list.loading());
        QCOMPARE(list.data(list.index(0), int(InstalledAppModel::Role::Removal)).toInt(),
                 int(InstalledAppModel::RemovalKind::FlatpakUser));
        QSignalSpy failed(&list, &InstalledAppModel::uninstallFailed);
        list.uninstall(qs(notes.path));
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("Notes"));
        QCOMPARE(moves->load(), 0);
        QCOMPARE(list.count(), 1);
        QVERIFY(!list.busy());
    }

    // An empty list says where desktop entries were looked for and, when
    // neither is there, that flatpak and snap are missing; a flatpak that
    // lists nothing is no reason of its own.
    void appsEmptyListSaysWhy()
    {
        const QByteArray path = qgetenv("PATH"), dirs = qgetenv("XDG_DATA_DIRS");
        const auto restore = qScopeGuard([&] {
            qputenv("PATH", path);
            qputenv("XDG_DATA_DIRS", dirs);
        });
        m_home->dir("bin");
        qputenv("PATH", QByteArray::fromStdString(m_home->at("bin")));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(m_home->at("share")));
        m_model = std::make_unique<AppModel>();
        const QString folders = QStringLiteral(
            "No applications found: no desktop entries in ~/.local/share/applications, "
            "~/share/applications");
        for (const bool withFlatpak : {false, true}) {
            if (withFlatpak) {
                m_home->file("bin/flatpak", "#!/bin/sh\nexit 0\n");
                fs::permissions(m_home->at("bin/flatpak"), fs::perms::owner_all);
            }
            InstalledAppModel list;
            list.setServices(m_model->services());
            list.refresh();
            QTRY_VERIFY(!list.loading());
            QCOMPARE(list.total(), 0);
            QCOMPARE(list.emptyReason(),
                     withFlatpak
                         ? folders
                         : folders + QStringLiteral(", and flatpak and snap are not installed"));
        }
    }

    void systemReadingsAndEmptyTrashRunOnWorkers()
    {
        m_model = std::make_unique<AppModel>();
        EngineCalls e;
        auto emptied = std::make_shared<std::atomic<int>>(0);
        e.memory = [] { return Scanner::MemoryInfo{16000, 4000}; };
        e.trashSize = [emptied] {
            return *emptied ? Scanner::TrashInfo{0, 0} : Scanner::TrashInfo{5000, 3};
        };
        e.loginItems = [] {
            std::vector<std::string> out;
            for (int i = 0; i < 15; ++i)
                out.push_back("com.example.agent" + std::to_string(i));
            out.push_back("bad\nname");
            return out;
        };
        e.emptyTrash = [emptied] {
            // The second time, two entries were mounted from elsewhere.
            return Scanner::EmptiedTrash{++*emptied == 1, *emptied == 1 ? 0 : 2};
        };
        e.snapshots = [] {
            Snapshot s;
            s.name = "42";
            s.date = "2024-03-05 09:07:00";
            s.deleteCommand = "sudo snapper delete 42";
            return std::vector<Snapshot>{s};
        };
        m_model->setEngine(e);
        Toolbox box;
        box.setServices(m_model->services());
        QSignalSpy read(&box, &Toolbox::systemRead);
        box.readSystem();
        QTRY_COMPARE(read.count(), 1);
        QVariantMap r = read[0][0].toMap();
        QCOMPARE(r["memTotal"].toLongLong(), 16000);
        QCOMPARE(r["memFree"].toLongLong(), 4000);
        QCOMPARE(r["trashSize"].toLongLong(), 5000);
        QCOMPARE(r["trashCount"].toInt(), 3);
        const QStringList logins = r["logins"].toStringList();
        QCOMPARE(logins.size(), 16);
        QVERIFY(!logins.last().contains(u'\n'));

        QSignalSpy left(&box, &Toolbox::trashLeft);
        box.emptyTrash();
        QTRY_COMPARE(read.count(), 2);
        QCOMPARE(emptied->load(), 1);
        QCOMPARE(read[1][0].toMap()["trashCount"].toInt(), 0);
        QCOMPARE(left.count(), 0);
        box.emptyTrash();
        QTRY_COMPARE(left.count(), 1);
        QCOMPARE(left[0][0].toInt(), 2);

        QSignalSpy snaps(&box, &Toolbox::snapshotsRead);
        box.readSnapshots();
        QTRY_COMPARE(snaps.count(), 1);
        const QVariantList list = snaps[0][0].toList();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].toMap()["text"].toString(), QStringLiteral("42 · 2024-03-05 09:07:00"));
        QCOMPARE(list[0].toMap()["command"].toString(), QStringLiteral("sudo snapper delete 42"));
    }

    // Each reading changes the list only where it differs from the last one:
    // the rows the pane redraws every 3 seconds.
    void processReadingsChangeOnlyWhatDiffers()
    {
        using R = ProcessModel::Role;
        auto proc = [](int pid, const std::string& name, int64_t rss) {
            ProcInfo p;
            p.pid = pid;
            p.name = name;
            p.rss = rss;
            return p;
        };
        const ProcInfo big = proc(11, "firefox", 4096);
        const ProcInfo bigger = proc(11, "firefox", 8192);
        const ProcInfo odd = proc(12, "evil\nname\tx", 2048);
        const ProcInfo oddMoved = proc(12, "evil\nname\tx", 2050); // still "2.0 KB"
        const ProcInfo own = proc(int(QCoreApplication::applicationPid()), "app_toolbox_tes", 1024);
        const QList<int> all = {int(R::Pid),     int(R::Name),  int(R::DisplayName), int(R::Rss),
                                int(R::RssText), int(R::Share), int(R::Own)};
        const struct
        {
            const char* what;
            std::vector<ProcInfo> reading;
            QList<QPair<int, QList<int>>> changed; // row, roles
            int inserted;
            int removed;
        } steps[] = {
            {"the first reading inserts its rows", {big, odd, own}, {}, 3, 0},
            {"the same reading again changes nothing", {big, odd, own}, {}, 0, 0},
            {"memory moving within its text moves only the bar",
             {big, oddMoved, own},
             {{1, {int(R::Rss), int(R::Share)}}},
             0,
             0},
            {"the largest growing moves every other bar",
             {bigger, oddMoved, own},
             {{0, {int(R::Rss), int(R::RssText)}}, {1, {int(R::Share)}}, {2, {int(R::Share)}}},
             0,
             0},
            {"two processes trading places change both rows",
             {bigger, own, oddMoved},
             {{1, all}, {2, all}},
             0,
             0},
            {"a shorter reading removes the rows at the end", {bigger, own}, {}, 0, 1},
            {"an empty reading removes every row", {}, {}, 0, 2},
        };

        ProcessModel list;
        QAbstractItemModelTester tester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
        for (const auto& step : steps) {
            changed.clear();
            inserted.clear();
            removed.clear();
            list.setProcs(step.reading);
            QList<QPair<int, QList<int>>> seen;
            for (const QList<QVariant>& signal : changed) {
                const auto first = signal[0].toModelIndex();
                QCOMPARE(signal[1].toModelIndex(), first);
                QList<int> roles = signal[2].value<QList<int>>();
                std::sort(roles.begin(), roles.end());
                seen.push_back({first.row(), roles});
            }
            QVERIFY2(seen == step.changed, step.what);
            int rows = 0;
            for (const QList<QVariant>& signal : inserted)
                rows += signal[2].toInt() - signal[1].toInt() + 1;
            QVERIFY2(rows == step.inserted, step.what);
            rows = 0;
            for (const QList<QVariant>& signal : removed)
                rows += signal[2].toInt() - signal[1].toInt() + 1;
            QVERIFY2(rows == step.removed, step.what);
            QVERIFY2(list.count() == int(step.reading.size()), step.what);
        }

        // What a row shows: the name as one line, the memory as text, the bar
        // against the largest process, the app's own process marked.
        list.setProcs({big, odd, own});
        auto at = [&](int row, R role) { return list.data(list.index(row), int(role)); };
        QCOMPARE(at(1, R::DisplayName).toString(), displayLine("evil?name?x"));
        QCOMPARE(at(0, R::RssText).toString(), qs(humanSize(4096)));
        QCOMPARE(at(1, R::Share).toDouble(), 0.5);
        QCOMPARE(at(2, R::Share).toDouble(), 0.25);
        QCOMPARE(at(2, R::Own).toBool(), true);
        QCOMPARE(at(0, R::Own).toBool(), false);
        // Marked by its id, not its name: another process named like the app
        // is not this app.
        list.setProcs({proc(14, "TidloCleaner", 4096), own});
        QCOMPARE(at(0, R::Own).toBool(), false);
        QCOMPARE(at(1, R::Own).toBool(), true);
        // A largest process below 2 bytes counts as 1.
        list.setProcs({proc(5, "idle", 1), proc(6, "zero", 0)});
        QCOMPARE(at(0, R::Share).toDouble(), 1.0);
        QCOMPARE(at(1, R::Share).toDouble(), 0.0);
    }

    void tabNumbersFromTheEnvironment()
    {
        const struct
        {
            const char* value;
            int number;
        } cases[] = {{"1", 1}, {"7", 7}, {"-1", -1}, {"abc", 0}, {"1x", 0}, {"", 0}, {" 2", 0}};
        for (const auto& c : cases) {
            qputenv("TID_TESTTAB", c.value);
            QCOMPARE(Toolbox::envNumber(QStringLiteral("TID_TESTTAB")), c.number);
        }
        qunsetenv("TID_TESTTAB");
        QCOMPARE(Toolbox::envNumber(QStringLiteral("TID_TESTTAB")), 0);
    }
};

QTEST_GUILESS_MAIN(ToolboxModelTest)
#include "ToolboxModelTest.moc"
