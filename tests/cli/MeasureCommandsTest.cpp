// SPDX-License-Identifier: GPL-3.0-or-later
// overview, tree, types, dupes, names and procs, run as the real tclean on a
// fixture home. Outputs whose figures are fixed (logical file sizes, a tree
// served from a seeded cache file) are compared byte for byte; those that read
// the machine (volume, processes) are checked line by line for their form.
#include "DiskTree.h"
#include "Files.h"
#include "Strings.h"
#include "TestHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace fs = std::filesystem;
using TestSupport::runOnTerminal;
using TestSupport::runProgram;
using TestSupport::tcleanPath;
using TestSupport::TestHome;

namespace {

TestSupport::RunResult tclean(const std::vector<std::string>& args)
{
    return runProgram(tcleanPath(), args);
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(text.substr(start, nl - start));
    return out;
}

std::string node(const std::string& name, const std::string& path, int64_t size,
                 const std::string& children = "")
{
    return R"({"id":"0F0F0F0F-0000-4000-8000-000000000000","name":")" + name + R"(","path":")" +
           path + R"(","size":)" + std::to_string(size) +
           R"(,"fileCount":0,"fileBytes":0,"files":[],"children":[)" + children + "]}";
}

void seedTree(const std::string& root, int depth, const std::string& json)
{
    ASSERT_TRUE(Files::makeDirs(DiskTree::cacheFolder()));
    ASSERT_TRUE(Files::writeAtomically(
        DiskTree::cacheFolder() + "/" + DiskTree::cacheFileName(root, depth), json));
}

} // namespace

TEST(MeasureCommands, TreePrintsTheCachedTreeWithBars)
{
    TestHome home("zh");
    home.dir("t");
    std::string root = home.at("t");
    seedTree(
        root, 3,
        node("t", root, 1048576,
             node("alpha", root + "/alpha", 524288, node("deep", root + "/alpha/deep", 262144)) +
                 "," + node("beta", root + "/beta", 102400) + "," +
                 node("a name that is longer than twenty-four", root + "/long", 0)));
    std::string want = root + "   1.0 MB\n"
                              "├── alpha                     512.0 KB ███████░░░░░░░ 50.0%\n"
                              "│   └── deep                      256.0 KB ████░░░░░░░░░░ 25.0%\n"
                              "├── beta                      100.0 KB █░░░░░░░░░░░░░  9.8%\n"
                              "└── a name that is longer t…  0 B      ░░░░░░░░░░░░░░  0.0%\n";
    auto r = tclean({"tree", "~/t"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, want);

    // Depth 1 leaves out the second level (its own cache file).
    seedTree(root, 1, node("t", root, 1048576, node("alpha", root + "/alpha", 524288)));
    EXPECT_EQ(tclean({"tree", root, "-d", "1"}).out,
              root + "   1.0 MB\n└── alpha                     512.0 KB ███████░░░░░░░ 50.0%\n");

    auto term = runOnTerminal(tcleanPath(), {"tree", root, "-d", "1"});
    EXPECT_EQ(linesOf(term.out).at(0), "\x1b[1m" + root + "\x1b[0m   \x1b[36m1.0 MB\x1b[0m");
    EXPECT_EQ(linesOf(term.out).at(1),
              "\x1b[2m└── \x1b[0malpha                     "
              "\x1b[36m512.0 KB \x1b[0m\x1b[2m███████░░░░░░░ 50.0%\x1b[0m");
}

TEST(MeasureCommands, TreeShowsFortyChildrenAndCountsTheRest)
{
    TestHome home("zh");
    home.dir("t");
    std::string root = home.at("t");
    std::string children;
    for (int i = 0; i < 45; ++i)
        children += (i ? "," : "") + node("f" + std::to_string(i), root + "/f" + std::to_string(i),
                                          (100 - i) * 1024);
    seedTree(root, 3, node("t", root, 1 << 20, children));
    auto lines = linesOf(tclean({"tree", root}).out);
    ASSERT_EQ(lines.size(), 42u);
    EXPECT_EQ(lines[40].rfind("└── f39 ", 0), 0u) << lines[40];
    EXPECT_EQ(lines[41], "  … 还有 5 项");
}

TEST(MeasureCommands, TreeMeasuresAFreshFolderAndWritesItsCache)
{
    TestHome home("zh");
    home.sizedFile("m/big/x", 100000);
    home.dir("m/small");
    auto r = tclean({"tree", home.at("m"), "-d", "12"});
    EXPECT_EQ(r.status, 0);
    auto lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].rfind("├── big ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("└── small ", 0), 0u);
    EXPECT_TRUE(
        fs::exists(DiskTree::cacheFolder() + "/" + DiskTree::cacheFileName(home.at("m"), 8)));
}

TEST(MeasureCommands, TreeOnAFileOrNothingFails)
{
    TestHome home("zh");
    home.file("plain.txt", "x");
    for (const std::string& path : {home.at("plain.txt"), home.at("missing")}) {
        auto r = tclean({"tree", path});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "不是文件夹：" + path + "\n");
    }
    auto r = tclean({"tree", "~/plain.txt"});
    EXPECT_EQ(r.out, "不是文件夹：" + home.at("plain.txt") + "\n");
    auto term = runOnTerminal(tcleanPath(), {"tree", home.at("plain.txt")});
    EXPECT_EQ(term.status, 1);
    EXPECT_EQ(term.out, "\x1b[31m不是文件夹：" + home.at("plain.txt") + "\x1b[0m\n");
}

