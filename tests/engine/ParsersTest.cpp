// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of tool output, on captured samples (tests/fixtures/measure, each
// opening with a line that says which odd case it holds) and on short texts.
#include "Parsers.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace {

std::string fixture(const std::string& name)
{
    auto path = std::filesystem::path(TIDLO_FIXTURES) / "measure" / name;
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    EXPECT_FALSE(text.empty()) << path;
    if (!text.empty() && text.front() == '#')
        text.erase(0, text.find('\n') + 1);
    return text;
}

} // namespace

TEST(Parsers, SizeLinesSkipOddLinesAndKeepPathsExactly)
{
    auto lines = Parse::sizeLines(fixture("du_odd.txt"), 1024);
    std::vector<std::pair<int64_t, std::string>> got;
    for (auto& l : lines)
        got.emplace_back(l.size, l.path);
    std::vector<std::pair<int64_t, std::string>> want = {
        {4 * 1024, "/r/a"},  {8 * 1024, "/r/b\tc"}, {16 * 1024, "/r/e "},
        {20 * 1024, "/r/f"}, {40 * 1024, "/r"},
    };
    EXPECT_EQ(got, want);
}

TEST(Parsers, SizeLinesJoinANameWithLineFeedsWhenTheJoinedPathExists)
{
    std::set<std::string> existing = {"/r/f\nsecond line", "/r/x\ny\nz"};
    auto exists = [&](const std::string& p) { return existing.count(p) > 0; };
    auto lines = Parse::sizeLines(fixture("du_odd.txt"), 1024, exists);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3].path, "/r/f\nsecond line");

    // Two line feeds: the first piece alone names nothing, both together do.
    lines = Parse::sizeLines("4\t/r/x\ny\nz\n8\t/r\n", 1, exists);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].path, "/r/x\ny\nz");
    // An odd line that joins to nothing existing is dropped.
    lines = Parse::sizeLines("4\t/r/a\nnot a name\n", 1, exists);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].path, "/r/a");
}

TEST(Parsers, StandardPathRemovesDotsAndSlashes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/a/./b/../c", "/a/c"}, {"/a//b/", "/a/b"},         {"/", "/"}, {"/..", "/"},
        {"/a/b/../..", "/"},     {"/a b /c\t", "/a b /c\t"},
    };
    for (auto [in, out] : cases)
        EXPECT_EQ(Parse::standardPath(in), out) << in;
    EXPECT_EQ(Parse::standardPath("rel"), std::filesystem::current_path().string() + "/rel");
}

TEST(Parsers, DuSizeMapKeepsTheLastLineForAPath)
{
    auto map = Parse::duSizeMap("1\t/r/a\n2\t/r/./a\n3\t/r\n");
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(map["/r/a"], 2048);
    EXPECT_EQ(map["/r"], 3072);
}

TEST(Parsers, ExtensionOfTakesTheLastDotOfTheName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/x/photo.JPG", "JPG"}, {"/x/archive.tar.gz", "gz"}, {"/x/Makefile", ""},
        {"/x/.bashrc", ""},      {"/x.d/name", ""},           {"/x/end.", ""},
        {"/x/a.b.mp4 ", "mp4 "},
    };
    for (auto [in, out] : cases)
        EXPECT_EQ(Parse::extensionOf(in), out) << in;
}

TEST(Parsers, ProcessLinesReadMacColumns)
{
    auto procs = Parse::processLines(fixture("ps_mac.txt"), false);
    ASSERT_EQ(procs.size(), 3u);
    EXPECT_EQ(procs[0].pid, 123);
    EXPECT_EQ(procs[0].rss, 4567 * 1024);
    EXPECT_EQ(procs[0].path, "/Applications/Foo Bar.app/Contents/MacOS/Foo Bar");
    EXPECT_EQ(procs[0].name, "Foo Bar");
    EXPECT_EQ(procs[1].name, "launchd");
    EXPECT_EQ(procs[2].path, "/bin/two spaces");
    // Tabs are not separators: the tabbed line has too few columns.
}

TEST(Parsers, ProcessLinesUseShortNamesWhole)
{
    auto procs = Parse::processLines("   7  100 kworker/0:1\n", true);
    ASSERT_EQ(procs.size(), 1u);
    EXPECT_EQ(procs[0].name, "kworker/0:1");
    EXPECT_EQ(procs[0].path, "kworker/0:1");
}

