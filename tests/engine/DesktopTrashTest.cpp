// SPDX-License-Identifier: GPL-3.0-or-later
// Clean-ups into the desktop's Trash: the entries and their records in the
// freedesktop.org layout every file manager reads, the refusals that keep a
// clean-up from being redirected through links, and the desktop's own tools
// (gio) reading and restoring what was moved.
#include "DesktopTrash.h"
#include "Caches.h"
#include "Files.h"
#include "Platform.h"
#include "Strings.h"
#include "System.h"
#include "TestHome.h"
#include "Text.h"
#include "Trash.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using TestSupport::kNoSetUp;
using TestSupport::runInChild;
using TestSupport::TestHome;

namespace {

constexpr MoveOutcome Moved = MoveOutcome::Moved;
constexpr MoveOutcome Gone = MoveOutcome::Gone;
constexpr MoveOutcome Failed = MoveOutcome::Failed;

Clock::time_point unixTime(double seconds)
{
    return Clock::time_point(
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
}

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        out.insert(e.path().filename().string());
    return out;
}

std::string trash(const std::string& rel = "")
{
    return Platform::desktopTrash() + (rel.empty() ? "" : "/" + rel);
}

unsigned modeOf(const std::string& path)
{
    struct stat st = {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// The one stamp (with its subfolder) that starts every entry name in files/.
std::string entryPrefix()
{
    std::set<std::string> prefixes;
    for (const auto& name : namesIn(trash("files")))
        prefixes.insert(name.substr(0, name.find(' ')));
    EXPECT_EQ(prefixes.size(), 1u);
    return prefixes.empty() ? "" : *prefixes.begin();
}

// gio shows the bytes of a path attribute that are not ASCII as "\xNN".
std::string unescapeBytes(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size()) {
            out += char(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

TEST(DesktopTrash, RecordsEncodeThePathAndTheLocalDate)
{
    const std::pair<std::string, std::string> paths[] = {
        {"/h/a b", "/h/a%20b"},
        {"/h/100%+x", "/h/100%25%2Bx"},
        {"/h/Ordner/é", "/h/Ordner/%C3%A9"},
        {"/h/\xff\n\t", "/h/%FF%0A%09"},
        {"/h/#?;:@&=$,[]\"<>", "/h/%23%3F%3B%3A%40%26%3D%24%2C%5B%5D%22%3C%3E"},
        {"/h/keep-_.!~*'()AZaz09", "/h/keep-_.!~*'()AZaz09"},
    };
    for (const auto& [path, encoded] : paths)
        EXPECT_EQ(DesktopTrash::encodePath(path), encoded) << path;

    TestSupport::ZoneGuard zone("Asia/Shanghai");
    EXPECT_EQ(DesktopTrash::infoText("/h/a b", unixTime(1772600767)), // 05:06:07 UTC
              "[Trash Info]\nPath=/h/a%20b\nDeletionDate=2026-03-04T13:06:07\n");
}

TEST(DesktopTrash, EntryNamesCarryTheStampAndFitAFileName)
{
    EXPECT_EQ(DesktopTrash::entryName("2024-03-05_0907_命令行", "pip", 1),
              "2024-03-05_0907_命令行 pip");
    EXPECT_EQ(DesktopTrash::entryName("2024-03-05_0907", "a.tar.gz", 3),
              "2024-03-05_0907 a.tar.gz_3");
    std::string longName;
    for (int i = 0; i < 200; ++i)
        longName += "é";
    for (int n : {1, 2, 12345}) {
        std::string entry = DesktopTrash::entryName("2024-03-05_0907_工具箱", longName, n);
        EXPECT_LE(entry.size() + std::string(".trashinfo").size(), 255u);
        EXPECT_TRUE(Strings::isValidUtf8(entry));
        EXPECT_TRUE(entry.starts_with("2024-03-05_0907_工具箱 éé"));
        EXPECT_TRUE(n == 1 || entry.ends_with("é_" + std::to_string(n)));
    }
}

TEST(DesktopTrash, CleanUpMakesOneEntryPerItemWithItsRecord)
{
    TestHome home;
    home.file("a/Cache/x", "1");
    home.file("b/Cache/y", "2");
    home.file("c/Cache", "3");
    const std::string odd = "odd/100% + é \xff\ttab";
    home.file(odd, "odd");
    const std::vector<std::string> paths = {home.at("a/Cache"),
                                            home.at("missing"),
                                            home.at("b/Cache/"),
                                            home.at("c/Cache"),
                                            home.at(odd),
                                            "relative/path",
                                            "",
                                            "/"};
    const auto before = Clock::now();
    EXPECT_EQ(Scanner::moveToTrash(paths, "命令行"),
              (std::vector<MoveOutcome>{Moved, Gone, Moved, Moved, Moved, Failed, Failed, Failed}));

    const std::string prefix = entryPrefix();
    EXPECT_TRUE(std::regex_match(prefix, std::regex(R"(\d{4}-\d\d-\d\d_\d{4}_命令行)"))) << prefix;
    const std::map<std::string, std::pair<std::string, std::string>> entries = {
        {prefix + " Cache", {"a/Cache", "a/Cache/x"}},
        {prefix + " Cache_2", {"b/Cache", "b/Cache/y"}},
        {prefix + " Cache_3", {"c/Cache", "c/Cache"}},
        {prefix + " 100% + é \xff\ttab", {odd, odd}},
    };
    std::set<std::string> names, records;
    for (const auto& [entry, where] : entries) {
        names.insert(entry);
        records.insert(entry + ".trashinfo");
    }
    EXPECT_EQ(namesIn(trash("files")), names);
    EXPECT_EQ(namesIn(trash("info")), records);
    EXPECT_EQ(Files::read(trash("files/" + prefix + " Cache/x")), "1");
    EXPECT_EQ(Files::read(trash("files/" + prefix + " Cache_2/y")), "2");
    EXPECT_EQ(Files::read(trash("files/" + prefix + " Cache_3")), "3");

    // Each record names where its item was and when it was moved, to the
    // minute of the entry's stamp (local time).
    const std::regex record(
        R"(\[Trash Info\]\nPath=([^\n]*)\nDeletionDate=(\d{4}-\d\d-\d\d)T(\d\d):(\d\d):\d\d\n)");
    for (const auto& [entry, where] : entries) {
        EXPECT_FALSE(fs::exists(fs::symlink_status(home.at(where.first)))) << where.first;
        std::string text = Files::read(trash("info/" + entry + ".trashinfo")).value_or("");
        std::smatch m;
        ASSERT_TRUE(std::regex_match(text, m, record)) << text;
        EXPECT_EQ(m[1].str(), DesktopTrash::encodePath(home.at(where.first)));
        EXPECT_EQ(m[2].str() + "_" + m[3].str() + m[4].str() + "_命令行", prefix);
        EXPECT_EQ(modeOf(trash("info/" + entry + ".trashinfo")), 0600u);
    }
    for (const char* folder : {"", "files", "info"})
        EXPECT_EQ(modeOf(trash(folder)), 0700u) << folder;

    // A clean-up of the same minute takes the next free name; the app's own
    // clean-up (no subfolder) uses the bare stamp.
    home.file("d/Cache", "4");
    home.file("e/pip", "5");
    EXPECT_EQ(Scanner::trashPaths({home.at("d/Cache")}, "命令行"), 1);
    EXPECT_EQ(Scanner::moveToTrash({home.at("e/pip")}, ""), std::vector<MoveOutcome>{Moved});
    if (Trash::stamp(Clock::now()) == Trash::stamp(before)) {
        EXPECT_EQ(Files::read(trash("files/" + prefix + " Cache_4")), "4");
        EXPECT_EQ(Files::read(trash("files/" + Trash::stamp(before) + " pip")), "5");
    } // else the minute turned during the test
    EXPECT_FALSE(fs::exists(home.at(".Trash")));
    EXPECT_FALSE(fs::exists(home.at("Library")));
}

TEST(DesktopTrash, AFailedMoveLeavesNoRecordBehind)
{
    TestHome home;
    home.file("keep/data", "x");
    // A folder that holds the Trash cannot go into it: the rename fails
    // after the record was written.
    EXPECT_EQ(Scanner::trashPaths({home.at(".local")}), 0);
    EXPECT_TRUE(fs::exists(trash("files")));
    EXPECT_TRUE(namesIn(trash("info")).empty());

    // A record already there (left by another program) is never replaced:
    // the entry takes the next name, for whichever minute the move falls in.
    const auto now = Clock::now();
    std::set<std::string> stray;
    for (auto t : {now, now + std::chrono::minutes(1)}) {
        std::string name = Trash::stamp(t) + "_" + L::s("trash.toolbox") + " data.trashinfo";
        home.file(".local/share/Trash/info/" + name, "stray");
        stray.insert(name);
    }
    EXPECT_EQ(Scanner::trashPaths({home.at("keep/data")}), 1);
    for (const auto& name : stray)
        EXPECT_EQ(Files::read(trash("info/" + name)), "stray");
    ASSERT_EQ(namesIn(trash("files")).size(), 1u);
    EXPECT_TRUE(namesIn(trash("files")).begin()->ends_with(" data_2"));

    // Another file system: nothing is copied and no record stays.
    char tmpl[] = "/dev/shm/tidlo-other-XXXXXX";
    if (!mkdtemp(tmpl))
        GTEST_SKIP() << "no /dev/shm to stand in for another file system";
    const std::string other = tmpl;
    struct stat a = {}, b = {};
    ::stat(home.path().c_str(), &a);
    ::stat(other.c_str(), &b);
    if (a.st_dev == b.st_dev) {
        fs::remove_all(other);
        GTEST_SKIP() << "/dev/shm is on the same file system as the temporary folder";
    }
    Files::writeAtomically(other + "/far.bin", "far");
    const auto records = namesIn(trash("info"));
    EXPECT_EQ(Scanner::moveToTrash({other + "/far.bin"}, "命令行"),
              std::vector<MoveOutcome>{MoveOutcome::OtherFileSystem});
    EXPECT_EQ(Files::read(other + "/far.bin"), "far");
    EXPECT_EQ(namesIn(trash("info")), records);
    EXPECT_EQ(namesIn(trash("files")).size(), 1u);
    fs::remove_all(other);
}

TEST(DesktopTrash, AnItemThatStaysSaysWhy)
{
    // Each case runs the mover in a child: mounts in a namespace of its
    // own, refusals as an unprivileged user (permission bits do not stop
    // root). The item must still be where it was.
    enum class Set { Locked, MountPoint, TmpfsItem, ReadOnlyTrash };
    struct Case
    {
        Set set;
        MoveOutcome outcome;
    };
    const Case cases[] = {
        {Set::Locked, MoveOutcome::NoPermission},
        {Set::MountPoint, MoveOutcome::InUse},
        {Set::TmpfsItem, MoveOutcome::OtherFileSystem},
        {Set::ReadOnlyTrash, MoveOutcome::TrashUnwritable},
    };
    std::vector<std::string> skipped;
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.set));
        TestHome home;
        home.file("folder/item/x", "x");
        home.dir("other");
        fs::create_directories(trash("files"));
        fs::create_directories(trash("info"));
        const bool asUser = c.set == Set::Locked;
        if (asUser) {
            // The Trash is the user's; the item's folder is not.
            for (const char* rel : {"", "files", "info"})
                ASSERT_EQ(::chown(trash(rel).c_str(), 65534, 65534), 0);
            fs::permissions(home.path(), fs::perms(0755));
            for (const char* rel : {".local", ".local/share"})
                fs::permissions(home.at(rel), fs::perms(0755));
        }
        const std::string item = home.at("folder/item");
        const int status = runInChild(!asUser, asUser, [&]() -> int {
            auto mountOn = [](const std::string& from, const std::string& to, const char* type,
                              unsigned long flags) {
                return ::mount(from.c_str(), to.c_str(), type, flags, nullptr) == 0;
            };
            switch (c.set) {
            case Set::Locked:
                break;
            case Set::MountPoint:
                if (!mountOn(home.at("other"), item, nullptr, MS_BIND))
                    return kNoSetUp;
                break;
            case Set::TmpfsItem:
                if (!mountOn("tmpfs", home.at("folder"), "tmpfs", 0))
                    return kNoSetUp;
                Files::makeDirs(item);
                Files::writeAtomically(item + "/x", "far");
                break;
            case Set::ReadOnlyTrash:
                if (!mountOn(trash(), trash(), nullptr, MS_BIND) ||
                    !mountOn("", trash(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY))
                    return kNoSetUp;
                break;
            }
            const auto outcome = Scanner::moveToTrash({item}, "命令行");
            if (!fs::exists(item))
                return 99;
            return outcome.size() == 1 ? int(outcome[0]) : 98;
        });
        if (status == kNoSetUp) {
            skipped.push_back(asUser ? "no unprivileged user to switch to"
                                     : "no mount namespace of its own (unshare, mount)");
            continue;
        }
        EXPECT_EQ(status, int(c.outcome));
        EXPECT_EQ(Files::read(item + "/x"), "x");
        EXPECT_TRUE(namesIn(trash("files")).empty());
        EXPECT_TRUE(namesIn(trash("info")).empty());
    }
    if (!skipped.empty())
        GTEST_SKIP() << skipped.size() << " cases were not tried: " << skipped.front();
}

TEST(DesktopTrash, TheMoverSweepsOnlyOldOrphanedRecordsOfItsOwn)
{
    TestHome home;
    home.file("item", "x");
    using std::chrono::minutes;
    struct Record
    {
        std::string name;
        minutes age;
        const char* entry; // what is at files/<entry>: "", "file" or "link"
        bool kept;
    };
    const std::vector<Record> records = {
        {"2024-03-05_0907_命令行 pip.trashinfo", minutes(60), "", false},
        {"2024-03-05_0907 Caches.trashinfo", minutes(11), "", false},
        {"2024-03-05_0907_卸载 a b_2.trashinfo", minutes(60 * 24 * 400), "", false},
        // The source words of an English session are read back the same way.
        {"2024-03-05_0907_Terminal pip.trashinfo", minutes(60), "", false},
        {"2024-03-05_0907_Uninstall a b.trashinfo", minutes(60), "", false},
        {"2024-03-05_0907_Toolbox here.trashinfo", minutes(60), "file", true},
        // A clean-up running now writes its record just before its rename.
        {"2024-03-05_0907_命令行 npm.trashinfo", minutes(0), "", true},
        {"2024-03-05_0907_命令行 yarn.trashinfo", minutes(9), "", true},
        {"2024-03-05_0907_命令行 future.trashinfo", minutes(-60), "", true},
        {"2024-03-05_0907_工具箱 here.trashinfo", minutes(60), "file", true},
        {"2024-03-05_0907_工具箱 dangling.trashinfo", minutes(60), "link", true},
        // Other programs' records and names that only look like ours.
        {"photo.jpg.trashinfo", minutes(60), "", true},
        {"2024-03-05_0907_命令行 pip", minutes(60), "", true},
        {"2024-3-05_0907 x.trashinfo", minutes(60), "", true},
        {"2024-03-05_0907_ x.trashinfo", minutes(60), "", true},
        {"2024-03-05_0907_命令行.trashinfo", minutes(60), "", true},
    };
    const auto now = Clock::now();
    std::set<std::string> expected;
    for (const auto& r : records) {
        const std::string path = trash("info/" + r.name);
        home.file(".local/share/Trash/info/" + r.name, "[Trash Info]\n");
        const std::string entry = r.name.substr(0, r.name.rfind(".trashinfo"));
        if (std::string_view(r.entry) == "file")
            home.file(".local/share/Trash/files/" + entry, "kept");
        if (std::string_view(r.entry) == "link")
            fs::create_symlink("nowhere", trash("files/" + entry));
        const auto when =
            std::chrono::duration_cast<std::chrono::nanoseconds>((now - r.age).time_since_epoch());
        const timespec times[2] = {{when.count() / 1000000000, when.count() % 1000000000},
                                   {when.count() / 1000000000, when.count() % 1000000000}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        if (r.kept)
            expected.insert(r.name);
    }
    ASSERT_EQ(Scanner::moveToTrash({home.at("item")}, "命令行"), std::vector<MoveOutcome>{Moved});
    std::set<std::string> left = namesIn(trash("info"));
    EXPECT_EQ(
        std::erase_if(left, [](const std::string& n) { return n.ends_with(" item.trashinfo"); }),
        1u);
    EXPECT_EQ(left, expected);
}

TEST(DesktopTrash, RefusesATrashWhoseFoldersAreLinks)
{
    for (const char* rel : {"Trash", "Trash/files", "Trash/info"}) {
        TestHome home;
        home.file("item", "x");
        home.dir("elsewhere");
        if (std::string(rel) != "Trash")
            fs::create_directories(trash(std::string(rel) == "Trash/files" ? "info" : "files"));
        else
            fs::create_directories(Platform::dataHome());
        fs::create_directory_symlink(home.at("elsewhere"), Platform::dataHome() + "/" + rel);
        EXPECT_EQ(Scanner::trashPaths({home.at("item")}), 0) << rel;
        EXPECT_TRUE(fs::exists(home.at("item"))) << rel;
        EXPECT_TRUE(namesIn(home.at("elsewhere")).empty()) << rel;
        EXPECT_FALSE(DesktopTrash::open(trash(), true)) << rel;
    }
    TestHome home;
    home.file("item", "x");
    home.file(".local/share/Trash", "a file, not a folder");
    EXPECT_EQ(Scanner::trashPaths({home.at("item")}), 0);
    EXPECT_TRUE(fs::exists(home.at("item")));
}

TEST(DesktopTrash, AFolderSwappedForALinkAfterTheScanMovesNothingOutside)
{
    constexpr long long kMiB = 1024 * 1024;
    // Which folder above the scanned cache is swapped: its own application
    // folder, or the whole settings folder.
    for (const char* swapped : {".config/Code", ".config"}) {
        TestHome home;
        home.sizedFile(".config/Code/Cache/blob", 3 * kMiB);
        home.file("Documents/project/Cache/thesis.txt", "years of work");
        home.file("Documents/project/Code/Cache/thesis.txt", "years of work");
        std::vector<std::string> found;
        for (const auto& item : Scanner::cacheItems())
            found.push_back(item.path);
        ASSERT_EQ(found, std::vector<std::string>{home.at(".config/Code/Cache")}) << swapped;

        fs::rename(home.at(swapped), home.at(std::string(swapped) + ".old"));
        fs::create_directory_symlink(home.at("Documents/project"), home.at(swapped));
        EXPECT_EQ(Scanner::moveToTrash(found, ""), std::vector<MoveOutcome>{MoveOutcome::Failed})
            << swapped;
        EXPECT_EQ(Files::read(home.at("Documents/project/Cache/thesis.txt")), "years of work");
        EXPECT_EQ(Files::read(home.at("Documents/project/Code/Cache/thesis.txt")), "years of work");
        EXPECT_TRUE(namesIn(trash("files")).empty()) << swapped;
        EXPECT_TRUE(namesIn(trash("info")).empty()) << swapped;
    }
}

TEST(DesktopTrash, TheDesktopsToolsListAndRestoreTheEntries)
{
    if (access("/usr/bin/gio", X_OK) != 0 || access("/usr/bin/dbus-run-session", X_OK) != 0 ||
        access("/usr/libexec/gvfsd-trash", X_OK) != 0)
        GTEST_SKIP() << "needs gio, dbus-run-session and gvfs (libglib2.0-bin, dbus, gvfs)";
    TestHome home;
    home.file("Documents/report final.txt", "final");
    home.file("Documents/100% é + more.txt", "more");
    EXPECT_EQ(Scanner::trashPaths(
                  {home.at("Documents/report final.txt"), home.at("Documents/100% é + more.txt")}),
              2);

    // gio talks to the trash backend of gvfs over a private session bus.
    auto gio = [](const std::vector<std::string>& args) {
        std::vector<std::string> all = {"--", "/usr/bin/gio"};
        all.insert(all.end(), args.begin(), args.end());
        return TestSupport::runProgram("/usr/bin/dbus-run-session", all);
    };
    auto listing =
        gio({"list", "-u", "-a", "standard::display-name,trash::orig-path", "trash:///"});
    ASSERT_EQ(listing.status, 0);
    // One line per entry: its URI, size, type, then the attributes.
    std::map<std::string, std::string> uriByName;
    std::set<std::string> origins;
    const std::regex line(
        R"(^(trash:///\S+)\t.*standard::display-name=(.*) trash::orig-path=(.*)$)");
    for (auto text : Strings::split(listing.out, '\n')) {
        std::smatch m;
        std::string l(text);
        ASSERT_TRUE(std::regex_match(l, m, line)) << l;
        uriByName[m[2].str()] = m[1].str();
        origins.insert(unescapeBytes(m[3].str()));
    }
    EXPECT_EQ(uriByName.size(), 2u);
    ASSERT_TRUE(uriByName.count("report final.txt")) << listing.out;
    EXPECT_TRUE(uriByName.count("100% é + more.txt")) << listing.out;
    EXPECT_EQ(origins, (std::set<std::string>{home.at("Documents/report final.txt"),
                                              home.at("Documents/100% é + more.txt")}));

    // Restore puts the item back where it was and takes its record away.
    EXPECT_EQ(gio({"trash", "--restore", uriByName["report final.txt"]}).status, 0);
    EXPECT_EQ(Files::read(home.at("Documents/report final.txt")), "final");
    EXPECT_EQ(namesIn(trash("files")).size(), 1u);
    EXPECT_EQ(namesIn(trash("info")).size(), 1u);

    // Empty Trash leaves the desktop's Trash empty as gio sees it.
    EXPECT_TRUE(Scanner::emptyTrash());
    listing = gio({"list", "trash:///"});
    EXPECT_EQ(listing.status, 0);
    EXPECT_EQ(listing.out, "");
}
