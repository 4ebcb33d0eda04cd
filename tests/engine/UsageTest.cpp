// SPDX-License-Identifier: GPL-3.0-or-later
// Top-level and file-type usage: the pure summaries on sample lines, and the
// real du and find runs over a fixture home folder.
#include "Usage.h"
#include "Measure.h"
#include "Platform.h"
#include "TestHome.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>

using TestSupport::TestHome;

namespace {

std::vector<Parse::SizeLine> lines(const std::vector<std::pair<int64_t, std::string>>& rows)
{
    std::vector<Parse::SizeLine> out;
    for (const auto& [size, path] : rows)
        out.push_back({size, path});
    return out;
}

} // namespace

TEST(Usage, SixLargestThenOther)
{
    auto rows = lines({{10, "/h/Desktop"},
                       {90, "/h/Documents"},
                       {80, "/h/Downloads"},
                       {70, "/h/Movies"},
                       {60, "/h/Music"},
                       {50, "/h/Pictures"},
                       {40, "/h/Projects"},
                       {30, "/h/Public"},
                       {20, "/h/Library"},
                       {999, "/h/.Trash"},
                       {999, "/h/.npm"},
                       {5000, "/h"}});
    auto cats = Usage::topLevelFrom(rows, "/h", 75, "en");
    std::vector<Category> want = {
        {"Documents", 90}, {"Downloads", 80}, {"Applications", 75},        {"Movies", 70},
        {"Music", 60},     {"Pictures", 50},  {"Other", 40 + 30 + 20 + 10}};
    EXPECT_EQ(cats, want);

    // Exactly six entries with the applications folder: no Other.
    auto six = Usage::topLevelFrom(
        lines({{1, "/h/a"}, {2, "/h/b"}, {3, "/h/c"}, {4, "/h/d"}, {5, "/h/e"}}), "/h", 6, "en");
    EXPECT_EQ(six.size(), 6u);
    EXPECT_EQ(six.front(), (Category{"Applications", 6}));
    EXPECT_TRUE(Usage::topLevelFrom({}, "/h", 0, "en").empty());
}

TEST(Usage, LinuxHiddenFoldersWhereTheSpaceGoesKeepTheirNames)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Mac home hides them all";
    auto cats = Usage::topLevelFrom(lines({{50, "/h/.cache"},
                                           {40, "/h/.config"},
                                           {30, "/h/.local"},
                                           {20, "/h/.var"},
                                           {999, "/h/.Trash"},
                                           {999, "/h/.mozilla"},
                                           {10, "/h/Documents"}}),
                                    "/h", 0, "zh");
    EXPECT_EQ(cats,
              (std::vector<Category>{
                  {".cache", 50}, {".config", 40}, {".local", 30}, {".var", 20}, {"文稿", 10}}));
}

TEST(Usage, DisplayNamesFollowTheLanguage)
{
    struct Case
    {
        const char* folder;
        const char* zh;
        const char* en;
    };
    // Every XDG user folder by its default name, the Mac ones, and one of the user's.
    const Case cases[] = {
        {"Desktop", "桌面", "Desktop"},       {"Documents", "文稿", "Documents"},
        {"Downloads", "下载", "Downloads"},   {"Music", "音乐", "Music"},
        {"Pictures", "图片", "Pictures"},     {"Public", "公共", "Public"},
        {"Templates", "模板", "Templates"},   {"Videos", "视频", "Videos"},
        {"Movies", "影片", "Movies"},         {".Trash", "回收站", "Trash"}, // the Linux word
        {"Projects", "Projects", "Projects"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Usage::displayName(c.folder, "zh"), c.zh) << c.folder;
        EXPECT_EQ(Usage::displayName(c.folder, "en"), c.en) << c.folder;
    }
}

TEST(Usage, TypeBucketsByExtension)
{
    auto buckets = Usage::typeBucketsFrom(lines({{100, "/h/Pictures/photo.JPG"},
                                                 {300, "/h/Documents/archive.tar.gz"},
                                                 {50, "/h/Desktop/Makefile"},
                                                 {50, "/h/Desktop/.hidden"},
                                                 {300, "/h/Movies/a.mkv"},
                                                 {7, "/h/Music/song.mp3"}}));
    std::vector<std::pair<int, int64_t>> got;
    for (const auto& b : buckets)
        got.emplace_back(b.index, b.size);
    // Equal totals keep index order: video (1) before archives (4).
    EXPECT_EQ(got, (std::vector<std::pair<int, int64_t>>{
                       {1, 300}, {4, 300}, {0, 100}, {6, 100}, {2, 7}}));
    EXPECT_EQ(Usage::bucketIndex("PSD"), 0);
    EXPECT_EQ(Usage::bucketIndex("rs"), 5);
    EXPECT_EQ(Usage::bucketIndex(""), 6);
}

