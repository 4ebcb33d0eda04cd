// SPDX-License-Identifier: GPL-3.0-or-later
// The content and same-name finders over fixture home folders.
#include "Duplicates.h"
#include "Platform.h"
#include "TestHome.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using TestSupport::TestHome;

namespace {

// size bytes of a repeatable pseudo-random pattern.
std::string bytes(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string out(size, '\0');
    for (auto& c : out)
        c = char(rng() & 0xFF);
    return out;
}

std::vector<std::vector<std::string>> fileLists(const std::vector<DuplicateGroup>& groups)
{
    std::vector<std::vector<std::string>> out;
    for (const auto& g : groups)
        out.push_back(g.files);
    return out;
}

struct DebugOn
{
    DebugOn() { setenv("TID_DEBUG", "1", 1); }
    ~DebugOn() { unsetenv("TID_DEBUG"); }
};

// A file of size bytes that holds no blocks: reading it yields zeros as fast as
// the kernel can hand them out, which for a terabyte still takes minutes.
void sparseFile(const std::string& path, off_t size)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::ftruncate(fd, size), 0) << path;
    ::close(fd);
}

// Waits for a finder run on another thread; when it is still busy after a
// generous while, unblock() ends whatever it waits on (so the test fails
// instead of hanging) and false comes back.
template <class T> bool finishes(std::future<T>& run, const std::function<void()>& unblock)
{
    if (run.wait_for(std::chrono::seconds(20)) == std::future_status::ready)
        return true;
    unblock();
    run.wait();
    return false;
}

} // namespace

TEST(Duplicates, IdenticalFilesFormOneGroup)
{
    TestHome home;
    std::string data = bytes(100000, 1);
    home.file("Downloads/a.bin", data);
    home.file("Documents/deep/b.bin", data);
    home.file("Documents/other.bin", bytes(100000, 2));
    auto groups = Scanner::duplicates();
    ASSERT_EQ(groups.size(), 1u);
    const DuplicateGroup& g = groups[0];
    EXPECT_EQ(g.kind, DuplicateKind::Content);
    EXPECT_EQ(g.size, 100000);
    EXPECT_EQ(g.files, (std::vector<std::string>{home.at("Documents/deep/b.bin"),
                                                 home.at("Downloads/a.bin")}));
    EXPECT_EQ(g.name, "");
    EXPECT_TRUE(g.sameSize);
    EXPECT_FALSE(g.isFolder);
    EXPECT_EQ(g.wasted(), 100000);
}

TEST(Duplicates, DifferentMiddlesAreSplitOff)
{
    // First and last 64 KiB agree, so the quick fingerprints agree; only the
    // whole content tells the files apart.
    TestHome home;
    std::string head = bytes(65536, 3), tail = bytes(65536, 4);
    std::string a = head + bytes(70000, 5) + tail;
    std::string b = head + bytes(70000, 6) + tail;
    home.file("Downloads/a.bin", a);
    home.file("Desktop/b.bin", b);
    EXPECT_EQ(Duplicates::quickFingerprint(home.at("Downloads/a.bin"), int64_t(a.size())),
              Duplicates::quickFingerprint(home.at("Desktop/b.bin"), int64_t(b.size())));
    EXPECT_TRUE(Scanner::duplicates().empty());

    // A third file equal to the first: the pair is kept, the trap left out.
    home.file("Pictures/a copy.bin", a);
    EXPECT_EQ(fileLists(Scanner::duplicates()),
              (std::vector<std::vector<std::string>>{
                  {home.at("Downloads/a.bin"), home.at("Pictures/a copy.bin")}}));

    // Small files are confirmed too: they differ after the first 64 KiB.
    home.file("Documents/s1", head + "one");
    home.file("Documents/s2", head + "two");
    EXPECT_EQ(Scanner::duplicates().size(), 1u);
}

