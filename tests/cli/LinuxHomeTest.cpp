// SPDX-License-Identifier: GPL-3.0-or-later
// tclean on a Linux-shaped home: XDG folders (with a renamed documents
// folder), Electron caches under the settings folder, a Flatpak application
// folder under .var, items already in the desktop's Trash and the caches kept
// beside the cache folder. What it finds, where a clean-up puts things, and
// that nothing makes a ~/Library.
#include "Platform.h"
#include "System.h"
#include "TestHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;
using TestSupport::runProgram;
using TestSupport::tcleanPath;

namespace {

constexpr long long kMiB = 1024 * 1024;

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        out.insert(e.path().filename().string());
    return out;
}

void buildLinuxHome(const TestSupport::TestHome& home)
{
    home.file(".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    home.sizedFile(".cache/pip/http/blob", 6 * kMiB);
    home.sizedFile(".cache/fontconfig/blob", 4 * kMiB);
    home.sizedFile(".cache/thumbnails/large/blob", 3 * kMiB);
    home.sizedFile(".config/Code/Cache/blob", 9 * kMiB);
    home.sizedFile(".config/Code/User/settings.json", 5 * kMiB);
    home.sizedFile(".config/Slack/Code Cache/blob", 5 * kMiB);
    home.sizedFile(".config/discord/GPUCache/blob", 3 * kMiB);
    home.sizedFile(".var/app/org.example.Gone/data/blob", 4 * kMiB);
    home.file(".local/share/Trash/files/2024-01-01_1200 old.txt", "old");
    home.file(".local/share/Trash/info/2024-01-01_1200 old.txt.trashinfo",
              "[Trash Info]\nPath=" + home.at("old.txt") + "\nDeletionDate=2024-01-01T12:00:00\n");
    home.sizedFile("Dokumente/report.pdf", 2 * kMiB);
    home.sizedFile("Downloads/disk.iso", 60 * kMiB);
}

} // namespace

TEST(LinuxHome, ScanCleanAndOverviewTheLinuxWay)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Linux home";
    TestSupport::TestHome home("zh");
    buildLinuxHome(home);

    std::set<std::pair<std::string, std::string>> found;
    for (const auto& item :
         nlohmann::json::parse(runProgram(tcleanPath(), {"scan", "--json"}).out, nullptr, false))
        found.emplace(item["name"].get<std::string>(),
                      item["path"].get<std::string>().substr(home.path().size() + 1) + " " +
                          item["risk"].get<std::string>());
    std::set<std::pair<std::string, std::string>> want = {
        {"Code · Cache", ".config/Code/Cache safe"},
        {"pip cache", ".cache/pip safe"},
        {"Slack · Code Cache", ".config/Slack/Code Cache safe"},
        {"fontconfig", ".cache/fontconfig safe"},
        {"Thumbnails", ".cache/thumbnails safe"},
        {"discord · GPUCache", ".config/discord/GPUCache safe"},
    };
    if (access("/usr/bin/flatpak", X_OK) == 0)
        want.emplace("org.example.Gone", ".var/app/org.example.Gone data");
    EXPECT_EQ(found, want);

    // The safe caches go into the desktop's Trash, one entry each beside
    // what was there already, each with its record; the leftover stays.
    std::string out = runProgram(tcleanPath(), {"clean", "--safe", "--yes"}).out;
    EXPECT_NE(out.find("\n已移动 6 项到回收站（可从回收站恢复）。\n"), std::string::npos) << out;
    auto entries = namesIn(home.at(".local/share/Trash/files"));
    auto records = namesIn(home.at(".local/share/Trash/info"));
    EXPECT_EQ(entries.size(), 7u);
    for (const auto& entry : entries)
        EXPECT_TRUE(records.count(entry + ".trashinfo")) << entry;
    for (const auto& [name, where] : want)
        EXPECT_EQ(fs::exists(home.at(where.substr(0, where.rfind(' ')))), where.ends_with(" data"))
            << where;
    EXPECT_TRUE(fs::exists(home.at(".config/Code/User/settings.json")));

    // Empty Trash frees it all and keeps the Trash's folders.
    EXPECT_TRUE(Scanner::emptyTrash());
    EXPECT_TRUE(namesIn(home.at(".local/share/Trash/files")).empty());
    EXPECT_TRUE(namesIn(home.at(".local/share/Trash/info")).empty());

    // The overview names the hidden folders where the space goes.
    out = runProgram(tcleanPath(), {"overview"}, {{"TID_LANG", "en"}}).out;
    for (const char* name : {".cache", ".config", ".var", "Downloads"})
        EXPECT_NE(out.find("  " + std::string(name) + " "), std::string::npos) << name << out;

    // types and names look into the renamed documents folder.
    EXPECT_NE(runProgram(tcleanPath(), {"types"}).out.find("  pdf "), std::string::npos);
    EXPECT_EQ(runProgram(tcleanPath(), {"tree", home.path(), "-d", "2"}).status, 0);
    runProgram(tcleanPath(), {"big"});
    runProgram(tcleanPath(), {"dupes"});
    runProgram(tcleanPath(), {"names"});
    EXPECT_FALSE(namesIn(home.at(".cache/TidloCleaner")).empty()); // the tree's cache
    EXPECT_FALSE(fs::exists(home.at("Library")));
    EXPECT_FALSE(fs::exists(home.at(".Trash")));
}