TEST(MeasureCommands, TreeAsAnUnprivilegedUserPassesOverUnreadableFolders)
{
    if (!TestSupport::canDropPrivileges())
        GTEST_SKIP() << "needs root to switch to an unprivileged user";
    TestHome home("zh");
    home.dir("u/open");
    home.dir("u/closed/inner");
    fs::permissions(home.path(), fs::perms(0777));
    fs::permissions(home.at("u/closed"), fs::perms::none);
    auto r = runProgram("/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                             tcleanPath(), "tree", home.at("u")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("open"), std::string::npos);
    EXPECT_EQ(r.out.find("inner"), std::string::npos);
}

TEST(MeasureCommands, TypesSumsByExtension)
{
    TestHome home("zh");
    home.file("Desktop/c.jpg", std::string(5000, 'x'));
    home.file("Documents/a.PDF", std::string(2048, 'x'));
    home.file("Downloads/sub/b.pdf", std::string(1024, 'x'));
    home.file("Documents/README", std::string(100, 'x'));
    home.file("Documents/.hidden/x.pdf", std::string(9999, 'x'));
    home.file("Documents/.dot", "x");
    home.file("Movies/elsewhere.mov", std::string(9999, 'x'));
    fs::create_symlink(home.at("Desktop/c.jpg"), home.at("Documents/link.jpg"));
    std::string want = "文件类型占用  （桌面 / 下载 / 文稿）\n"
                       "  jpg           4.9 KB    ██████████░░░░░░ 61.2%  1 个\n"
                       "  pdf           3.0 KB    ██████░░░░░░░░░░ 37.6%  2 个\n"
                       "  (无扩展名)        100 B     ░░░░░░░░░░░░░░░░  1.2%  1 个\n"
                       "\n"
                       "  合计 8.0 KB\n";
    EXPECT_EQ(tclean({"types"}).out, want);

    TestHome empty("zh");
    EXPECT_EQ(tclean({"types"}).out, "文件类型占用  （桌面 / 下载 / 文稿）\n\n  合计 0 B\n");
}

TEST(MeasureCommands, DupesListsConfirmedGroups)
{
    TestHome home("zh");
    EXPECT_EQ(tclean({"dupes"}).out,
              "内容重复（大小相同或相差 ≤0.5 KB，比对头尾 64KB，不看文件名）\n"
              "  扫描中…\n"
              "\n"
              "  共 0 组，可回收约 0 B\n");

    std::string data(70000, 'd');
    data[35000] = 'x';
    home.file("Documents/a.bin", data);
    home.file("Downloads/b.bin", data);
    std::string trap = data;
    trap[35000] = 'y'; // same head and tail, other middle
    home.file("Desktop/trap.bin", trap);
    home.file("Pictures/trap copy.bin", trap.substr(0, 69999) + "!"); // other tail
    EXPECT_EQ(tclean({"dupes", "-n", "100"}).out,
              "内容重复（大小相同或相差 ≤0.5 KB，比对头尾 64KB，不看文件名）\n"
              "  扫描中…\n"
              "\n"
              "  1. 2 个 · 68.4 KB  可回收 68.4 KB\n"
              "     ~/Documents/a.bin\n"
              "     ~/Downloads/b.bin\n"
              "\n"
              "  共 1 组，可回收约 68.4 KB\n");
}

TEST(MeasureCommands, NamesShowsSixMembersAndCountsTheRest)
{
    TestHome home("zh");
    for (int i = 1; i <= 9; ++i)
        home.file("Documents/d" + std::to_string(i) + "/report.txt", "ten bytes!");
    home.dir("Desktop/line\nfeed");
    home.dir("Downloads/line\nfeed");
    std::string want = "同名项目（名字相同且体积一致）\n"
                       "\n"
                       "  1. report.txt  文件 · 9 处\n";
    for (int i = 1; i <= 6; ++i)
        want += "     ~/Documents/d" + std::to_string(i) + "/report.txt\n";
    want += "     … 还有 3 处\n"
            "\n"
            "  2. line?feed  文件夹 · 2 处\n"
            "     ~/Desktop/line?feed\n"
            "     ~/Downloads/line?feed\n"
            "\n"
            "  共 2 组\n";
    EXPECT_EQ(tclean({"names"}).out, want);
}

TEST(MeasureCommands, ProcsListsOwnMemoryAndProcesses)
{
    TestHome home("zh");
    auto lines = linesOf(tclean({"procs"}).out);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "内存占用");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("  本应用  [0-9.]+ (B|KB|MB|GB)")))
        << lines[1];
    EXPECT_EQ(lines[2], "");
    EXPECT_LE(lines.size(), 3u + 12u);
    for (size_t i = 3; i < lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], std::regex("  [0-9.]+ [KMGT]?B +.*pid [0-9]+")))
            << lines[i];
}

