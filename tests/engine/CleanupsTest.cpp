// SPDX-License-Identifier: GPL-3.0-or-later
// Clean-ups with their manifests, and putting their items back, on fixture
// homes with odd names.
#include "Cleanups.h"
#include "DesktopTrash.h"
#include "Files.h"
#include "History.h"
#include "Plan.h"
#include "Platform.h"
#include "Report.h"
#include "TestHome.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Cleanups::PutBackOutcome;
using Cleanups::Where;

namespace {

bool exists(const std::string& path)
{
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<Cleanups::Target> targetsIn(const std::string& root,
                                        const std::vector<std::string>& names)
{
    std::vector<Cleanups::Target> targets;
    for (const auto& name : names)
        targets.push_back(
            {root + "/" + name, int64_t(name.size()), ItemKind::Cache, Risk::Safe, name});
    return targets;
}

std::vector<size_t> all(const Cleanups::Record& record)
{
    std::vector<size_t> indexes(record.items.size());
    for (size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = i;
    return indexes;
}

std::string filesFolder()
{
    return Platform::desktopTrash() + "/files/";
}

std::string infoFile(const Cleanups::Item& item)
{
    return Platform::desktopTrash() + "/info/" + item.entry + ".trashinfo";
}

// The one clean-up of the history whose id is id.
Cleanups::Record recordOf(const std::string& id)
{
    for (auto& record : Scanner::loadCleanups())
        if (record.entry.id == id)
            return record;
    ADD_FAILURE() << "no clean-up " << id;
    return {};
}

} // namespace

namespace Cleanups {
// For readable failures.
void PrintTo(Where where, std::ostream* out)
{
    *out << (where == Where::InTrash ? "InTrash" : where == Where::PutBack ? "PutBack" : "Gone");
}
} // namespace Cleanups

TEST(Cleanups, PutsBackAnOddTreeExactlyAsItWas)
{
    TestSupport::TestHome home;
    const std::string root = home.at("stuff");
    std::vector<std::string> names = TestSupport::makeOddTree(root);
    // Missing folders on the way back are made again.
    home.file("stuff/deep/er/item", "deep");
    const std::string before = TestSupport::treeText(root);

    std::vector<Cleanups::Target> targets = targetsIn(root, names);
    targets.push_back({root + "/deep/er/item", 4, ItemKind::Leftover, Risk::Care, "item"});
    // Inside another target: moves with it and shares its outcome.
    targets.push_back(
        {root + "/folder with\x01odd bytes/inner", 1, ItemKind::Cache, Risk::Safe, "inner"});
    const Cleanups::CleanUp done = Scanner::cleanUp(targets, Cleanups::Source::Toolbox);
    ASSERT_FALSE(done.id.empty());
    ASSERT_EQ(done.outcomes.size(), targets.size());
    for (MoveOutcome outcome : done.outcomes)
        EXPECT_EQ(outcome, MoveOutcome::Moved);
    fs::remove_all(root + "/deep");
    for (const auto& name : names)
        EXPECT_FALSE(exists(root + "/" + name));

    const std::vector<HistoryEntry> history = Scanner::loadHistory();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].items, int(names.size()) + 1);
    Cleanups::Record record = recordOf(done.id);
    EXPECT_TRUE(record.complete);
    EXPECT_EQ(record.source, Cleanups::Source::Toolbox);
    ASSERT_EQ(record.items.size(), names.size() + 1);
    EXPECT_EQ(record.items.back().path, root + "/deep/er/item");
    EXPECT_EQ(record.items.back().risk, Risk::Care);
    EXPECT_EQ(record.items.back().kind, ItemKind::Leftover);
    for (size_t i = 0; i < record.items.size(); ++i) {
        EXPECT_EQ(record.where[i], Where::InTrash) << record.items[i].label;
        EXPECT_TRUE(exists(infoFile(record.items[i])));
    }

