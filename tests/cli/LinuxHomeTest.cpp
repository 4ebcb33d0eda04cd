// SPDX-License-Identifier: GPL-3.0-or-later
// tclean on a Linux-shaped home: XDG folders (with a renamed documents
// folder), Electron caches under the settings folder, a Flatpak application
// folder under .var and items already in the desktop's Trash. What it finds,
// where a clean-up puts things, and that nothing makes a ~/Library.
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
