// SPDX-License-Identifier: GPL-3.0-or-later
// The large-file search over fixture homes. The exact output of the plain
// find expression (the three trees filtered, not pruned) is the reference
// the pruned search must match, file for file and in the same order.
#include "LargeFiles.h"
#include "Platform.h"
#include "Runner.h"
#include "Strings.h"
#include "TestHome.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr long long kMiB = 1024 * 1024;

// What the unpruned expression lists, turned into paths the way the search
// does: sizes read, largest first, equal sizes in find's order.
std::vector<std::string> reference(const std::string& home, int minMB)
{
    std::vector<std::string> args = {home,
                                     "-type",
                                     "f",
                                     "-size",
                                     "+" + std::to_string(minMB) + "M",
                                     "-not",
                                     "-path",
                                     "*/.Trash/*",
                                     "-not",
                                     "-path",
                                     "*/node_modules/*",
                                     "-not",
                                     "-path",
                                     "*/Library/Caches/*"};
    // On Linux also the desktop's Trash and the XDG cache folder (whose
    // names hold no pattern characters here).
    if (!Platform::kIsMac)
        for (const auto& folder : {Platform::desktopTrash(), Platform::cacheHome()})
            args.insert(args.end(), {"-not", "-path", folder + "/*"});
    std::string out = Shell::run("/usr/bin/find", args);
    std::vector<std::pair<std::string, long long>> files;
    for (auto line : Strings::split(out, '\n')) {
        struct stat st = {};
        std::string path(line);
        if (::lstat(path.c_str(), &st) == 0 && st.st_size > 0)
            files.emplace_back(path, st.st_size);
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<std::string> paths;
    for (const auto& f : files)
        paths.push_back(f.first);
    return paths;
}

std::vector<std::string> paths(const std::vector<ScanItem>& items)
{
    std::vector<std::string> out;
    for (const auto& item : items)
        out.push_back(item.path);
    return out;
}

} // namespace

