// SPDX-License-Identifier: GPL-3.0-or-later
// System readings on this machine, and the Trash and login agents of a fixture
// home folder. Empty Trash runs only inside such a folder.
#include "System.h"
#include "Measure.h"
#include "Platform.h"
#include "TestHome.h"

#include "DesktopTrash.h"
#include "Files.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using TestSupport::TestHome;

TEST(System, VolumeAndMemoryAreConsistent)
{
    VolumeInfo vol = Scanner::volume();
    EXPECT_GT(vol.total, 0);
    EXPECT_LE(vol.free, vol.total);
    auto mem = Scanner::memory();
    EXPECT_EQ(mem.total, Platform::physicalMemory());
    EXPECT_GT(mem.free, 0);
    EXPECT_LE(mem.free, mem.total);
}

TEST(System, ProcessesAreTheLargestFirst)
{
    auto procs = Scanner::processes(3);
    ASSERT_FALSE(procs.empty());
    EXPECT_LE(procs.size(), 3u);
    for (size_t i = 1; i < procs.size(); ++i)
        EXPECT_GE(procs[i - 1].rss, procs[i].rss);
    auto all = Scanner::processes(100000);
    bool self = false;
    for (const auto& p : all)
        self = self || p.pid == getpid();
    EXPECT_TRUE(self);
    EXPECT_TRUE(Scanner::processes(0).empty());
    EXPECT_GT(Scanner::ownMemory(), 0);
    EXPECT_EQ(Scanner::ownMemory() % 1024, 0);
}

