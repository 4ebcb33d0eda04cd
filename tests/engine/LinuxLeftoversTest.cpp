// SPDX-License-Identifier: GPL-3.0-or-later
// Leftovers with evidence on a Linux home: what the leftover scan finds in
// $XDG_CONFIG_HOME, $XDG_DATA_HOME and ~/snap, and what it leaves alone.
#include "DesktopHome.h"
#include "Leftovers.h"

#include <filesystem>
#include <gtest/gtest.h>

using TestSupport::DesktopHome;

TEST(LinuxLeftovers, ClaimsAndKeptNames)
{
    const std::vector<std::string> known{"code", "gimp", "jetbrainstoolbox", "vim"};
    const std::pair<const char*, bool> claimed[] = {
        {"code", true},     {"jetbrains", true}, // the start of a known name
        {"gimp210", true},                       // started by one
        {"vi", false},      {"vimx", false},     // too short to count as a start
        {"goneapp", false}, {"cod", false},
    };
    for (const auto& [key, expected] : claimed)
        EXPECT_EQ(Leftovers::claimedBy(key, known), expected) << key;

    for (const char* name : {"dconf", "gtk-3.0", "GTK-4.0", "Trash", "user-dirs.dirs", "keyrings"})
        EXPECT_TRUE(Leftovers::keptByDesktop(name)) << name;
    for (const char* name : {"gtk", "gone-app", "dconf-editor"})
        EXPECT_FALSE(Leftovers::keptByDesktop(name)) << name;
}

TEST(LinuxLeftovers, LastWrittenLooksInsideUpToItsDepth)
{
    DesktopHome desk;
    desk.home().file("app/a/b/c/deep", "x");
    desk.age("app", 200);
    const auto now = Clock::now();
    const auto old = now - std::chrono::hours(24 * 150);
    EXPECT_LT(*Leftovers::lastWritten(desk.at("app"), now), old);
    desk.home().file("app/a/b/c/new", "x"); // three levels down: beyond the depth
    desk.age("app/a/b", 200);
    EXPECT_LT(*Leftovers::lastWritten(desk.at("app"), now), old);
    desk.home().file("app/a/new", "x");
    EXPECT_GT(*Leftovers::lastWritten(desk.at("app"), now), old);
    EXPECT_FALSE(Leftovers::lastWritten(desk.at("missing"), now));
}

TEST(LinuxLeftovers, FoldersNothingInstalledClaims)
{
    DesktopHome desk;
    auto& home = desk.home();
    desk.program("busytool");
    desk.standIn("dpkg-query",
                 {{"-W", "installed\tpkgtool\nconfig-files\tremoved-editor\n"}, {"-S", ""}});
    desk.standIn("flatpak", {{"list", "com.example.Notes\tuser\n"}});
    // name | folder | found
    const std::pair<const char*, bool> cases[] = {
        {".config/gone-app", true},
        {".local/share/gone-data", true},
        {"snap/gone-snap", true},
        {".config/removed-editor", true}, // only its configuration files are left
        {".config/dconf", false},         // the desktop's own
        {".local/share/Trash", false},
        {".config/busytool", false},     // a program on PATH
        {".config/pkgtool", false},      // an installed package
        {".config/notes", false},        // an installed Flatpak's key
        {".config/TidloCleaner", false}, // this product's own
        {".config/.hidden-app", false},
        {".config/fresh-app", false},   // written yesterday
        {".config/touched-app", false}, // something inside written yesterday
    };
    for (const auto& [rel, found] : cases)
        home.sizedFile(std::string(rel) + "/data/blob", 16 * 1024);
    home.file(".config/loose-file", "a file is never a leftover folder");
    home.file("elsewhere/linked-app/blob", "x");
    std::filesystem::create_directory_symlink(home.at("elsewhere/linked-app"),
                                              home.at(".config/linked-app"));
    for (const char* base : {".config", ".local/share", "snap", "elsewhere"})
        desk.age(base, 120);
    desk.age(".config/fresh-app", 1);
    desk.age(".config/touched-app/data", 1);

    const auto items = Scanner::leftoverItems();
    std::vector<std::string> got;
    for (const auto& item : items)
        got.push_back(item.path.substr(home.path().size() + 1));
    for (const auto& [rel, found] : cases)
        EXPECT_EQ(std::count(got.begin(), got.end(), rel), found ? 1 : 0) << rel;
    EXPECT_EQ(got.size(), 4u);

    const std::string written =
        localTimeText(Clock::now() - std::chrono::hours(24 * 120), "%Y-%m-%d");
    for (const auto& item : items) {
        EXPECT_EQ(item.kind, ItemKind::Leftover);
        EXPECT_EQ(item.risk, Risk::Care);
        EXPECT_GT(item.size, 16 * 1024);
        if (item.name == "gone-app") {
            EXPECT_EQ(item.note,
                      "No app, command or package named gone-app; last written " + written);
        }
    }
    setenv("TID_LANG", "zh", 1);
    bool saw = false;
    for (const auto& item : Scanner::leftoverItems())
        if (item.name == "gone-snap") {
            saw = true;
            EXPECT_EQ(item.note,
                      "未找到名为 gone-snap 的应用、命令或软件包；最后写入于 " + written);
        }
    EXPECT_TRUE(saw);
}

TEST(LinuxLeftovers, NothingAskedWhenNoFolderIsInQuestion)
{
    DesktopHome desk;
    desk.standIn("dpkg-query", {{"-W", ""}});
    desk.standIn("flatpak", {{"list", ""}});
    desk.home().file(".config/dconf/user", "x");
    desk.home().file(".config/new-app/x", "x");
    desk.age(".config/dconf", 400);
    EXPECT_TRUE(Scanner::leftoverItems().empty());
    EXPECT_EQ(desk.calls("dpkg-query"), "");
    EXPECT_EQ(desk.calls("flatpak"), "");
}