TEST(LargeFiles, ListsExactlyWhatTheUnprunedSearchLists)
{
    TestSupport::TestHome home;
    const std::pair<const char*, long long> files[] = {
        {"Downloads/movie one.mkv", 6 * kMiB},
        {"Documents/tab\tand \"quotes\" 'x'.bin", 5 * kMiB},
        {"Documents/same-a.bin", 3 * kMiB},
        {"Documents/same-b.bin", 3 * kMiB},
        {"small.txt", kMiB}, // +1M needs more than one whole MiB
        // Excluded trees, at the top and further down.
        {".Trash/old.iso", 7 * kMiB},
        {"a/.Trash/deep/old.iso", 7 * kMiB},
        {"proj/node_modules/pkg/blob.js", 7 * kMiB},
        {"proj/node_modules/pkg/node_modules/inner.js", 7 * kMiB},
        {"Library/Caches/cache.bin", 7 * kMiB},
        {"x/Library/Caches/deep/cache.bin", 7 * kMiB},
        // Files that only look like those trees are listed.
        {"other/node_modules", 4 * kMiB},
        {"other/.Trash", 4 * kMiB},
        {"z/Library/Caches", 4 * kMiB},
        {"Library/CachesOld/kept.bin", 4 * kMiB},
        {"xLibrary/Caches/kept.bin", 4 * kMiB},
        {".Trashcan/kept.bin", 4 * kMiB},
        // The desktop's Trash and the XDG cache folder (on Linux), and
        // folders of the same names elsewhere, which are listed.
        {".local/share/Trash/files/2024-03-05_0907 old.iso", 7 * kMiB},
        {".cache/pip/wheel.bin", 7 * kMiB},
        {"Videos/.cache/kept.bin", 4 * kMiB},
        {"other/.local/share/Trash/kept.bin", 4 * kMiB},
    };
    for (const auto& [rel, size] : files)
        home.sizedFile(rel, size);
    home.file("empty.bin");
    home.sizedFile("elsewhere/linked.bin", 8 * kMiB);
    std::filesystem::create_symlink(home.at("elsewhere"), home.at("proj/node_modules/link"));
    std::filesystem::create_symlink(home.at("elsewhere/linked.bin"), home.at("file-link.bin"));
    std::filesystem::remove(home.at("elsewhere/linked.bin"));

    auto items = Scanner::largeFiles(1);
    EXPECT_EQ(paths(items), reference(home.path(), 1));
    EXPECT_EQ(items.size(), Platform::kIsMac ? 14u : 12u);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].name, "movie one.mkv");
    EXPECT_EQ(items[0].note, home.at("Downloads"));
    EXPECT_EQ(items[0].size, 6 * kMiB);
    EXPECT_EQ(items[0].kind, ItemKind::Large);
    EXPECT_EQ(items[0].risk, Risk::Data);

    // A cache folder whose name holds pattern characters is left out as
    // itself, and only itself.
    if (!Platform::kIsMac) {
        home.sizedFile("my [c]ache*/blob.bin", 5 * kMiB);
        home.sizedFile("my cache/kept.bin", 5 * kMiB);
        setenv("XDG_CACHE_HOME", home.at("my [c]ache*").c_str(), 1);
        auto again = paths(Scanner::largeFiles(4));
        EXPECT_EQ(std::count(again.begin(), again.end(), home.at("my [c]ache*/blob.bin")), 0);
        EXPECT_EQ(std::count(again.begin(), again.end(), home.at("my cache/kept.bin")), 1);
        EXPECT_EQ(std::count(again.begin(), again.end(), home.at(".cache/pip/wheel.bin")), 1);
    }

    // With a home inside an excluded tree nothing is listed, pruned or not.
    home.sizedFile("node_modules/inner home/file.bin", 3 * kMiB);
    setenv("HOME", home.at("node_modules/inner home").c_str(), 1);
    EXPECT_TRUE(Scanner::largeFiles(1).empty());
    EXPECT_TRUE(reference(home.at("node_modules/inner home"), 1).empty());
}

TEST(LargeFiles, PassesTheThresholdToFindAsWholeMebibytes)
{
    TestSupport::TestHome home;
    home.file("one byte", "x");
    home.file("empty");
    home.sizedFile("two", 2 * kMiB);
    auto all = Scanner::largeFiles(0);
    EXPECT_EQ(paths(all), (std::vector<std::string>{home.at("two"), home.at("one byte")}));
    EXPECT_EQ(paths(Scanner::largeFiles(1)), (std::vector<std::string>{home.at("two")}));
    EXPECT_TRUE(Scanner::largeFiles(2).empty());
    EXPECT_TRUE(Scanner::largeFiles(-5).empty()); // "+-5M": find refuses it
}

TEST(LargeFiles, OddNamesNeitherHideOtherFilesNorBringInStrangers)
{
    TestSupport::TestHome home;
    TestSupport::TestHome outside; // a second folder, standing in for the rest of the disk
    setenv("HOME", home.path().c_str(), 1);
    outside.sizedFile("secret.bin", 3 * kMiB);

    home.sizedFile("Downloads/big.iso", 4 * kMiB);
    home.sizedFile("Downloads/bad \xff\xfe name.bin", 5 * kMiB);
    home.sizedFile("Downloads/line\nfeed.bin", 5 * kMiB);
    // Names with a line feed whose pieces look like other paths: a folder of
    // the home, a file outside it, and a file the search lists anyway.
    home.dir("odd");
    home.sizedFile("odd\n" + outside.path().substr(1) + "/secret.bin", 3 * kMiB);
    home.sizedFile("dup\n" + home.path().substr(1) + "/Downloads/big.iso", 3 * kMiB);

    // Records end with NUL on Linux: the file with a line feed in its name is
    // listed under its whole name, and never as the file its pieces name; a
    // name that is not UTF-8 is kept with its bytes.
    auto items = Scanner::largeFiles(1);
    std::vector<std::string> want = {home.at("Downloads/big.iso")};
    if constexpr (!Platform::kIsMac)
        want = {home.at("Downloads/bad \xff\xfe name.bin"), home.at("Downloads/line\nfeed.bin"),
                home.at("Downloads/big.iso"),
                home.at("odd\n" + outside.path().substr(1) + "/secret.bin"),
                home.at("dup\n" + home.path().substr(1) + "/Downloads/big.iso")};
    auto got = paths(items);
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want);
}