TEST(Duplicates, SizeIsPartOfTheFingerprint)
{
    TestHome home;
    std::string head = bytes(65536, 7);
    home.file("Downloads/a", head + std::string(70000 - 65536, 'x'));
    home.file("Downloads/b", head + std::string(70100 - 65536, 'x'));
    EXPECT_NE(Duplicates::quickFingerprint(home.at("Downloads/a"), 70000),
              Duplicates::quickFingerprint(home.at("Downloads/b"), 70100));
    EXPECT_TRUE(Scanner::duplicates().empty());
    EXPECT_FALSE(Duplicates::quickFingerprint(home.at("Downloads/missing"), 10));
    home.file("Downloads/empty");
    EXPECT_FALSE(Duplicates::quickFingerprint(home.at("Downloads/empty"), 0));
    // MD5 of the bytes "abc" followed by the size text "3".
    home.file("Downloads/abc", "abc");
    EXPECT_EQ(Duplicates::quickFingerprint(home.at("Downloads/abc"), 3),
              "8a8b3aea9e3ca257a31cf91db6d6ba12");
}

TEST(Duplicates, MinimumSizeIsInclusive)
{
    TestHome home;
    std::string at = bytes(65536, 8), below = bytes(65535, 9);
    home.file("Downloads/at1", at);
    home.file("Desktop/at2", at);
    home.file("Downloads/below1", below);
    home.file("Desktop/below2", below);
    auto groups = Scanner::duplicates();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].size, 65536);
}

TEST(Duplicates, SkippedFoldersHiddenEntriesAndLinksAreNeverCandidates)
{
    TestHome home;
    std::string data = bytes(70000, 10);
    home.file("Documents/keep.bin", data);
    for (const char* rel : {"Documents/node_modules/x", "Documents/p/.git/x", "Downloads/Library",
                            "Desktop/Library/x", "Desktop/DerivedData/y", "Documents/.hidden/x",
                            "Documents/.dot.bin", "Pictures/Photos Library.photoslibrary/x"})
        home.file(rel, data);
    fs::create_symlink(home.at("Documents/keep.bin"), home.at("Downloads/link.bin"));
    fs::create_directory_symlink(home.at("Documents"), home.at("Documents/loop"));
    EXPECT_TRUE(Scanner::duplicates().empty());
    home.file(std::string(Platform::kIsMac ? "Movies" : "Videos") + "/real copy", data);
    EXPECT_EQ(Scanner::duplicates().size(), 1u);
}

TEST(Duplicates, HardLinksToOneFileCountOnce)
{
    TestHome home;
    std::string data = bytes(80000, 11);
    home.file("Documents/original", data);
    home.dir("Downloads");
    fs::create_hard_link(home.at("Documents/original"), home.at("Downloads/link"));
    EXPECT_TRUE(Scanner::duplicates().empty()); // one file, two names

    home.file("Desktop/copy", data);
    auto groups = Scanner::duplicates();
    ASSERT_EQ(groups.size(), 1u);
    // One name stands for the linked file (the first in ascending order).
    EXPECT_EQ(groups[0].files,
              (std::vector<std::string>{home.at("Desktop/copy"), home.at("Documents/original")}));
    EXPECT_EQ(groups[0].wasted(), 80000);
}

TEST(Duplicates, LimitStopsTheWalkInRootOrder)
{
    TestHome home;
    std::string data = bytes(66000, 12);
    home.file("Downloads/1", data);
    home.file("Downloads/2", data);
    home.file("Desktop/3", data);
    EXPECT_EQ(Scanner::duplicates(64, 2)[0].files.size(), 2u);
    EXPECT_EQ(Scanner::duplicates(64, 3)[0].files.size(), 3u);
    EXPECT_TRUE(Scanner::duplicates(64, 0).empty());
}