// A program whose name is longer than the kernel keeps is listed whole.
TEST(System, ProcessesHaveTheirWholeNames)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "the names come from /proc";
    TestHome home;
    const std::string program = home.at("a-program-with-a-long-name");
    fs::copy_file("/bin/sleep", program);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(program.c_str(), program.c_str(), "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string name;
    for (int tries = 0; tries < 200 && name != "a-program-with-a-long-name"; ++tries) {
        for (const auto& p : Scanner::processes(100000))
            if (p.pid == child)
                name = p.name;
        if (name != "a-program-with-a-long-name")
            usleep(20000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(name, "a-program-with-a-long-name");
}

// The disk card reads the file system that holds the home folder: a small
// file system mounted on the home (in a mount namespace of its own) is what
// it reports.
TEST(System, VolumeIsTheHomeFolderFileSystem)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "the Mac volume is the start-up disk";
    TestHome home;
    const int status = TestSupport::runInChild(true, false, [&] {
        if (::mount("tidlo", home.path().c_str(), "tmpfs", 0, "size=8m") != 0)
            return TestSupport::kNoSetUp;
        const VolumeInfo vol = Scanner::volume();
        return vol.total == 8 * 1024 * 1024 && vol.free > 0 && vol.free <= vol.total ? 0 : 1;
    });
    if (status == TestSupport::kNoSetUp)
        GTEST_SKIP() << "mounting is not permitted here";
    EXPECT_EQ(status, 0);
}

// Fixture trees shaped like Snapper's and Timeshift's below a root folder.
TEST(System, SnapshotsOfSnapperAndTimeshift)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "Btrfs snapshots are Linux's";
    TestHome home;
    const std::string root = home.at("root");
    EXPECT_TRUE(Scanner::snapshotListBelow(root, "").empty()) << "no snapshot folders: none";
    struct statfs fs = {};
    if (::statfs(home.path().c_str(), &fs) == 0 && fs.f_type != 0x9123683E) {
        EXPECT_TRUE(Scanner::snapshots().empty()) << "a home that is not on Btrfs has none";
    }

    home.dir("root/.snapshots/1/snapshot");
    home.file("root/.snapshots/1/info.xml",
              "<?xml version=\"1.0\"?>\n<snapshot>\n  <type>single</type>\n  <num>1</num>\n"
              "  <date>2024-03-05 09:07:01</date>\n"
              "  <description>first root filesystem</description>\n</snapshot>\n");
    home.dir("root/.snapshots/12/snapshot");
    home.file("root/.snapshots/12/info.xml",
              "<snapshot><date>2024-04-01 10:00:00</date>"
              "<description>apt &amp; more</description></snapshot>");
    home.dir("root/.snapshots/7"); // no snapshot folder: not one
    home.dir("root/.snapshots/grub-snapshot.cfg");
    home.dir("root/home/.snapshots/3/snapshot"); // no info.xml
    home.file("root/etc/snapper/configs/home", "SUBVOLUME=\"/home\"\nFSTYPE=\"btrfs\"\n");
    home.dir("root/timeshift-btrfs/snapshots/2024-03-05_09-00-01/@");
    home.dir("root/timeshift-btrfs/snapshots/2024-03-05_09-00-01/@home");
    home.dir("root/timeshift-btrfs/snapshots/odd 'name'/@home");
    home.dir("root/timeshift-btrfs/snapshots/empty");
    // The same snapshots where Timeshift mounts its device: listed once.
    home.dir("root/run/timeshift/backup/timeshift-btrfs/snapshots/2024-03-05_09-00-01/@");
    home.dir("root/run/timeshift/backup/timeshift-btrfs/snapshots/2024-06-01_12-30-00/@");

    std::vector<std::string> got;
    for (const auto& s : Scanner::snapshotListBelow(root, "")) {
        EXPECT_EQ(s.size, -1) << s.name;
        got.push_back(s.name + " | " + s.path.substr(root.size()) + " | " + s.date + " | " +
                      s.deleteCommand);
    }
    EXPECT_EQ(got, (std::vector<std::string>{
                       "1 (first root filesystem) | /.snapshots/1/snapshot | 2024-03-05 09:07:01 | "
                       "sudo snapper delete 1",
                       "12 (apt & more) | /.snapshots/12/snapshot | 2024-04-01 10:00:00 | "
                       "sudo snapper delete 12",
                       "3 | /home/.snapshots/3/snapshot |  | sudo snapper -c 'home' delete 3",
                       "2024-03-05_09-00-01 (@, @home) | /timeshift-btrfs/snapshots/"
                       "2024-03-05_09-00-01 | 2024-03-05 09:00:01 | sudo timeshift --delete "
                       "--snapshot '2024-03-05_09-00-01'",
                       "odd 'name' (@home) | /timeshift-btrfs/snapshots/odd 'name' |  | sudo "
                       "timeshift --delete --snapshot 'odd '\\''name'\\'''",
                       "2024-06-01_12-30-00 (@) | /run/timeshift/backup/timeshift-btrfs/snapshots/"
                       "2024-06-01_12-30-00 | 2024-06-01 12:30:00 | sudo timeshift --delete "
                       "--snapshot '2024-06-01_12-30-00'",
                   }));
    // Without a Snapper configuration for /home, the subvolume itself.
    fs::remove_all(home.at("root/etc"));
    const auto again = Scanner::snapshotListBelow(root, "");
    ASSERT_EQ(again.size(), got.size());
    EXPECT_EQ(again[2].deleteCommand, "sudo btrfs subvolume delete '/home/.snapshots/3/snapshot'");
}

TEST(System, TrashSizeCountsEveryEntryOfBothTrashes)
{
    TestHome home;
    EXPECT_EQ(Scanner::trashSize().count, 0); // no Trash folder
    home.file(".Trash/.DS_Store", "x");
    home.sizedFile(".Trash/old/file", 20000);
    auto trash = Scanner::trashSize();
    EXPECT_EQ(trash.count, 1); // .DS_Store stays when the Trash is emptied
    EXPECT_EQ(trash.size, Scanner::sizeOf(home.at(".Trash/old")));
    if (Platform::kIsMac)
        return;

    home.sizedFile(".local/share/Trash/files/2024-03-05_0907 a/blob", 30000);
    home.file(".local/share/Trash/files/2024-03-05_0907 b", "b");
    home.file(".local/share/Trash/info/2024-03-05_0907 a.trashinfo", "[Trash Info]\n");
    home.file(".local/share/Trash/info/2024-03-05_0907 b.trashinfo", "[Trash Info]\n");
    trash = Scanner::trashSize();
    EXPECT_EQ(trash.count, 3);
    EXPECT_EQ(trash.size,
              Scanner::sizeOf(home.at(".local/share/Trash/files/2024-03-05_0907 a")) +
                  Scanner::sizeOf(home.at(".local/share/Trash/files/2024-03-05_0907 b")) +
                  Scanner::sizeOf(home.at(".Trash/old")));

    // A files folder that is a link is not the Trash: nothing of it counts.
    fs::rename(home.at(".local/share/Trash/files"), home.at("moved"));
    fs::create_directory_symlink(home.at("moved"), home.at(".local/share/Trash/files"));
    EXPECT_EQ(Scanner::trashSize().count, 1);
}