TEST(Parsers, FullProgramNameWhereTheKernelCutIt)
{
    using namespace std::string_literals;
    const struct
    {
        const char* comm;
        std::string cmdline;
        const char* exe;
        const char* name;
    } cases[] = {
        {"gnome-terminal-", "/usr/libexec/gnome-terminal-server\0--x\0"s, "",
         "gnome-terminal-server"},
        {"gnome-terminal-", "gnome-terminal-server"s, "", "gnome-terminal-server"},
        // argv[0] rewritten by the program: the executable names it.
        {"tracker-miner-f", "tracker: crawling\0"s, "/usr/libexec/tracker-miner-fs-3",
         "tracker-miner-fs-3"},
        {"tracker-miner-f", ""s, "/usr/libexec/tracker-miner-fs-3 (deleted)", "tracker-miner-fs-3"},
        // Neither extends comm: comm stays.
        {"Web Content xyz", "/usr/lib/firefox/firefox\0"s, "/usr/lib/firefox/firefox",
         "Web Content xyz"},
        // A short comm is the program's own choice, even when argv[0] differs.
        {"bash", "/bin/bashful\0"s, "/bin/bashful", "bash"},
        {"abcdefghijklmno", "abcdefghijklmno\nevil\0"s, "", "abcdefghijklmno\nevil"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse::fullProgramName(c.comm, c.cmdline, c.exe), c.name) << c.comm;
}

TEST(Parsers, LargestProcessesKeepsTheBiggestInOrder)
{
    std::vector<ProcInfo> table;
    for (int i = 0; i < 400; ++i)
        table.push_back({i, "p" + std::to_string(i), int64_t((i * 7919) % 400) * 1024, ""});
    table.push_back({1000, "tie", table[0].rss, ""}); // same size as pid 0, later in the table
    auto top = Parse::largestProcesses(table, 12);
    ASSERT_EQ(top.size(), 12u);
    for (size_t i = 0; i < top.size(); ++i)
        EXPECT_EQ(top[i].rss, int64_t(399 - i) * 1024);
    auto all = Parse::largestProcesses(table, 1000);
    ASSERT_EQ(all.size(), table.size());
    EXPECT_EQ(all[all.size() - 2].pid, 0);
    EXPECT_EQ(all.back().pid, 1000);
    EXPECT_TRUE(Parse::largestProcesses(table, 0).empty());
}

TEST(Parsers, OwnRssReadsOneNumber)
{
    EXPECT_EQ(Parse::ownRss(" 512\n"), 512 * 1024);
    EXPECT_EQ(Parse::ownRss(""), 0);
    EXPECT_EQ(Parse::ownRss("\n"), 0);
    EXPECT_EQ(Parse::ownRss("12 KB"), 0);
}

TEST(Parsers, VmStatFreeCountsFreeInactiveAndSpeculativePages)
{
    EXPECT_EQ(Parse::vmStatFree(fixture("vm_stat.txt")), (1000 + 2000 + 500) * int64_t(16384));
    // No page-size phrase: 4096; no speculative line: nothing for it.
    EXPECT_EQ(Parse::vmStatFree("Pages free: 10.\nPages inactive: 5.\n"), 15 * 4096);
    EXPECT_EQ(Parse::vmStatFree(""), 0);
    // A line with the key but no digits gives way to a later one.
    EXPECT_EQ(Parse::vmStatFree("Pages free: none\nPages free: 3.\n"), 3 * 4096);
}

TEST(Parsers, MeminfoAvailableInBytes)
{
    EXPECT_EQ(Parse::meminfoAvailable("MemTotal: 100 kB\nMemAvailable:    2048 kB\n"), 2048 * 1024);
    EXPECT_FALSE(Parse::meminfoAvailable("MemTotal: 100 kB\n"));
    EXPECT_FALSE(Parse::meminfoAvailable("MemAvailable: lots\n"));
}

TEST(Parsers, SnapshotLinesDropTheHeader)
{
    std::vector<std::string> want = {"com.apple.TimeMachine.2024-05-01-101010.local",
                                     "com.apple.TimeMachine.2024-05-02-111111.local"};
    EXPECT_EQ(Parse::snapshotLines(fixture("tmutil.txt")), want);
    EXPECT_TRUE(Parse::snapshotLines("").empty());
}

TEST(Parsers, SessionAndSnapshotToolTexts)
{
    EXPECT_EQ(Parse::enabledUnits("pipewire.service           enabled enabled\n"
                                  "syncthing.service enabled disabled\n\n"
                                  "odd.timer\n"
                                  "masked.service masked enabled\n"
                                  "  spaced.socket   enabled   enabled  \n"),
              (std::vector<std::string>{"pipewire.service", "syncthing.service", "spaced.socket"}));
    EXPECT_TRUE(Parse::enabledUnits("").empty());

    const auto entry = Parse::desktopEntry("# c\n[Desktop Entry]\n Name = A = B \nHidden=true\n"
                                           "[Other]\nName=Z\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(entry.name, "A = B");
    EXPECT_TRUE(entry.hidden);
    EXPECT_FALSE(entry.disabled);

    EXPECT_EQ(Parse::snapperInfo("<date>x</date>"), (std::pair<std::string, std::string>{"x", ""}));
    EXPECT_EQ(Parse::snapperInfo("<description>&lt;b&gt; &amp;amp;</description><date>"),
              (std::pair<std::string, std::string>{"", "<b> &amp;"}));

    EXPECT_EQ(
        Parse::btrfsSnapshots(
            "ID 259 gen 10 cgen 10 top level 5 otime 2024-03-05 09:07:01 path "
            ".snapshots/1/snapshot\n"
            "ID 260 gen 11 top level 5 path no-time\n"
            "ID 261 gen 12 cgen 12 top level 5 otime 2024-04-01 10:00:00 path a b/c\n"),
        (std::vector<std::pair<std::string, std::string>>{
            {"2024-03-05 09:07:01", ".snapshots/1/snapshot"}, {"2024-04-01 10:00:00", "a b/c"}}));
}