    auto outcomes = Scanner::putBack(record, all(record), false);
    for (PutBackOutcome outcome : outcomes)
        EXPECT_EQ(outcome, PutBackOutcome::PutBack);
    EXPECT_EQ(TestSupport::treeText(root), before);
    EXPECT_TRUE(fs::is_empty(filesFolder()));
    EXPECT_TRUE(fs::is_empty(Platform::desktopTrash() + "/info"));
    struct stat st = {};
    ASSERT_EQ(::stat((root + "/deep/er").c_str(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0777 & ~mask);
    for (Where where : recordOf(done.id).where)
        EXPECT_EQ(where, Where::PutBack);
    // Putting back again finds nothing in the Trash.
    for (PutBackOutcome outcome : Scanner::putBack(record, {0}, true))
        EXPECT_EQ(outcome, PutBackOutcome::Gone);
}

TEST(Cleanups, TellsWhatBecameOfEachItem)
{
    struct Case
    {
        const char* name;
        std::function<void(const TestSupport::TestHome&, const Cleanups::Item&)> change;
        bool beside;
        PutBackOutcome outcome;
        Where whereBefore;
        const char* atPath;        // content at the original path afterwards ("" none)
        const char* besideContent; // content of the restored copy ("" none)
        Where whereAfter;
    };
    const std::vector<Case> cases = {
        {"plain", [](auto&, auto&) {}, false, PutBackOutcome::PutBack, Where::InTrash, "old", "",
         Where::PutBack},
        {"taken", [](auto& home, auto&) { home.file("a/item", "new"); }, false,
         PutBackOutcome::Taken, Where::InTrash, "new", "", Where::InTrash},
        // Beside its taken place it still reads as put back, not gone.
        {"taken beside", [](auto& home, auto&) { home.file("a/item", "new"); }, true,
         PutBackOutcome::PutBackBeside, Where::InTrash, "new", "old", Where::PutBack},
        {"taken by a link leading nowhere",
         [](auto& home, auto&) { fs::create_symlink("/nowhere", home.at("a/item")); }, false,
         PutBackOutcome::Taken, Where::InTrash, "", "", Where::InTrash},
        {"emptied from the Trash",
         [](auto&, auto& item) {
             fs::remove(filesFolder() + item.entry);
             fs::remove(infoFile(item));
         },
         true, PutBackOutcome::Gone, Where::Gone, "", "", Where::Gone},
        {"record removed by hand", [](auto&, auto& item) { fs::remove(infoFile(item)); }, false,
         PutBackOutcome::PutBack, Where::InTrash, "old", "", Where::PutBack},
        {"another item under its entry name",
         [](auto&, auto& item) {
             // Written beside and renamed over it: another inode.
             Files::writeAtomically(filesFolder() + item.entry, "stranger");
         },
         false, PutBackOutcome::Gone, Where::Gone, "", "", Where::Gone},
        {"its folder now a link",
         [](auto& home, auto&) {
             home.dir("elsewhere");
             fs::remove_all(home.at("a"));
             fs::create_directory_symlink(home.at("elsewhere"), home.at("a"));
         },
         false, PutBackOutcome::Failed, Where::InTrash, "", "", Where::InTrash},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSupport::TestHome home;
        home.file("a/item", "old");
        const auto done = Scanner::cleanUp(
            {{home.at("a/item"), 3, ItemKind::Cache, Risk::Safe, "item"}}, Cleanups::Source::Clean);
        ASSERT_EQ(done.outcomes, std::vector<MoveOutcome>{MoveOutcome::Moved});
        Cleanups::Record record = recordOf(done.id);
        ASSERT_EQ(record.items.size(), 1u);
        c.change(home, record.items[0]);
        EXPECT_EQ(recordOf(done.id).where, std::vector<Where>{c.whereBefore});

        const auto outcomes = Scanner::putBack(record, {0}, c.beside);
        EXPECT_EQ(outcomes, std::vector<PutBackOutcome>{c.outcome});
        EXPECT_EQ(Files::read(home.at("a/item")).value_or(""), c.atPath);
        std::string besideContent;
        for (const auto& e : fs::directory_iterator(home.at("a")))
            if (e.path().filename().string().starts_with("item (restored "))
                besideContent = Files::read(e.path().string()).value_or("?");
        EXPECT_EQ(besideContent, c.besideContent);
        EXPECT_EQ(recordOf(done.id).where, std::vector<Where>{c.whereAfter});
        const bool back =
            c.outcome == PutBackOutcome::PutBack || c.outcome == PutBackOutcome::PutBackBeside;
        // An item left in the Trash keeps its record; one put back leaves none.
        if (back) {
            EXPECT_FALSE(exists(infoFile(record.items[0])));
        } else if (c.outcome != PutBackOutcome::Gone) {
            EXPECT_TRUE(exists(infoFile(record.items[0])));
        }
    }
}

TEST(Cleanups, TellsTwoCleanupsOfOneMinuteApart)
{
    TestSupport::TestHome home;
    home.file("one/cache", "first");
    home.file("two/cache", "second");
    const auto first = Scanner::cleanUp(
        {{home.at("one/cache"), 5, ItemKind::Cache, Risk::Safe, "c"}}, Cleanups::Source::Terminal);
    const auto second = Scanner::cleanUp(
        {{home.at("two/cache"), 6, ItemKind::Cache, Risk::Safe, "c"}}, Cleanups::Source::Terminal);
    ASSERT_NE(first.id, second.id);
    const auto records = Scanner::loadCleanups();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].entry.id, second.id); // newest first
    EXPECT_NE(records[0].items[0].entry, records[1].items[0].entry);