TEST(System, EmptyTrashKeepsDsStoreAndLinkTargets)
{
    TestHome home;
    EXPECT_FALSE(Scanner::emptyTrash()); // no Trash folder to list
    home.file(".Trash/.DS_Store", "x");
    home.file(".Trash/one/a", "x");
    home.file(".Trash/two/b/c", "x");
    home.file(".Trash/loose", "x");
    home.file("Documents/keep/me", "x");
    fs::create_directory_symlink(home.at("Documents/keep"), home.at(".Trash/link"));
    EXPECT_TRUE(Scanner::emptyTrash());
    EXPECT_TRUE(fs::exists(home.at(".Trash/.DS_Store")));
    EXPECT_EQ(Scanner::trashSize().count, 0);
    EXPECT_TRUE(fs::exists(home.at("Documents/keep/me")));
    EXPECT_TRUE(Scanner::emptyTrash()); // only .DS_Store left
}

TEST(System, EmptyTrashEmptiesTheDesktopsTrashAndKeepsItsFolders)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "the Mac has only ~/.Trash";
    TestHome home;
    const std::string trash = home.at(".local/share/Trash");
    home.file("Documents/keep/me", "x");
    home.file("Documents/keep2/me", "x");
    home.file(".local/share/Trash/files/s a/deep/er", "x");
    fs::create_directory_symlink(home.at("Documents/keep2"), trash + "/files/s a/link");
    fs::create_directory_symlink(home.at("Documents/keep"), trash + "/files/s link");
    for (const char* record : {"s a", "s link", "stray"})
        home.file(".local/share/Trash/info/" + std::string(record) + ".trashinfo",
                  "[Trash Info]\n");
    home.file(".local/share/Trash/expunged/x/y", "x");
    home.file(".local/share/Trash/directorysizes", "4096 0 s%20a\n");
    // Without ~/.Trash the desktop's Trash alone is emptied.
    EXPECT_TRUE(Scanner::emptyTrash());
    for (const char* folder : {"files", "info", "expunged"}) {
        EXPECT_TRUE(fs::is_directory(trash + "/" + folder)) << folder;
        EXPECT_TRUE(fs::is_empty(trash + "/" + folder)) << folder;
    }
    EXPECT_FALSE(fs::exists(trash + "/directorysizes"));
    EXPECT_TRUE(fs::exists(home.at("Documents/keep/me")));
    EXPECT_TRUE(fs::exists(home.at("Documents/keep2/me")));
    EXPECT_EQ(Scanner::trashSize().count, 0);

    // A Trash without its info folder is emptied all the same.
    fs::remove(trash + "/info");
    home.file(".local/share/Trash/files/s b", "x");
    EXPECT_TRUE(Scanner::emptyTrash());
    EXPECT_TRUE(fs::is_empty(trash + "/files"));

    // A Trash whose files folder is a link is refused: what it leads to stays.
    fs::remove(trash + "/files");
    fs::create_directory_symlink(home.at("Documents"), trash + "/files");
    EXPECT_FALSE(Scanner::emptyTrash());
    EXPECT_TRUE(fs::exists(home.at("Documents/keep/me")));
}

