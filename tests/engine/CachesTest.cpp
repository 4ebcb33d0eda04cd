// SPDX-License-Identifier: GPL-3.0-or-later
// The cache scan over fixture home folders: the known table, the two generic
// sweeps, the skip rules, the 2 MiB limit and the order of the result.
#include "Caches.h"
#include "Measure.h"
#include "Platform.h"
#include "TestHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr long long kMiB = 1024 * 1024;

// "name | path below home | risk | note" per item, in result order.
std::vector<std::string> summary(const std::vector<ScanItem>& items, const std::string& home)
{
    std::vector<std::string> out;
    for (const auto& item : items) {
        EXPECT_EQ(item.kind, ItemKind::Cache);
        std::string rel =
            item.path.rfind(home + "/", 0) == 0 ? item.path.substr(home.size() + 1) : item.path;
        out.push_back(item.name + " | " + rel + " | " + std::string(rawValue(item.risk)) + " | " +
                      item.note);
    }
    return out;
}

} // namespace

TEST(Caches, EmptyHomeYieldsNothing)
{
    TestSupport::TestHome home("zh");
    home.dir("Library/Caches");
    home.dir("Library/Application Support");
    EXPECT_TRUE(Scanner::cacheItems().empty());
}

TEST(Caches, FindsKnownGenericAndApplicationSupportCachesLargestFirst)
{
    TestSupport::TestHome home("zh");
    // Known locations (folders are measured by du, so each is a little over
    // its content).
    home.sizedFile("Library/Caches/pip/wheels", 13 * kMiB);
    home.sizedFile(".npm/_cacache/index", 12 * kMiB);
    home.sizedFile("Library/Caches/Google/Chrome/Default/data", 11 * kMiB);
    home.sizedFile("Library/Caches/Google/Drive/data", 3 * kMiB);
    // Generic ~/Library/Caches entries: hidden names count, odd names are fine.
    home.sizedFile("Library/Caches/com.tinyapp.Tool/blob", 10 * kMiB);
    home.sizedFile("Library/Caches/.hidden cache/blob", 9 * kMiB);
    home.sizedFile("Library/Caches/tab\tand \"quote\"/blob", 8 * kMiB);
    // Skipped by the sweep: system prefixes, and names of known locations.
    home.sizedFile("Library/Caches/com.apple.Music/blob", 20 * kMiB);
    home.sizedFile("Library/Caches/CloudKit/blob", 20 * kMiB);
    home.sizedFile("Library/Caches/GeoServicesData/blob", 20 * kMiB);
    home.sizedFile("Library/Caches/FamilyCircleX/blob", 20 * kMiB);
    home.sizedFile("Library/Caches/Homebrew-not/blob", 3 * kMiB); // not a skipped name
    // A file is not a generic candidate. A link to a folder is, but du
    // measures the link itself, so what it points to is never counted.
    home.sizedFile("Library/Caches/loose.db", 20 * kMiB);
    home.sizedFile("elsewhere/linked/blob", 4 * kMiB);
    std::filesystem::create_symlink(home.at("elsewhere/linked"), home.at("Library/Caches/Linked"));
    // A name that is not UTF-8 is left out and does not hide the others.
    home.sizedFile("Library/Caches/bad\xff\xfename/blob", 20 * kMiB);
    // Application Support: four subfolder names, in this order.
    home.sizedFile("Library/Application Support/Slack/Cache/x", 7 * kMiB);
    home.sizedFile("Library/Application Support/Slack/Code Cache/x", 6 * kMiB);
    home.sizedFile("Library/Application Support/Slack/Other/x", 20 * kMiB);
    home.sizedFile("Library/Application Support/Code/GPUCache/x", 5 * kMiB);
    home.sizedFile("Library/Application Support/Code/CachedData/x", 5 * kMiB + 512 * 1024);
    home.file("Library/Application Support/Plain/Cache", "a file, not a folder");
    // Below the limit.
    home.sizedFile("Library/Caches/small/blob", 1 * kMiB);

    auto items = Scanner::cacheItems();
    const std::string& h = home.path();
    EXPECT_EQ(summary(items, h),
              (std::vector<std::string>{
                  "Google | Library/Caches/Google | safe | ",
                  "pip cache | Library/Caches/pip | safe | Python 包缓存",
                  "npm cache | .npm/_cacache | care | npm 包缓存",
                  "Chrome cache | Library/Caches/Google/Chrome | care | 仅缓存，不含书签与密码",
                  "com.tinyapp.Tool | Library/Caches/com.tinyapp.Tool | safe | ",
                  ".hidden cache | Library/Caches/.hidden cache | safe | ",
                  "tab\tand \"quote\" | Library/Caches/tab\tand \"quote\" | safe | ",
                  "Slack · Cache | Library/Application Support/Slack/Cache | safe | ",
                  "Slack · Code Cache | Library/Application Support/Slack/Code Cache | safe | ",
                  "Code · CachedData | Library/Application Support/Code/CachedData | safe | ",
                  "Code · GPUCache | Library/Application Support/Code/GPUCache | safe | ",
                  "Homebrew-not | Library/Caches/Homebrew-not | safe | ",
              }));
    for (size_t i = 1; i < items.size(); ++i)
        EXPECT_GE(items[i - 1].size, items[i].size);
    // Nesting is not resolved: Google includes Chrome.
    ASSERT_GE(items.size(), 4u);
    EXPECT_GT(items[0].size, 11 * kMiB);
}