TEST(Duplicates, DebugLinesCountCandidatesPrintsAndGroups)
{
    TestHome home;
    std::string data = bytes(70000, 13);
    home.file("Downloads/a", data);
    home.file("Documents/b", data);
    home.file("Documents/alone", bytes(300000, 14));
    DebugOn debug;
    testing::internal::CaptureStderr();
    Scanner::duplicates();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "DUP collected 3\nDUP hashed 2 groups 1\n");

    // One byte longer shares the bucket of the pair but not its size, so it is
    // never read: the size is part of every fingerprint.
    home.file("Desktop/longer", data + "!");
    testing::internal::CaptureStderr();
    Scanner::duplicates();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "DUP collected 4\nDUP hashed 2 groups 1\n");
    unsetenv("TID_DEBUG");
    testing::internal::CaptureStderr();
    Scanner::duplicates();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(Duplicates, SameNameGroupsComeFirst)
{
    TestHome home;
    std::string small = bytes(70000, 15), large = bytes(500000, 16);
    home.file("Downloads/IMG_0001.JPG", small);
    home.file("Desktop/img_0001.jpg", small);
    home.file("Documents/IMG_0001.JPG", small);
    home.file("Downloads/big-a", large);
    home.file("Desktop/big-b", large);
    auto groups = Scanner::duplicates();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_TRUE(groups[0].sameName());
    EXPECT_EQ(groups[0].files.size(), 3u);
    EXPECT_GT(groups[1].wasted(), groups[0].wasted());
}

TEST(Duplicates, OddNamesAreFound)
{
    TestHome home;
    std::string data = bytes(70000, 17);
    home.file("Downloads/line\nfeed", data);
    home.file("Documents/bad\xff\xfe name", data);
    auto groups = Scanner::duplicates();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].files, (std::vector<std::string>{home.at("Documents/bad\xff\xfe name"),
                                                         home.at("Downloads/line\nfeed")}));
}

TEST(Duplicates, CancelledTokenGivesNothing)
{
    TestHome home;
    std::string data = bytes(70000, 18);
    home.file("Downloads/a", data);
    home.file("Desktop/b", data);
    home.file("Downloads/notes.txt", "x");
    home.file("Desktop/notes.txt", "x");
    CancelToken token;
    token.cancel();
    EXPECT_TRUE(Scanner::duplicates(64, 1500, &token).empty());
    EXPECT_TRUE(Scanner::sameNameGroups(80, &token).empty());
}

TEST(Duplicates, SplitByContentKeepsOrderAndUnreadableFilesAlone)
{
    TestHome home;
    home.file("a", "same");
    home.file("b", "diff");
    home.file("c", "same");
    auto sets =
        Duplicates::splitByContent({home.at("a"), home.at("b"), home.at("missing"), home.at("c")});
    EXPECT_EQ(sets, (std::vector<std::vector<std::string>>{
                        {home.at("a"), home.at("c")}, {home.at("b")}, {home.at("missing")}}));
}