TEST(System, EmptyTrashNeverReachesThroughLinksOrMounts)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "the desktop's Trash and mount namespaces are Linux's";
    // Hostile Trash homes. Each has the user's documents and, where the
    // desktop's Trash is a real one, one plain entry; what is mounted is
    // mounted in a child's own mount namespace and vanishes with it.
    enum class Home {
        HomeTrashIsALink,    // ~/.Trash leads to ~/Documents
        TrashIsALink,        // ~/.local/share/Trash leads to a folder holding files/
        FilesIsALink,        // Trash/files leads to ~/Documents
        EntryIsALink,        // an entry leads to a folder outside
        EntryIsABindMount,   // an entry is ~/Documents mounted again
        EntryIsAnotherFs,    // an entry is a file system of its own
        FilesIsABindMount,   // Trash/files is ~/Documents mounted again
        HomeTrashEntryMount, // an entry of ~/.Trash is ~/Documents mounted again
    };
    struct Case
    {
        Home home;
        bool mounts;
        int count; // what the Trash reading shows before
        int otherDevice;
        bool all;
    };
    const Case cases[] = {
        {Home::HomeTrashIsALink, false, 1, 0, false},
        {Home::TrashIsALink, false, 0, 0, false},
        {Home::FilesIsALink, false, 0, 0, false},
        {Home::EntryIsALink, false, 2, 0, true},
        {Home::EntryIsABindMount, true, 1, 1, false},
        {Home::EntryIsAnotherFs, true, 1, 1, false},
        {Home::FilesIsABindMount, true, 0, 1, false},
        {Home::HomeTrashEntryMount, true, 1, 1, false},
    };
    std::vector<std::string> skipped;
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.home));
        TestHome home;
        home.file("Documents/keep/me", "precious");
        home.file("Documents/files/also", "precious"); // a files folder of its own
        const std::string trash = home.at(".local/share/Trash");
        auto plainEntry = [&] {
            home.file(".local/share/Trash/files/plain", "x");
            home.file(".local/share/Trash/info/plain.trashinfo", "[Trash Info]\n");
        };
        switch (c.home) {
        case Home::HomeTrashIsALink:
            fs::create_directory_symlink(home.at("Documents"), home.at(".Trash"));
            plainEntry();
            break;
        case Home::TrashIsALink:
            home.dir(".local/share");
            fs::create_directory_symlink(home.at("Documents"), trash);
            break;
        case Home::FilesIsALink:
            home.dir(".local/share/Trash/info");
            fs::create_directory_symlink(home.at("Documents"), trash + "/files");
            break;
        case Home::EntryIsALink:
            plainEntry();
            fs::create_directory_symlink(home.at("Documents/keep"), trash + "/files/link");
            break;
        case Home::EntryIsABindMount:
        case Home::EntryIsAnotherFs:
            plainEntry();
            home.dir(".local/share/Trash/files/mounted");
            break;
        case Home::FilesIsABindMount:
            home.dir(".local/share/Trash/files");
            home.dir(".local/share/Trash/info");
            break;
        case Home::HomeTrashEntryMount:
            plainEntry();
            home.dir(".Trash/mounted");
            break;
        }
        // The child reports what it saw in its exit status: the count
        // (bits 0-1), the folders left on another device (bits 2-3), all
        // (bit 4), and whether every kept file is still there (bit 5).
        const int status = TestSupport::runInChild(c.mounts, false, [&]() -> int {
            auto bind = [](const std::string& from, const std::string& to) {
                return ::mount(from.c_str(), to.c_str(), nullptr, MS_BIND, nullptr) == 0;
            };
            std::vector<std::string> kept = {home.at("Documents/keep/me"),
                                             home.at("Documents/files/also")};
            bool set = true;
            if (c.home == Home::EntryIsABindMount)
                set = bind(home.at("Documents"), trash + "/files/mounted");
            if (c.home == Home::FilesIsABindMount)
                set = bind(home.at("Documents"), trash + "/files");
            if (c.home == Home::HomeTrashEntryMount)
                set = bind(home.at("Documents"), home.at(".Trash/mounted"));
            if (c.home == Home::EntryIsAnotherFs) {
                set =
                    ::mount("tmpfs", (trash + "/files/mounted").c_str(), "tmpfs", 0, nullptr) == 0;
                kept.push_back(trash + "/files/mounted/far");
                Files::writeAtomically(kept.back(), "precious");
            }
            if (!set)
                return TestSupport::kNoSetUp;
            const int count = Scanner::trashSize().count;
            const auto emptied = Scanner::emptyTrashReport();
            bool intact = true;
            for (const auto& path : kept)
                intact = intact && Files::read(path) == "precious";
            return std::min(count, 3) | std::min(emptied.otherDevice, 3) << 2 |
                   int(emptied.all) << 4 | int(intact) << 5;
        });
        if (status == TestSupport::kNoSetUp) {
            skipped.push_back("no mount namespace of its own (unshare, mount)");
            continue;
        }
        ASSERT_GE(status, 0);
        EXPECT_EQ(status & 3, c.count);
        EXPECT_EQ(status >> 2 & 3, c.otherDevice);
        EXPECT_EQ(bool(status & 16), c.all);
        EXPECT_TRUE(status & 32) << "a file outside the Trash was removed";
        // The plain entry goes in every case where the Trash is real.
        EXPECT_FALSE(fs::exists(trash + "/files/plain"));
        EXPECT_TRUE(fs::exists(home.at("Documents/keep/me")));
    }
    if (!skipped.empty())
        GTEST_SKIP() << skipped.size() << " cases were not tried: " << skipped.front();
}