TEST(Caches, DropsExactlyTwoMebibytesAndKeepsEqualSizesInTableOrder)
{
    TestSupport::TestHome home("zh");
    // Plain files at known paths are measured by their length.
    home.sizedFile(".agent-browser", 2 * kMiB);                   // exactly the limit
    home.sizedFile(".chromium-browser-snapshots", 2 * kMiB + 1);  // just above
    home.sizedFile("Library/Caches/ms-playwright", 2 * kMiB + 1); // same size, later in table
    home.sizedFile(".cache/pip", 3 * kMiB);
    // A folder whose du is exactly 2 MiB is dropped, one block more is kept.
    home.dir("Library/Caches/Exact");
    int64_t folder = Scanner::sizeOf(home.at("Library/Caches/Exact"));
    home.sizedFile("Library/Caches/Exact/blob", 2 * kMiB - folder);
    ASSERT_EQ(Scanner::sizeOf(home.at("Library/Caches/Exact")), 2 * kMiB)
        << "the file system does not allocate whole blocks as expected";
    home.dir("Library/Caches/Above");
    home.sizedFile("Library/Caches/Above/blob", 2 * kMiB - folder + 1);

    auto items = Scanner::cacheItems();
    std::vector<std::string> names;
    for (const auto& item : items)
        names.push_back(item.name);
    EXPECT_EQ(names, (std::vector<std::string>{"pip cache", "Above", "Puppeteer Chromium",
                                               "Playwright browsers"}));
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[2].size, 2 * kMiB + 1);
    EXPECT_EQ(items[2].note, "自动化浏览器内核");
    EXPECT_EQ(items[3].risk, Risk::Care);
}

TEST(Caches, FindsTheCachesOfALinuxHome)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Mac home has no XDG caches";
    TestSupport::TestHome home("zh");
    const std::pair<const char*, long long> found[] = {
        {".cache/yarn/v6/blob", 16},
        {".cache/go-build/00/blob", 15},
        {".local/share/pnpm/store/v3/blob", 14},
        {".cache/mozilla/firefox/abc.default/cache2/blob", 13},
        {".cache/thumbnails/large/blob", 12},
        {".cache/fontconfig/blob", 11},
        {".var/app/org.example.Gone/cache/blob", 10},
        {".config/Code/Cache/blob", 9},
        {".config/Code/Code Cache/blob", 8},
        {".config/Slack/GPUCache/blob", 7},
        {".config/discord/Cache/blob", 6},
        {".var/app/com.slack.Slack/config/Slack/Cache/blob", 5},
    };
    for (const auto& [rel, mib] : found)
        home.sizedFile(rel, mib * kMiB);
    // Never candidates: this product's own caches, browser profiles, what
    // else an application keeps in its settings or Flatpak folder.
    for (const char* rel :
         {".cache/TidloCleaner/tree.json", ".mozilla/firefox/abc.default/places.sqlite",
          ".config/Code/User/workspaceStorage/blob", ".config/google-chrome/Default/History",
          ".var/app/com.slack.Slack/data/blob", ".var/app/com.slack.Slack/config/Slack/blob"})
        home.sizedFile(rel, 20 * kMiB);

    EXPECT_EQ(summary(Scanner::cacheItems(), home.path()),
              (std::vector<std::string>{
                  "yarn cache | .cache/yarn | safe | ",
                  "Go build cache | .cache/go-build | safe | 编译产物，可重新生成",
                  "pnpm store | .local/share/pnpm/store | care | pnpm 包仓库",
                  "Firefox cache | .cache/mozilla/firefox | care | ",
                  "Thumbnails | .cache/thumbnails | safe | 缩略图，可重新生成",
                  "fontconfig | .cache/fontconfig | safe | ",
                  "org.example.Gone | .var/app/org.example.Gone/cache | safe | ",
                  "Code · Cache | .config/Code/Cache | safe | ",
                  "Code · Code Cache | .config/Code/Code Cache | safe | ",
                  "Slack · GPUCache | .config/Slack/GPUCache | safe | ",
                  "discord · Cache | .config/discord/Cache | safe | ",
                  "Slack · Cache | .var/app/com.slack.Slack/config/Slack/Cache | safe | ",
              }));
}

