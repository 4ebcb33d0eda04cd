// SPDX-License-Identifier: GPL-3.0-or-later
// Where things are on a Linux home: the XDG base folders, the user folders of
// user-dirs.dirs and the product's own folders derived from them.
#include "XdgDirs.h"
#include "Caches.h"
#include "DiskTree.h"
#include "History.h"
#include "Platform.h"
#include "TestHome.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Platform::UserFolder;
using TestSupport::TestHome;
using namespace std::string_literals;

TEST(XdgDirs, ReadsUserDirsTheWayTheDesktopWritesThem)
{
    const std::string text = "# written by xdg-user-dirs-update\n"
                             "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                             "XDG_DOWNLOAD_DIR=\"$HOME/\"\n"
                             "  XDG_MUSIC_DIR = \"/srv/music//\"  \r\n"
                             "XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\" \\$x\"\n"
                             "XDG_VIDEOS_DIR=\"$HOMEVideos\"\n"
                             "XDG_TEMPLATES_DIR=relative\n"
                             "XDG_PUBLICSHARE_DIR=\"unterminated\n"
                             "XDG_DOCUMENTS_DIR=\"$HOME/first\"\n"
                             "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                             "OTHER=\"$HOME/x\"\n"
                             // would name the folder "$HOME/Vor" to the system
                             "XDG_TEMPLATES_DIR=\"$HOME/Vor\0lagen\"\n"s;
    EXPECT_EQ(XdgDirs::parseUserDirs(text, "/home/ann"),
              (std::map<std::string, std::string>{
                  {"XDG_DESKTOP_DIR", "/home/ann/Schreibtisch"},
                  {"XDG_DOWNLOAD_DIR", "/home/ann"},
                  {"XDG_MUSIC_DIR", "/srv/music"},
                  {"XDG_PICTURES_DIR", "/home/ann/My \"Pics\" $x"},
                  {"XDG_DOCUMENTS_DIR", "/home/ann/Dokumente"},
              }));
    EXPECT_TRUE(XdgDirs::parseUserDirs("\xff\x00garbage=\"", "/h").empty());
}

TEST(XdgDirs, BaseFoldersFallBackUnlessAbsolute)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Mac home has no XDG folders";
    TestHome home;
    for (const char* value : {"", "relative/data", "./data"}) {
        setenv("XDG_DATA_HOME", value, 1);
        EXPECT_EQ(Platform::dataHome(), home.at(".local/share")) << value;
    }
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(Platform::dataHome(), home.at(".local/share"));
    EXPECT_EQ(Platform::cacheHome(), home.at(".cache"));
    setenv("XDG_DATA_HOME", home.at("data").c_str(), 1);
    setenv("XDG_CACHE_HOME", home.at("cache").c_str(), 1);
    EXPECT_EQ(Platform::desktopTrash(), home.at("data/Trash"));
    EXPECT_EQ(Platform::trashFilesFolder(), home.at("data/Trash/files"));
    EXPECT_EQ(Platform::supportFolder(), home.at("data/TidloCleaner"));
    EXPECT_EQ(Platform::cacheFolder(), home.at("cache/TidloCleaner"));
    EXPECT_EQ(Platform::homeTrash(), home.at(".Trash"));

    // History, tree caches and reports go there; nothing creates ~/Library.
    Scanner::appendHistory(HistoryEntry{});
    home.file("tree/a/x", "x");
    Scanner::diskTree(home.at("tree"), 2);
    EXPECT_EQ(Scanner::loadHistory().size(), 1u);
    EXPECT_TRUE(fs::exists(home.at("data/TidloCleaner/history.json")));
    EXPECT_FALSE(fs::is_empty(home.at("cache/TidloCleaner")));
    EXPECT_FALSE(fs::exists(home.at("Library")));
}

TEST(XdgDirs, ABaseFolderThatWouldTakeInTheHomeMeansTheDefault)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Mac home has no XDG folders";
    TestHome home;
    home.dir("mine");
    home.dir("theirs");
    ASSERT_EQ(::chown(home.at("theirs").c_str(), 65534, 65534), 0);
    fs::create_directory_symlink(home.path(), home.at("home-again"));
    const std::string parent = fs::path(home.path()).parent_path().string();
    struct Case
    {
        std::string value;
        std::string cache; // what Platform::cacheHome() gives
    };
    const Case cases[] = {
        {"/", home.at(".cache")},
        {"//", home.at(".cache")},
        {home.path(), home.at(".cache")},
        {home.path() + "/", home.at(".cache")},
        {home.at("mine/.."), home.at(".cache")},
        {parent, home.at(".cache")},
        {home.at("home-again"), home.at(".cache")}, // another name for the home
        {"relative/cache", home.at(".cache")},
        {"", home.at(".cache")},
        {home.at("theirs"), home.at(".cache")}, // owned by another user
        {home.at("mine"), home.at("mine")},
        {home.at("mine/"), home.at("mine")},
        {home.at("not-yet"), home.at("not-yet")},
    };
    for (const auto& c : cases) {
        setenv("XDG_CACHE_HOME", c.value.c_str(), 1);
        EXPECT_EQ(Platform::cacheHome(), c.cache) << c.value;
    }

    // With the home as the cache folder, its documents are no cache.
    home.sizedFile("Documents/thesis.pdf", 3 * 1024 * 1024);
    home.sizedFile(".cache/pip/blob", 3 * 1024 * 1024);
    setenv("XDG_CACHE_HOME", home.path().c_str(), 1);
    std::vector<std::string> found;
    for (const auto& item : Scanner::cacheItems())
        found.push_back(item.path);
    EXPECT_EQ(found, std::vector<std::string>{home.at(".cache/pip")});
}

TEST(XdgDirs, UserFoldersFollowUserDirsAndAreWalkedOnce)
{
    if (Platform::kIsMac)
        GTEST_SKIP() << "a Mac home has no XDG folders";
    TestHome home;
    EXPECT_EQ(Platform::userFolder(UserFolder::Desktop), home.at("Desktop"));
    EXPECT_EQ(Platform::userFolder(UserFolder::Videos), home.at("Videos"));
    EXPECT_EQ(Platform::reportFolder(), home.path()); // no desktop folder yet
    home.dir("Desktop");
    EXPECT_EQ(Platform::reportFolder(), home.at("Desktop"));

    home.file(".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Stuff\"\n"
                                        "XDG_PICTURES_DIR=\"$HOME/Stuff/Pictures\"\n"
                                        "XDG_MUSIC_DIR=\"$HOME/Stuff\"\n"
                                        "XDG_DOWNLOAD_DIR=\"$HOME\"\n");
    EXPECT_EQ(Platform::userFolder(UserFolder::Documents), home.at("Stuff"));
    EXPECT_EQ(Platform::userFolder(UserFolder::Downloads), "");
    // The home itself is left out, a repeat and a folder inside another too.
    EXPECT_EQ(
        Platform::userFolders({UserFolder::Downloads, UserFolder::Pictures, UserFolder::Documents,
                               UserFolder::Music, UserFolder::Desktop}),
        (std::vector<std::string>{home.at("Stuff"), home.at("Desktop")}));
}