TEST(LargeFiles, ANameThatIsNotUtf8HidesNothing)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "find prints NUL-ended records on Linux only";
    TestSupport::TestHome home;
    // No line feed anywhere: all of find's records make one "line".
    home.sizedFile("Downloads/movie.mkv", 4 * kMiB);
    home.sizedFile("Downloads/caf\xe9.bin", 3 * kMiB); // Latin-1
    home.sizedFile("Videos/clip.mp4", 2 * kMiB);
    EXPECT_EQ(
        paths(Scanner::largeFiles(1)),
        (std::vector<std::string>{home.at("Downloads/movie.mkv"), home.at("Downloads/caf\xe9.bin"),
                                  home.at("Videos/clip.mp4")}));
}

TEST(LargeFiles, StoresOtherProgramsManageAreNotOffered)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "these stores are Linux's";
    TestSupport::TestHome home;
    for (const char* rel :
         {".local/share/containers/storage/overlay/l1/diff/layer.tar",
          ".local/share/flatpak/repo/objects/ab/cd.file", ".local/share/docker/volumes/v/data.bin",
          ".local/share/Steam/steamapps/common/Game/data.pak",
          ".var/app/org.example.App/data/blob.bin", "snap/firefox/common/blob.bin",
          ".local/share/gnome-boxes/images/vm.qcow2", ".local/share/libvirt/images/vm.qcow2",
          ".local/share/Trash/files/old.iso", ".cache/pip/wheel.bin"})
        home.sizedFile(rel, 3 * kMiB);
    // Beside them, what the user keeps.
    for (const char* rel :
         {".local/share/Steam/screenshots/shot.png", ".local/share/containers-notes.bin",
          "snapshots/disk.img", "Documents/vm.qcow2"})
        home.sizedFile(rel, 2 * kMiB);
    auto got = paths(Scanner::largeFiles(1));
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{home.at(".local/share/Steam/screenshots/shot.png"),
                                             home.at(".local/share/containers-notes.bin"),
                                             home.at("Documents/vm.qcow2"),
                                             home.at("snapshots/disk.img")}));
    // The same stores under a data folder of the user's choice.
    setenv("XDG_DATA_HOME", home.at("data").c_str(), 1);
    home.sizedFile("data/containers/storage/layer.tar", 3 * kMiB);
    home.sizedFile("data/Steam/steamapps/common/Game/data.pak", 3 * kMiB);
    got = paths(Scanner::largeFiles(1));
    EXPECT_EQ(std::count_if(got.begin(), got.end(),
                            [&](const std::string& p) { return p.starts_with(home.at("data/")); }),
              0);
}

TEST(LargeFiles, AHomeThatIsNotAnAbsolutePathIsNotSearched)
{
    // Such a home would reach find as an expression: "-delete" would remove
    // the files of the working folder. Run from a scratch folder all the same.
    TestSupport::TestHome scratch;
    scratch.sizedFile("canary", 2 * kMiB);
    auto before = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    for (const char* home : {"-delete", "relative"}) {
        setenv("HOME", home, 1);
        EXPECT_TRUE(Scanner::largeFiles(0).empty()) << home;
    }
    std::filesystem::current_path(before);
    EXPECT_TRUE(std::filesystem::exists(scratch.at("canary")));
}