TEST(Caches, NothingBehindALinkIsListedOrMeasured)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Mac home has no XDG caches";
    TestSupport::TestHome home("zh");
    namespace fs = std::filesystem;
    // A folder outside the home, reached through links from every place a
    // sweep or the table looks.
    const std::string outside = home.path() + ".outside";
    const std::string outsideRel = "../" + fs::path(outside).filename().string();
    for (const char* rel : {"App/Cache", "App/GPUCache", "cache", "_cacache", "pip"})
        home.sizedFile(outsideRel + "/" + rel + "/blob", 3 * kMiB);
    home.dir(".config");
    home.dir(".cache");
    home.dir(".var/app/org.example.Linked");
    home.dir(".npm");
    fs::create_directory_symlink(outside + "/App", home.at(".config/App"));
    fs::create_directory_symlink(outside + "/cache", home.at(".cache/Linked"));
    fs::create_directory_symlink(outside + "/pip", home.at(".cache/pip"));
    fs::create_directory_symlink(outside, home.at(".var/app/org.example.Outside"));
    fs::create_directory_symlink(outside, home.at(".var/app/org.example.Linked/config"));
    fs::create_directory_symlink(outside + "/_cacache", home.at(".npm/_cacache"));
    // The one real cache beside them.
    home.sizedFile(".config/Real/Cache/blob", 3 * kMiB);

    EXPECT_EQ(summary(Scanner::cacheItems(), home.path()),
              (std::vector<std::string>{"Real · Cache | .config/Real/Cache | safe | "}));
    fs::remove_all(outside);

    // A base folder itself may be a link (a cache folder kept on another
    // disk): what lies in it is found from there.
    TestSupport::TestHome moved("zh");
    moved.sizedFile("disk/cache/pip/blob", 3 * kMiB);
    moved.sizedFile("disk/cache/some-tool/blob", 3 * kMiB);
    fs::create_directory_symlink(moved.at("disk/cache"), moved.at(".cache"));
    EXPECT_EQ(summary(Scanner::cacheItems(), moved.path()),
              (std::vector<std::string>{"pip cache | .cache/pip | safe | Python 包缓存",
                                        "some-tool | .cache/some-tool | safe | "}));
}

