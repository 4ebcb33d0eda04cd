// SPDX-License-Identifier: GPL-3.0-or-later
// tclean on homes built by a hostile user or a careless program: names that
// hold line feeds, tabs, escape sequences or invalid UTF-8, huge sparse files,
// oversized stored files and a home whose name starts with "-". Every case
// here once gave a wrong figure, a forged entry or a crash.
#include "DiskTree.h"
#include "Files.h"
#include "TestHome.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;
using TestSupport::runProgram;
using TestSupport::tcleanPath;
using TestSupport::TestHome;

namespace {

constexpr long long kMiB = 1024 * 1024;

TestSupport::RunResult tclean(const std::vector<std::string>& args)
{
    return runProgram(tcleanPath(), args);
}

// A file of size bytes without its blocks.
void sparseFile(const std::string& path, long long size)
{
    fs::create_directories(fs::path(path).parent_path());
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

} // namespace

TEST(HostileInput, ToolLinesCannotBeForgedByNames)
{
    TestHome home("zh");
    // A folder whose name forges a du line of 7.2 TB for a path in the tree.
    home.sizedFile("t/real/f", 4096);
    home.dir("t/x\n7777777777\t" + home.at("t/real"));
    auto tree = tclean({"tree", home.at("t"), "-d", "1"});
    EXPECT_EQ(tree.status, 0);
    EXPECT_EQ(tree.out.find("TB"), std::string::npos) << tree.out;
    EXPECT_EQ(tree.out.find("5555"), std::string::npos) << tree.out;

    // A large file whose name forges a small file's path, and one whose name
    // continues into a small file beside it.
    home.file(".ssh/id_rsa", std::string(20, 'k'));
    sparseFile(home.at("a\n" + home.at(".ssh/id_rsa")), 60 * kMiB);
    home.file("Downloads/plain", "small");
    sparseFile(home.at("Downloads/plain\nname.bin"), 70 * kMiB);
    auto big = tclean({"big", "--min", "50"});
    EXPECT_EQ(big.status, 0);
    EXPECT_EQ(big.out.find("   ~/.ssh/id_rsa\n"), std::string::npos) << big.out;
    EXPECT_EQ(big.out.find("   ~/Downloads/plain\n"), std::string::npos) << big.out;
    EXPECT_NE(big.out.find("70.0 MB"), std::string::npos) << big.out;
    EXPECT_NE(big.out.find("60.0 MB"), std::string::npos) << big.out;
}

TEST(HostileInput, HomeStartingWithADashIsMeasuredAsAPath)
{
    TestHome home("en");
    std::string dashed = home.at("-d");
    fs::create_directories(dashed + "/Documents");
    {
        int fd = ::open((dashed + "/Documents/f").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        std::string data(300000, 'x');
        ASSERT_EQ(::write(fd, data.data(), data.size()), ssize_t(data.size()));
        ::close(fd);
    }
    auto before = fs::current_path();
    fs::current_path(home.path());
    // Measured as a path, never read as an option: the folder below it counts.
    auto r = runProgram(tcleanPath(), {"overview"}, {{"HOME", "-d"}});
    fs::current_path(before);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Documents         300.0 KB"), std::string::npos) << r.out;
}

TEST(HostileInput, OversizedStoredFilesAreReadAsCorrupt)
{
    TestHome home("zh");
    home.sizedFile("t/f", 8192);
    // A sparse tree cache far beyond any real tree, with a fresh date.
    ASSERT_TRUE(Files::makeDirs(DiskTree::cacheFolder()));
    std::string cache = DiskTree::cacheFolder() + "/" + DiskTree::cacheFileName(home.at("t"), 3);
    sparseFile(cache, 4LL * 1024 * 1024 * 1024);
    auto r = tclean({"tree", home.at("t")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("12.0 KB"), std::string::npos) << r.out;
}

TEST(HostileInput, ControlCharactersReachNoTerminalFromScanCleanOrBig)
{
    TestHome home("zh");
    std::string evil = "ev\x1b]0;pwn\x07il";
    home.sizedFile("Library/Caches/" + evil + "/blob", 2 * kMiB);
    home.sizedFile(".cache/" + evil + "/blob", 2 * kMiB);
    sparseFile(home.at("Downloads/" + evil + ".iso"), 60 * kMiB);
    for (std::vector<std::string> args :
         {std::vector<std::string>{"scan"}, {"clean", "--dry-run"}, {"big"}}) {
        auto r = tclean(args);
        EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << args[0] << ": " << r.out;
        EXPECT_EQ(r.out.find('\x07'), std::string::npos) << args[0];
        EXPECT_NE(r.out.find("ev?]0;pwn?il"), std::string::npos) << args[0] << ": " << r.out;
    }
    // The JSON keeps the exact name, escaped.
    EXPECT_NE(tclean({"scan", "--json"}).out.find("ev\\u001b]0;pwn\\u0007il"), std::string::npos);
}

TEST(HostileInput, NonUtf8NamesStayApartInNamesAndTypes)
{
    TestHome home("zh");
    home.file("Documents/x\xff.txt", "1");
    home.file("Documents/sub/x\xfe.txt", "1");
    home.file("Documents/y.\xff", std::string(10, 'a'));
    home.file("Documents/z.\xfe", std::string(20, 'a'));
    auto names = tclean({"names"});
    EXPECT_EQ(names.out.find(" 2 处"), std::string::npos) << names.out;
    auto types = tclean({"types"});
    EXPECT_NE(types.out.find("10 B"), std::string::npos) << types.out;
    EXPECT_NE(types.out.find("20 B"), std::string::npos) << types.out;
}

TEST(HostileInput, StaleTemporaryFilesGoOnTheNextWrite)
{
    TestHome home("zh");
    std::string folder = home.at("store");
    ASSERT_TRUE(Files::makeDirs(folder));
    std::string stale = folder + "/history.json.tmp-AbC123";
    std::string fresh = folder + "/history.json.tmp-XyZ789";
    std::string other = folder + "/notes.txt.tmp-AbC123";
    for (const auto& f : {stale, fresh, other})
        home.file(f.substr(home.path().size() + 1), "half");
    auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(stale, old);
    fs::last_write_time(other, old);
    ASSERT_TRUE(Files::writeAtomically(folder + "/history.json", "[]"));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh)); // may be another process's write in progress
    EXPECT_TRUE(fs::exists(other));
    EXPECT_EQ(Files::read(folder + "/history.json"), "[]");
    EXPECT_FALSE(Files::read(folder + "/history.json", 1));
}

TEST(HostileInput, CleanAnnouncesAndCountsEachItemOnce)
{
    TestHome home("zh");
    // A leftover of a removed application with a cache inside it: listed as
    // a leftover and as a cache, and the cache moves with the leftover.
    home.sizedFile("Library/Application Support/GoneTool/Cache/blob", 3 * kMiB);
    home.sizedFile("Library/Application Support/GoneTool/data", 2 * kMiB);
    home.sizedFile("Library/Caches/pip/blob", 2 * kMiB);
    auto dry = tclean({"clean"});
    EXPECT_EQ(dry.out.find("GoneTool/Cache\n"), std::string::npos) << dry.out;
    auto r = tclean({"clean", "--yes"});
    EXPECT_EQ(r.status, 0) << r.out;
    size_t announced = 0, moved = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "将移动 %zu 项", &announced), 1) << r.out;
    size_t at = r.out.find("已移动 ");
    ASSERT_NE(at, std::string::npos) << r.out;
    ASSERT_EQ(std::sscanf(r.out.c_str() + at, "已移动 %zu 项", &moved), 1);
    EXPECT_EQ(announced, moved) << r.out;
    EXPECT_FALSE(fs::exists(home.at("Library/Application Support/GoneTool")));
    EXPECT_FALSE(fs::exists(home.at("Library/Caches/pip")));
}

TEST(HostileInput, CleanThatMovesNothingFailsOnItsStatus)
{
    TestHome home("zh");
    home.sizedFile("Library/Caches/pip/blob", 2 * kMiB);
    // The desktop's Trash is a file: the mover refuses it, nothing moves.
    home.file(".local/share/Trash", "not a folder");
    auto r = tclean({"clean", "--yes"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("已移动 0 项"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(home.at("Library/Caches/pip/blob")));
}