// Between the walk and the read a candidate can be replaced by something that is
// not a regular file. Each is passed over at once: a FIFO without a writer
// would otherwise hold the open for good, a link would be followed out of the
// user's folders, a folder is no content.
TEST(Duplicates, ReadsOnlyRegularFilesAndNeverWaits)
{
    TestHome home;
    std::string data = bytes(70000, 30);
    home.file("Downloads/twin", data);
    home.file("Downloads/outside", data);
    home.dir("Downloads/folder");
    ASSERT_EQ(::mkfifo(home.at("Downloads/fifo").c_str(), 0644), 0);
    fs::create_symlink(home.at("Downloads/outside"), home.at("Downloads/link"));
    // Opening the FIFO for writing releases a reader stuck in its open.
    auto release = [&] {
        int w = ::open(home.at("Downloads/fifo").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (w >= 0)
            ::close(w);
    };
    for (const char* swapped : {"fifo", "link", "folder"}) {
        SCOPED_TRACE(swapped);
        std::string path = home.at(std::string("Downloads/") + swapped);
        auto print = std::async(std::launch::async,
                                [&] { return Duplicates::quickFingerprint(path, 70000); });
        ASSERT_TRUE(finishes(print, release));
        EXPECT_FALSE(print.get().has_value());
        std::string twin = home.at("Downloads/twin");
        auto sets = std::async(std::launch::async, [&] {
            return Duplicates::splitByContent({twin, path});
        });
        ASSERT_TRUE(finishes(sets, release));
        EXPECT_EQ(sets.get(), (std::vector<std::vector<std::string>>{{twin}, {path}}));
    }
    EXPECT_TRUE(Duplicates::quickFingerprint(home.at("Downloads/twin"), 70000).has_value());
}

// Two sparse twins of a terabyte share their fingerprint, so only the full
// comparison could tell them apart. A Cancel stops that comparison between two
// chunks; the unconfirmed group is not reported.
TEST(Duplicates, CancelStopsTheComparisonOfHugeTwins)
{
    TestHome home;
    home.dir("Downloads");
    home.dir("Documents");
    const off_t terabyte = off_t(1) << 40;
    sparseFile(home.at("Downloads/disk.img"), terabyte);
    sparseFile(home.at("Documents/disk.img"), terabyte);
    auto shrink = [&] {
        for (const char* twin : {"Downloads/disk.img", "Documents/disk.img"})
            EXPECT_EQ(::truncate(home.at(twin).c_str(), 0), 0);
    };

    CancelToken early;
    early.cancel();
    EXPECT_TRUE(Duplicates::splitByContent(
                    {home.at("Downloads/disk.img"), home.at("Documents/disk.img")}, &early)
                    .empty());

    CancelToken token;
    auto run =
        std::async(std::launch::async, [&] { return Scanner::duplicates(64, 1500, &token); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    token.cancel();
    ASSERT_TRUE(finishes(run, shrink)) << "the comparison went on after Cancel";
    EXPECT_TRUE(run.get().empty());
}

TEST(SameNames, GroupsFilesWithinHalfAKilobyte)
{
    const std::pair<int, bool> cases[] = {{1512, true}, {1513, false}};
    for (auto [third, grouped] : cases) {
        TestHome home;
        home.file("Downloads/notes.txt", std::string(1000, 'a'));
        home.file("Desktop/x/Notes.TXT", std::string(1200, 'b'));
        home.file("Documents/notes.txt", std::string(size_t(third), 'c'));
        auto groups = Scanner::sameNameGroups();
        ASSERT_EQ(groups.size(), grouped ? 1u : 0u) << third;
        if (grouped) {
            EXPECT_EQ(groups[0].kind, DuplicateKind::Name);
            EXPECT_EQ(groups[0].size, 3712);
            EXPECT_EQ(groups[0].name, "notes.txt"); // as first found: Downloads is walked first
            EXPECT_FALSE(groups[0].isFolder);
            EXPECT_EQ(groups[0].files.front(), home.at("Desktop/x/Notes.TXT"));
        }
    }
}

TEST(SameNames, FoldersGroupWhateverTheirSizes)
{
    TestHome home;
    home.file("Desktop/Build/big", std::string(100000, 'x'));
    home.dir("Documents/build");
    auto groups = Scanner::sameNameGroups();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_TRUE(groups[0].isFolder);
    EXPECT_EQ(groups[0].name, "Build");
    EXPECT_EQ(groups[0].size, 0);
}

TEST(SameNames, JudgesTwelveButListsAllAndSortsByCount)
{
    TestHome home;
    for (int i = 0; i < 20; ++i)
        home.file("Documents/d" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "/same.txt",
                  // the members after the twelfth are far bigger, and not looked at
                  std::string(i < 12 ? 100 : 9000, 'x'));
    home.file("Downloads/pair.txt", "1");
    home.file("Desktop/pair.txt", "2");
    auto groups = Scanner::sameNameGroups();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].files.size(), 20u);
    EXPECT_EQ(groups[0].size, 1200);
    EXPECT_EQ(groups[1].name, "pair.txt");
    EXPECT_EQ(Scanner::sameNameGroups(1).size(), 1u);
}

TEST(SameNames, HiddenNamesSkippedFoldersAndOtherRoots)
{
    TestHome home;
    home.file("Downloads/.DS_Store", "x");
    home.file("Desktop/.DS_Store", "x");
    home.file("Downloads/.config/settings.json", "{}");
    home.file("Documents/settings.json", "{}");
    home.file("Downloads/node_modules/pkg.json", "{}");
    home.file("Documents/pkg.json", "{}");
    home.file("Movies/clip.mov", "x");
    home.file("Pictures/clip.mov", "x");
    home.file("Documents/clip.mov", "x");
    auto groups = Scanner::sameNameGroups();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].name, "settings.json");
}