TEST(Caches, FindsTheLinuxCachesBesideTheCacheFolder)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Linux home";
    TestSupport::TestHome home("zh");
    const std::pair<const char*, long long> found[] = {
        {".config/google-chrome/Default/Cache/Cache_Data/blob", 40},
        {".config/chromium/Profile 12/Code Cache/js/blob", 39},
        {".config/BraveSoftware/Brave-Browser/Guest Profile/GPUCache/blob", 38},
        {".config/microsoft-edge/Work/Service Worker/CacheStorage/blob", 37},
        {".config/vivaldi/System Profile/Cache/blob", 36},
        // A profile that happens to bear a cache's name is still a profile.
        {".config/google-chrome/Cache/GPUCache/blob", 35},
        {".thumbnails/normal/blob", 34},
        {"snap/firefox/common/.cache/blob", 33},
        {".local/share/Steam/steamapps/shadercache/730/blob", 32},
        {"go/pkg/mod/cache/download/blob", 31},
        {".m2/repository/org/blob", 30},
        {".xsession-errors", 29},
        {".config/Code/logs/20240101T090000/blob", 28},
        {".config/VSCodium/logs/blob", 27},
    };
    for (const auto& [rel, mib] : found)
        home.sizedFile(rel, mib * kMiB);
    home.file(".config/microsoft-edge/Work/Preferences", "{}");
    home.file(".config/google-chrome/Cache/Preferences", "{}");
    // Never candidates: what a profile keeps beside its caches, a folder of a
    // browser that is no profile, a file named like a profile's settings that
    // is a link, a snap's revisions and data, Steam's games.
    for (const char* rel :
         {".config/google-chrome/Default/History", ".config/google-chrome/Default/Preferences",
          ".config/google-chrome/Crashpad/Cache/blob", ".config/chromium/Profile x/Cache/blob",
          ".config/chromium/Linked/Cache/blob", "snap/firefox/1234/.cache/blob",
          "snap/firefox/common/data", ".local/share/Steam/steamapps/common/Game/blob",
          "go/pkg/sumdb/blob", ".config/Code/User/settings.json"})
        home.sizedFile(rel, 50 * kMiB);
    std::filesystem::create_symlink(home.at(".config/google-chrome/Default/Preferences"),
                                    home.at(".config/chromium/Linked/Preferences"));

    EXPECT_EQ(
        summary(Scanner::cacheItems(), home.path()),
        (std::vector<std::string>{
            "Chrome · Default · Cache | .config/google-chrome/Default/Cache | safe | "
            "仅缓存，不含书签与密码",
            "Chromium · Profile 12 · Code Cache | .config/chromium/Profile 12/Code Cache | safe | "
            "仅缓存，不含书签与密码",
            "Brave · Guest Profile · GPUCache | .config/BraveSoftware/Brave-Browser/Guest "
            "Profile/GPUCache | safe | 仅缓存，不含书签与密码",
            "Edge · Work · Service Worker cache | .config/microsoft-edge/Work/Service "
            "Worker/CacheStorage | safe | 仅缓存，不含书签与密码",
            "Vivaldi · System Profile · Cache | .config/vivaldi/System Profile/Cache | safe | "
            "仅缓存，不含书签与密码",
            "Chrome · Cache · GPUCache | .config/google-chrome/Cache/GPUCache | safe | "
            "仅缓存，不含书签与密码",
            "Old thumbnails | .thumbnails | safe | 缩略图，可重新生成",
            "firefox · snap cache | snap/firefox/common/.cache | safe | Snap "
            "应用的缓存，可重新生成",
            "Steam shader cache | .local/share/Steam/steamapps/shadercache | safe | "
            "着色器缓存，游戏会重新生成",
            "Go module cache | go/pkg/mod | care | 下载的依赖包，下次构建时需重新下载",
            "Maven repository | .m2/repository | care | 下载的依赖包，下次构建时需重新下载",
            "X session log | .xsession-errors | safe | 桌面会话的错误日志，会重新生成",
            "VS Code logs | .config/Code/logs | safe | 编辑器的运行日志，可放心删除",
            "VSCodium logs | .config/VSCodium/logs | safe | 编辑器的运行日志，可放心删除",
        }));
    // Each note has its English text.
    setenv("TID_LANG", "en", 1);
    std::set<std::string> notes;
    for (const auto& item : Scanner::cacheItems())
        notes.insert(item.note);
    EXPECT_EQ(notes, (std::set<std::string>{
                         "Cache only, no bookmarks or passwords",
                         "Thumbnails, can be regenerated",
                         "A snap application's cache, can be rebuilt",
                         "Shader cache, games build it again",
                         "Downloaded dependencies, downloaded again by the next build",
                         "The desktop session's error log, started anew",
                         "The editor's own logs, safe to remove",
                     }));
}

// A link in place of a Linux cache, or of a folder above one, hides it: what
// lies behind it is neither listed nor measured.
TEST(Caches, LinuxCachesBehindALinkAreNotListed)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Linux home";
    TestSupport::TestHome home("zh");
    namespace fs = std::filesystem;
    const std::string outside = home.path() + ".outside";
    for (const char* rel : {"Cache/blob", "common/.cache/blob", "steamapps/shadercache/blob",
                            "pkg/mod/blob", "CacheStorage/blob", "errors"})
        home.sizedFile("../" + fs::path(outside).filename().string() + "/" + rel, 3 * kMiB);
    // Where the link is, and what it points to in the folder outside.
    const std::pair<const char*, const char*> links[] = {
        {".config/google-chrome/Default", ""},
        {".config/chromium/Default/Cache", "Cache"},
        {".thumbnails", "Cache"},
        {"snap/linked", ""},
        {"snap/mixed/common/.cache", "Cache"},
        {".local/share/Steam", ""},
        {"go", ""},
        {".m2/repository", "Cache"},
        {".xsession-errors", "errors"},
        {".config/Code/logs", "Cache"},
        {".config/vivaldi/Default/Service Worker", ""},
    };
    for (const auto& [where, target] : links) {
        fs::create_directories(fs::path(home.at(where)).parent_path());
        fs::create_symlink(outside + "/" + target, home.at(where));
    }
    home.sizedFile(".config/vivaldi/Default/GPUCache/blob", 3 * kMiB);

    EXPECT_EQ(
        summary(Scanner::cacheItems(), home.path()),
        (std::vector<std::string>{"Vivaldi · Default · GPUCache | .config/vivaldi/Default/GPUCache "
                                  "| safe | 仅缓存，不含书签与密码"}));
    fs::remove_all(outside);
}