    EXPECT_EQ(Scanner::putBack(records[0], {0}, false),
              std::vector<PutBackOutcome>{PutBackOutcome::PutBack});
    EXPECT_EQ(Files::read(home.at("two/cache")), "second");
    EXPECT_FALSE(exists(home.at("one/cache")));
    EXPECT_EQ(recordOf(first.id).where, std::vector<Where>{Where::InTrash});
}

TEST(Cleanups, KeepsEveryItemWhenAPutBackIsKilled)
{
    TestSupport::TestHome home;
    const std::string root = home.at("many");
    const std::vector<std::string> names = TestSupport::makeOddTree(root, 3000);
    const auto done = Scanner::cleanUp(targetsIn(root, names), Cleanups::Source::Clean);
    const Cleanups::Record record = recordOf(done.id);
    ASSERT_EQ(record.items.size(), names.size());

    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Scanner::putBack(record, all(record), false);
        ::_exit(0);
    }
    // Killed once some, not all, are back.
    for (int i = 0; i < 20000 && !exists(root + "/filler-100"); ++i)
        ::usleep(100);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);

    size_t inTrash = 0, back = 0;
    for (const auto& item : record.items) {
        const bool entry = exists(filesFolder() + item.entry);
        const bool original = exists(item.path);
        EXPECT_NE(entry, original) << item.path; // in exactly one place
        if (entry) {
            ++inTrash;
            EXPECT_TRUE(exists(infoFile(item))) << item.path;
        }
        back += original ? 1 : 0;
    }
    EXPECT_EQ(inTrash + back, names.size());
    EXPECT_GT(back, 0u);
    // A record the kill left behind for an item already back is taken away
    // by the mover's sweep once old; every record left has its entry.
    auto trash = DesktopTrash::open(Platform::desktopTrash(), false);
    ASSERT_TRUE(trash);
    DesktopTrash::sweepOrphans(*trash, Clock::now() + DesktopTrash::kOrphanAge);
    for (const auto& e : fs::directory_iterator(Platform::desktopTrash() + "/info")) {
        const std::string info = e.path().filename().string();
        EXPECT_TRUE(exists(filesFolder() + info.substr(0, info.size() - 10))) << info;
    }
    // What is left is put back afterwards.
    const Cleanups::Record again = recordOf(done.id);
    for (Where where : again.where)
        EXPECT_NE(where, Where::Gone);
    size_t later = 0;
    for (PutBackOutcome outcome : Scanner::putBack(again, all(again), false))
        later += outcome == PutBackOutcome::PutBack ? 1 : 0;
    EXPECT_EQ(later, inTrash);
}