TEST(System, EmptyTrashGoesOnAfterAFailedRemoval)
{
    if (!TestSupport::canDropPrivileges())
        GTEST_SKIP() << "needs root to switch to an unprivileged user";
    TestHome home;
    home.file(".Trash/mine/a", "x");
    home.file(".Trash/locked/b", "x");
    home.file(".local/share/Trash/files/mine/a", "x");
    home.file(".local/share/Trash/files/locked/b", "x");
    home.file(".local/share/Trash/info/mine.trashinfo", "x");
    home.file(".local/share/Trash/info/locked.trashinfo", "x");
    // The unprivileged user owns the Trash and one folder; the other folder
    // stays root's, so its content cannot be removed.
    fs::permissions(home.path(), fs::perms(0755));
    for (const char* rel :
         {".Trash", ".Trash/mine", ".Trash/mine/a", ".local", ".local/share", ".local/share/Trash",
          ".local/share/Trash/files", ".local/share/Trash/files/mine",
          ".local/share/Trash/files/mine/a", ".local/share/Trash/info",
          ".local/share/Trash/info/mine.trashinfo", ".local/share/Trash/info/locked.trashinfo"})
        ASSERT_EQ(chown(home.at(rel).c_str(), 65534, 65534), 0);
    pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(3);
        _exit(Scanner::emptyTrash() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_FALSE(fs::exists(home.at(".Trash/mine")));
    EXPECT_TRUE(fs::exists(home.at(".Trash/locked/b")));
    if (Platform::kIsMac)
        return;
    // The entry that stays keeps its record, so it can still be restored.
    EXPECT_FALSE(fs::exists(home.at(".local/share/Trash/files/mine")));
    EXPECT_FALSE(fs::exists(home.at(".local/share/Trash/info/mine.trashinfo")));
    EXPECT_TRUE(fs::exists(home.at(".local/share/Trash/files/locked/b")));
    EXPECT_TRUE(fs::exists(home.at(".local/share/Trash/info/locked.trashinfo")));
}

// Go keeps its module cache read-only, folders too; once it is in the
// Trash, Empty Trash still removes it whole for the user who owns it.
TEST(System, EmptyTrashRemovesTheUsersReadOnlyFolders)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "the desktop's Trash";
    if (!TestSupport::canDropPrivileges())
        GTEST_SKIP() << "needs root to switch to an unprivileged user";
    TestHome home;
    home.file(".local/share/Trash/files/mod/example.com/v1/go.mod", "module x");
    home.file(".local/share/Trash/info/mod.trashinfo", "x");
    fs::permissions(home.path(), fs::perms(0755));
    for (const auto& entry : fs::recursive_directory_iterator(home.at(".local")))
        ASSERT_EQ(lchown(entry.path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(lchown(home.at(".local").c_str(), 65534, 65534), 0);
    for (const char* rel :
         {"mod/example.com/v1/go.mod", "mod/example.com/v1", "mod/example.com", "mod"})
        fs::permissions(home.at(".local/share/Trash/files/" + std::string(rel)),
                        rel == std::string("mod/example.com/v1/go.mod") ? fs::perms(0444)
                                                                        : fs::perms(0555));
    const int status =
        TestSupport::runInChild(false, true, [] { return Scanner::emptyTrash() ? 0 : 1; });
    if (status == TestSupport::kNoSetUp)
        GTEST_SKIP() << "no unprivileged user to switch to";
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::is_empty(home.at(".local/share/Trash/files")));
    EXPECT_TRUE(fs::is_empty(home.at(".local/share/Trash/info")));
}

TEST(System, LoginItemsAreAgentLabels)
{
    TestHome home;
    setenv("XDG_CONFIG_DIRS", home.at("xdg").c_str(), 1);
    home.file("Library/LaunchAgents/com.example.sync.plist", "x");
    home.file("Library/LaunchAgents/com.example.a.plist", "x");
    home.file("Library/LaunchAgents/notes.txt", "x");
    home.file("Library/LaunchAgents/upper.PLIST", "x");
    auto items = Scanner::loginItemsFrom("");
    if (fs::exists("/Library/LaunchAgents"))
        GTEST_SKIP() << "this machine has machine-wide agents";
    EXPECT_EQ(items, (std::vector<std::string>{"com.example.a", "com.example.sync"}));
}

// The autostart entries of the user and of the system folders, as a desktop
// session starts them.
TEST(System, LoginItemsAreAutostartEntries)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "autostart folders are Linux's";
    TestHome home;
    setenv("XDG_CONFIG_DIRS", (home.at("xdg1") + ":relative:" + home.at("xdg2")).c_str(), 1);
    const auto entry = [](const std::string& body) {
        return "[Desktop Entry]\nType=Application\n" + body;
    };
    home.file(".config/autostart/sync.desktop", entry("Name=Sync Client\nName[de]=Abgleich\n"));
    home.file(".config/autostart/no-name.desktop", entry("Exec=x\n"));
    home.file(".config/autostart/notes.txt", "Name=Not an entry");
    home.file(".config/autostart/off.desktop",
              entry("Name=Off\nX-GNOME-Autostart-enabled=false\n"));
    // The user hides one system entry and replaces another.
    home.file(".config/autostart/tracker.desktop", entry("Name=Mine\nHidden=true\n"));
    home.file(".config/autostart/applet.desktop", entry("Name=My Applet\n"));
    home.file("xdg1/autostart/tracker.desktop", entry("Name=Tracker\n"));
    home.file("xdg1/autostart/applet.desktop", entry("Name=Applet\n"));
    home.file("xdg1/autostart/agent.desktop",
              entry("Name=Agent\n[Desktop Action x]\nName=Other\n"));
    home.file("xdg1/autostart/disabled.desktop",
              entry("Name=Disabled\nX-GNOME-Autostart-enabled=false\n"));
    home.file("xdg2/autostart/agent.desktop", entry("Name=Agent Again\n"));
    home.file("xdg2/autostart/keyring.desktop", entry("Name=Keyring\nHidden=false\n"));
    EXPECT_EQ(
        Scanner::loginItemsFrom(""),
        (std::vector<std::string>{"Agent", "Keyring", "My Applet", "Sync Client", "no-name"}));
    // systemctl's answer is added when the tool runs; one that fails adds nothing.
    EXPECT_EQ(Scanner::loginItemsFrom("/bin/false").size(), 5u);
}