TEST(MeasureCommands, OverviewShowsDiskAndTopFolders)
{
    TestHome home("zh");
    for (const char* name : {"Desktop", "Documents", "Downloads", "Movies", "Music", "Pictures",
                             "Public", "Projects", "Notes"})
        home.file(std::string(name) + "/f", "x");
    home.dir(".hidden");
    auto lines = linesOf(tclean({"overview"}).out);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "蒂朵清理工具 · 磁盘概览");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("  磁盘   .+ / .+   可用 .+"))) << lines[1];
    EXPECT_EQ(Strings::characterCount(lines[2]),
              2u + 40u + 2u + Strings::characterCount(lines[2].substr(lines[2].rfind(' ') + 1)));
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "  空间去向");
    EXPECT_EQ(lines.back(), "  下一步：tclean scan   看看能清什么");
    size_t categories = lines.size() - 6;
    EXPECT_GE(categories, 7u); // six folders and Other
    EXPECT_LE(categories, 8u);
    for (size_t i = 5; i + 1 < lines.size(); ++i) {
        EXPECT_EQ(Strings::characterCount(lines[i]), 2u + 18u + 10u + 24u) << lines[i];
        EXPECT_EQ(lines[i].find(".hidden"), std::string::npos);
    }
}

TEST(MeasureCommands, PipedOutputHasNoEscapes)
{
    TestHome home("zh");
    home.file("Documents/a", "x");
    home.file("Downloads/a", "x");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"overview"}, {"tree", home.path()}, {"types"}, {"dupes"}, {"names"}, {"procs"}}) {
        auto r = tclean(args);
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << args[0];
    }
}