TEST(Cleanups, ShowsWhatADamagedManifestStillHolds)
{
    struct Case
    {
        const char* name;
        std::function<void(const std::string& path)> damage;
        size_t items;
    };
    const std::vector<Case> cases = {
        {"missing", [](const std::string& path) { fs::remove(path); }, 0},
        {"not JSON", [](const std::string& path) { Files::writeAtomically(path, "{\"items\":["); },
         0},
        {"too large",
         [](const std::string& path) {
             std::string text = *Files::read(path);
             text.insert(text.size() - 1, std::string(Cleanups::kMaxManifestBytes, ' '));
             Files::writeAtomically(path, text);
         },
         0},
        {"one item spoilt",
         [](const std::string& path) {
             std::string text = *Files::read(path);
             const size_t at = text.find("\"inode\":");
             text.replace(at, 8, "\"inode\":-");
             Files::writeAtomically(path, text);
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSupport::TestHome home;
        home.file("a", "a");
        home.file("b", "b");
        const auto done =
            Scanner::cleanUp(targetsIn(home.path(), {"a", "b"}), Cleanups::Source::Uninstall);
        c.damage(Cleanups::manifestPath(done.id));
        const Cleanups::Record record = recordOf(done.id);
        EXPECT_FALSE(record.complete);
        EXPECT_EQ(record.entry.items, 2);
        EXPECT_EQ(record.items.size(), c.items);
        EXPECT_EQ(record.where.size(), c.items);
    }
}

TEST(Cleanups, ManifestKeepsExactBytesOfEveryName)
{
    Cleanups::Manifest manifest;
    manifest.source = Cleanups::Source::Uninstall;
    manifest.date = Clock::time_point(std::chrono::seconds(1780000000));
    Cleanups::Item odd;
    odd.path = std::string("/h/caf\xe9\n%", 9);
    odd.entry = "2026-01-02_0304 caf\xe9";
    odd.label = "caf\xc3\xa9";
    odd.size = INT64_MAX;
    odd.device = UINT64_MAX;
    odd.inode = 42;
    odd.modified = -5;
    odd.kind = ItemKind::Large;
    odd.risk = Risk::Data;
    manifest.items = {odd};
    const std::string text = Cleanups::encode(manifest);
    EXPECT_NE(text.find("\"pathHex\":\"2f682f636166e90a25\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"label\":\"caf\xc3\xa9\""), std::string::npos) << text;
    const Cleanups::Decoded back = Cleanups::decode(text);
    ASSERT_TRUE(back.complete);
    EXPECT_EQ(back.manifest.source, Cleanups::Source::Uninstall);
    EXPECT_EQ(back.manifest.date, manifest.date);
    ASSERT_EQ(back.manifest.items.size(), 1u);
    const Cleanups::Item& item = back.manifest.items[0];
    EXPECT_EQ(item.path, odd.path);
    EXPECT_EQ(item.entry, odd.entry);
    EXPECT_EQ(item.label, odd.label);
    EXPECT_EQ(item.size, odd.size);
    EXPECT_EQ(item.device, odd.device);
    EXPECT_EQ(item.modified, odd.modified);
    EXPECT_EQ(item.kind, odd.kind);
    EXPECT_EQ(item.risk, odd.risk);
    // Both forms of one name, or hex that is not hex, spoil the item.
    for (const char* bad : {"\"pathHex\":\"2f\",\"path\":\"/x\"", "\"pathHex\":\"2g\""}) {
        std::string spoilt = text;
        const size_t at = spoilt.find("\"pathHex\":\"2f682f636166e90a25\"");
        spoilt.replace(at, 30, bad);
        EXPECT_FALSE(Cleanups::decode(spoilt).complete) << spoilt;
    }
    // Cut to fit a file name, never inside a character.
    const std::string restored =
        Cleanups::restoredName(std::string(225, 'w') + "\xe4\xb8\xad", manifest.date, 2);
    EXPECT_EQ(restored.size(), 254u);
    EXPECT_EQ(restored.substr(224, 12), "w (restored ");
    EXPECT_TRUE(restored.ends_with(")_2"));
}

TEST(Plan, TellsAnItemThatChangedSinceTheScan)
{
    struct Case
    {
        const char* name;
        std::function<void(const std::string& path)> change;
        bool unchanged;
    };
    auto keepTime = [](const std::string& path, const std::function<void()>& step) {
        struct stat st = {};
        ::lstat(path.c_str(), &st);
        step();
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    };
    const std::vector<Case> cases = {
        {"as it was", [](const std::string&) {}, true},
        {"another length, same time",
         [&](const std::string& path) { keepTime(path, [&] { fs::resize_file(path, 2); }); },
         false},
        {"same length, another time",
         [](const std::string& path) {
             fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
         },
         false},
        {"replaced by a copy",
         [&](const std::string& path) {
             keepTime(path, [&] {
                 fs::copy_file(path, path + ".copy");
                 fs::rename(path + ".copy", path);
             });
         },
         false},
        {"gone", [](const std::string& path) { fs::remove(path); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSupport::TestHome home;
        home.file("cache.bin", "12345");
        ScanItem item;
        item.path = home.at("cache.bin");
        item.name = "caf\xe9";
        item.size = 5;
        const auto planned = Plan::decode(Plan::encode(Plan::identify({item})));
        ASSERT_TRUE(planned && planned->size() == 1);
        EXPECT_EQ((*planned)[0].label, item.name);
        EXPECT_EQ((*planned)[0].length, 5);
        c.change(item.path);
        EXPECT_EQ(Plan::unchanged((*planned)[0]), c.unchanged);
    }
}

TEST(Cleanups, TheReportEndsWithTheLastCleanupsAndWhereTheirItemsAre)
{
    TestSupport::TestHome home("en");
    TestSupport::ZoneGuard zone("UTC");
    const auto at = Clock::time_point(std::chrono::seconds(1772600767)); // 05:06 UTC
    ScanItem cache{.path = "/h/.cache/pip", .name = "pip cache", .size = 3 * 1024 * 1024};
    const std::string plain = Report::text({cache}, {}, {}, {}, at);

    Cleanups::Record terminal;
    terminal.entry.date = at;
    terminal.entry.items = 2;
    terminal.entry.freed = 2048;
    terminal.source = Cleanups::Source::Terminal;
    terminal.items = {{.path = "/h/a|b", .entry = "e1", .size = 1024, .label = "a|b\nc"},
                      {.path = "/h/d", .entry = "e2", .size = 1024, .label = "d"}};
    terminal.where = {Where::InTrash, Where::PutBack};
    Cleanups::Record damaged;
    damaged.entry.date = at - std::chrono::hours(24);
    damaged.entry.items = 1;
    damaged.entry.freed = 10;
    damaged.complete = false;
    std::vector<Cleanups::Record> records = {terminal, damaged};
    for (int i = 0; i < 5; ++i)
        records.push_back(damaged); // only the five newest are listed

    const std::string text = Report::text({cache}, {}, {}, {}, at, records);
    ASSERT_TRUE(text.starts_with(plain)); // the sections before stay as they are
    const std::string damagedHeading =
        "### 2026-03-03 05:06  ·  Clean  ·  1 item  ·  10 B  (its record is incomplete)\n\n";
    std::string want = "## Recent clean-ups\n"
                       "\n"
                       "### 2026-03-04 05:06  ·  Terminal  ·  2 items  ·  2.0 KB\n"
                       "\n"
                       "| Name | Size | Location | Now |\n"
                       "|---|---:|---|---|\n"
                       "| a\\|b\\nc | 1.0 KB | `/h/a\\|b` | In the Trash |\n"
                       "| d | 1.0 KB | `/h/d` | Put back |\n"
                       "\n";
    for (int i = 0; i < 4; ++i)
        want += damagedHeading;
    EXPECT_EQ(text.substr(plain.size()), want);
}

TEST(Cleanups, AManifestGoesWithItsEntryFromTheHistory)
{
    TestSupport::TestHome home;
    home.file("first", "1");
    const auto first = Scanner::cleanUp(targetsIn(home.path(), {"first"}), Cleanups::Source::Clean);
    const std::string firstManifest = Cleanups::manifestPath(first.id);
    ASSERT_TRUE(exists(firstManifest));
    // Old enough that no clean-up can still be writing its history entry.
    const struct timespec old[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, firstManifest.c_str(), old, 0);
    std::string last;
    for (int i = 0; i < 100; ++i) {
        home.file("next", std::to_string(i));
        last = Scanner::cleanUp(targetsIn(home.path(), {"next"}), Cleanups::Source::Clean).id;
        if (i == 0) {
            EXPECT_TRUE(exists(firstManifest)); // still in the history
        }
    }
    EXPECT_EQ(Scanner::loadHistory().size(), 100u);
    EXPECT_FALSE(exists(firstManifest));
    EXPECT_TRUE(exists(Cleanups::manifestPath(last)));
    EXPECT_EQ(std::distance(fs::directory_iterator(Platform::supportFolder() + "/cleanups"),
                            fs::directory_iterator()),
              100);
}