// The caches a Linux home keeps beside its cache folder, as tclean lists
// them in either language; a clean-up of the safe ones takes a browser
// profile's cache and leaves the profile.
TEST(LinuxHome, ScanListsTheLinuxCachesInBothLanguages)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Linux home";
    TestSupport::TestHome home("zh");
    home.sizedFile(".config/google-chrome/Default/Cache/blob", 9 * kMiB);
    home.sizedFile(".config/google-chrome/Default/Bookmarks", 5 * kMiB);
    home.sizedFile("go/pkg/mod/example.com/blob", 8 * kMiB);
    home.sizedFile("snap/firefox/common/.cache/blob", 4 * kMiB);
    home.sizedFile(".xsession-errors", 3 * kMiB);
    const std::string h = home.path();
    const std::string items[] = {
        "9.0 MB     Chrome · Default · Cache\n        " + h +
            "/.config/google-chrome/Default/Cache\n",
        "8.0 MB     Go module cache\n        " + h + "/go/pkg/mod\n",
        "4.0 MB     firefox · snap cache\n        " + h + "/snap/firefox/common/.cache\n",
        "3.0 MB     X session log\n        " + h + "/.xsession-errors\n",
    };

    EXPECT_EQ(runProgram(tcleanPath(), {"scan"}).out,
              "可清理项  （只读扫描，不会动任何文件）\n\n"
              "  1.   安全  " +
                  items[0] + "  2.   注意  " + items[1] + "  3.   安全  " + items[2] +
                  "  4.   安全  " + items[3] +
                  "\n  合计可清理约 24.0 MB   （4 项）\n"
                  "  清理命令：tclean clean --safe --dry-run   先演练，再去掉 --dry-run "
                  "真删（进回收站）\n");
    EXPECT_EQ(runProgram(tcleanPath(), {"scan"}, {{"TID_LANG", "en"}}).out,
              "Cleanable items  (read-only scan, no file is touched)\n\n"
              "  1.   Safe     " +
                  items[0] + "  2.   Careful  " + items[1] + "  3.   Safe     " + items[2] +
                  "  4.   Safe     " + items[3] +
                  "\n  About 24.0 MB can be cleaned   (4 items)\n"
                  "  To clean: tclean clean --safe --dry-run   rehearse first, then drop "
                  "--dry-run to move them (into the Trash)\n");

    std::string out = runProgram(tcleanPath(), {"clean", "--safe", "--yes"}).out;
    EXPECT_NE(out.find("\n已移动 3 项到回收站（可从回收站恢复）。\n"), std::string::npos) << out;
    EXPECT_EQ(namesIn(home.at(".local/share/Trash/files")).size(), 3u);
    EXPECT_EQ(namesIn(home.at(".config/google-chrome/Default")),
              std::set<std::string>{"Bookmarks"});
    EXPECT_TRUE(fs::exists(home.at("go/pkg/mod/example.com/blob")));
    EXPECT_FALSE(fs::exists(home.at(".xsession-errors")));
    EXPECT_FALSE(fs::exists(home.at("snap/firefox/common/.cache")));
}