TEST(Usage, ShellCommandQuotesRoots)
{
    EXPECT_EQ(Usage::fileTypeShellCommand({"/Users/O'Neil/Desktop", "/Users/a b/Music"}),
              "/usr/bin/find '/Users/O'\\''Neil/Desktop' '/Users/a b/Music' -type f -size +512k "
              "-print0 2>/dev/null | xargs -0 /usr/bin/stat -f '%z\t%N' 2>/dev/null");
}

TEST(Usage, FileTypeUsageCountsFilesAbove512KiB)
{
    TestHome home;
    setenv("TID_LANG", "en", 1);
    // The pictures folder renamed the XDG way; ~/Pictures is then not walked.
    home.file(".config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    const std::string pictures = Platform::kIsMac ? "Pictures" : "Bilder";
    const std::string videos = Platform::kIsMac ? "Movies" : "Videos";
    home.sizedFile(pictures + "/at.png", 512 * 1024);       // not counted
    home.sizedFile(pictures + "/over.png", 512 * 1024 + 1); // counted
    home.sizedFile(videos + "/line\nfeed.mp4", 600 * 1024); // joined back together
    home.sizedFile("Downloads/O'Neil.zip", 700 * 1024);
    home.sizedFile("Library/elsewhere.zip", 900 * 1024); // not a walked folder
    if (!Platform::kIsMac)
        home.sizedFile("Pictures/not-the-pictures-folder.png", 900 * 1024);
    // A name that is not UTF-8 counts its bytes and hides nothing (the
    // records of find come NUL-ended on Linux).
    const int64_t latin1 = Platform::kIsMac ? 0 : 800 * 1024;
    if (!Platform::kIsMac)
        home.sizedFile("Downloads/caf\xe9.zip", latin1);
    auto buckets = Scanner::fileTypeUsage();
    std::vector<std::tuple<std::string, int64_t, int>> got;
    for (const auto& b : buckets)
        got.emplace_back(b.name, b.size, b.index);
    EXPECT_EQ(got, (std::vector<std::tuple<std::string, int64_t, int>>{
                       {"Archives", 700 * 1024 + latin1, 4},
                       {"Video", 600 * 1024, 1},
                       {"Images", 512 * 1024 + 1, 0}}));
}

TEST(Usage, FileTypeUsageCountsEachFileOnce)
{
    // One file reached at a second path, by a hard link or a bind mount.
    enum class Second { HardLink, MountedFile, MountedFolder };
    const std::string videos = Platform::kIsMac ? "Movies" : "Videos";
    bool mountRefused = false;
    for (Second way : {Second::HardLink, Second::MountedFile, Second::MountedFolder}) {
        SCOPED_TRACE(int(way));
        TestHome home;
        home.sizedFile(videos + "/clip.mp4", 600 * 1024);
        const std::string clip = home.at(videos + "/clip.mp4");
        std::string target; // the mount point, unmounted before the home goes
        if (way == Second::HardLink) {
            home.dir("Downloads");
            std::filesystem::create_hard_link(clip, home.at("Downloads/clip.mp4"));
        } else {
            const bool file = way == Second::MountedFile;
            target = home.at(file ? "Downloads/again.mp4" : "Downloads/again");
            file ? home.file("Downloads/again.mp4") : home.dir("Downloads/again");
            if (::mount(file ? clip.c_str() : home.at(videos).c_str(), target.c_str(), nullptr,
                        MS_BIND, nullptr) != 0) {
                mountRefused = true;
                continue;
            }
        }
        auto buckets = Scanner::fileTypeUsage();
        if (!target.empty())
            ::umount2(target.c_str(), MNT_DETACH);
        ASSERT_EQ(buckets.size(), 1u);
        EXPECT_EQ(buckets[0].index, 1);
        EXPECT_EQ(buckets[0].size, 600 * 1024);
    }
    if (mountRefused)
        GTEST_SKIP() << "bind mounts are not permitted here: only the hard link was tried";
}

TEST(Usage, TopLevelUsageMeasuresVisibleFolders)
{
    TestHome home;
    setenv("TID_LANG", "zh", 1);
    home.sizedFile("Downloads/big", 400 * 1024);
    home.sizedFile("Projects/mid", 100 * 1024);
    home.sizedFile(".npm/hidden", 800 * 1024);
    home.file("loose.txt", "x");
    auto cats = Scanner::topLevelUsage();
    if (Scanner::sizeOf("/Applications") > 0)
        GTEST_SKIP() << "this machine has an /Applications folder";
    ASSERT_EQ(cats.size(), 2u);
    EXPECT_EQ(cats[0].name, "下载");
    EXPECT_EQ(cats[0].size, Scanner::sizeOf(home.at("Downloads")));
    EXPECT_EQ(cats[1].name, "Projects");
}