// An XDG variable may put a base folder anywhere the user owns. No candidate
// is a base folder or holds one, and a swept folder that holds a known place
// leaves it to the table: each place is listed once, with its own risk.
TEST(Caches, EachPlaceOnceWhereverTheBaseFoldersAre)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Linux home";
    struct Case
    {
        const char* cacheHome;
        std::vector<std::string> want;
    };
    const std::string snap =
        "app · snap cache | snap/app/common/.cache | safe | Snap 应用的缓存，可重新生成";
    const std::string go =
        "Go module cache | go/pkg/mod | care | 下载的依赖包，下次构建时需重新下载";
    const Case cases[] = {
        // The cache folder is Go's module cache: the sweep finds what is in it.
        {"go/pkg/mod", {snap, "some-tool | go/pkg/mod/some-tool | safe | "}},
        // The sweep finds Go's module cache itself: listed once, from the table.
        {"go/pkg", {snap, go}},
        // The sweep finds a folder that holds it: left to the table.
        {"go", {snap, go}},
        // The cache folder is a snap's: that snap's cache is not listed whole.
        {"snap/app/common/.cache", {"some-tool | snap/app/common/.cache/some-tool | safe | ", go}},
    };
    for (const auto& c : cases) {
        TestSupport::TestHome home("zh");
        home.sizedFile("go/pkg/mod/some-tool/blob", 3 * kMiB);
        home.sizedFile("snap/app/common/.cache/some-tool/blob", 4 * kMiB);
        setenv("XDG_CACHE_HOME", home.at(c.cacheHome).c_str(), 1);
        EXPECT_EQ(summary(Scanner::cacheItems(), home.path()), c.want) << c.cacheHome;
    }
}

TEST(Caches, ModelsAndProjectEnvironmentsAreCareful)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Mac home has no XDG caches";
    TestSupport::TestHome home("zh");
    const std::pair<const char*, long long> found[] = {
        {".cache/huggingface/hub/blob", 9},  {".cache/pypoetry/virtualenvs/blob", 8},
        {".cache/torch/hub/blob", 7},        {".cache/pre-commit/repo/blob", 6},
        {".cache/virtualenv/wheel/blob", 5}, {".cache/some-tool/blob", 4},
        {".cache/pip/http/blob", 3},
    };
    for (const auto& [rel, mib] : found)
        home.sizedFile(rel, mib * kMiB);
    EXPECT_EQ(summary(Scanner::cacheItems(), home.path()),
              (std::vector<std::string>{
                  "huggingface | .cache/huggingface | care | 下载的模型与数据集，删除后需重新下载",
                  "pypoetry | .cache/pypoetry | care | 项目的虚拟环境，删除后需重新安装",
                  "torch | .cache/torch | care | 下载的模型，删除后需重新下载",
                  "pre-commit | .cache/pre-commit | care | pre-commit 钩子环境，删除后需重新安装",
                  "virtualenv | .cache/virtualenv | care | 虚拟环境的种子包，删除后需重新下载",
                  "some-tool | .cache/some-tool | safe | ",
                  "pip cache | .cache/pip | safe | ",
              }));
}

// The notes follow the language of the moment.
TEST(Caches, NotesSpeakEnglishToo)
{
    TestSupport::TestHome home("en");
    home.sizedFile(".cache/huggingface/hub/blob", 3 * kMiB);
    home.sizedFile("Library/Caches/pip/blob", 2 * kMiB);
    EXPECT_EQ(summary(Scanner::cacheItems(), home.path()),
              (std::vector<std::string>{
                  "huggingface | .cache/huggingface | care | Downloaded models and data sets, "
                  "downloaded again after removal",
                  "pip cache | Library/Caches/pip | safe | Python package cache",
              }));
}
