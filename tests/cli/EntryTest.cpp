// SPDX-License-Identifier: GPL-3.0-or-later
#include "Entry.h"
#include "TestHome.h"

#include <gtest/gtest.h>

using Cli::Command;
using Cli::parse;

namespace {
const std::string kHome = "/home/ann";
}

TEST(Entry, PicksTheCommandWordAndItsAliases)
{
    struct Case
    {
        std::vector<std::string> args;
        Command command;
    };
    const std::vector<Case> cases = {
        {{}, Command::Overview},
        {{"overview"}, Command::Overview},
        {{"ov"}, Command::Overview},
        {{"scan"}, Command::Scan},
        {{"tree"}, Command::Tree},
        {{"dupes"}, Command::Dupes},
        {{"names"}, Command::Names},
        {{"big"}, Command::Big},
        {{"types"}, Command::Types},
        {{"clean"}, Command::Clean},
        {{"procs"}, Command::Procs},
        {{"ps"}, Command::Procs},
        {{"version"}, Command::Version},
        {{"--version"}, Command::Version},
        {{"-v"}, Command::Version},
        {{"help"}, Command::Usage},
        {{"--help"}, Command::Usage},
        {{"-h"}, Command::Usage},
        {{"help", "--min", "x"}, Command::Usage},
        {{"version", "--json"}, Command::Version},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse(c.args, kHome).command, c.command) << (c.args.empty() ? "" : c.args[0]);
}

TEST(Entry, TreeDepthIsClampedAndDashDWins)
{
    struct Case
    {
        std::vector<std::string> args;
        int depth;
    };
    const std::vector<Case> cases = {
        {{"tree"}, 3},
        {{"tree", "-d", "0"}, 1},
        {{"tree", "-d", "-4"}, 1},
        {{"tree", "-d", "12"}, 8},
        {{"tree", "--depth", "5"}, 5},
        {{"tree", "--depth", "5", "-d", "2"}, 2},
        {{"tree", "-d", "2", "--depth", "5"}, 2},
        {{"tree", "-d", "2", "-d", "6"}, 6},
    };
    for (const auto& c : cases) {
        auto inv = parse(c.args, kHome);
        EXPECT_EQ(inv.depth, c.depth) << ::testing::PrintToString(c.args);
        EXPECT_EQ(inv.count, 40);
    }
}

TEST(Entry, TreePathIsTheFirstPositionalOrHome)
{
    EXPECT_EQ(parse({"tree"}, kHome).path, kHome);
    EXPECT_EQ(parse({"tree", "/a", "/b"}, kHome).path, "/a");
    EXPECT_EQ(parse({"tree", "-d", "/x", "/y"}, kHome).path, "/y")
        << "the value of -d is not a positional argument";
    EXPECT_EQ(parse({"tree", "-d", "2", "my folder"}, kHome).path, "my folder");
    const auto dashed = parse({"tree", "-d", "2", "--", "-d"}, kHome);
    EXPECT_EQ(dashed.path, "-d");
    EXPECT_EQ(dashed.depth, 2);
    EXPECT_EQ(dashed.command, Command::Tree);
}

TEST(Entry, UnknownWordsOptionsAndBadValuesAreUsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {"Scan"},
        {"--json", "scan"},
        {""},
        {"bogus"},
        {"scan", "--min", "abc"},
        {"scan", "--min", "-5"},
        {"scan", "--min"},
        {"scan", "--bogus"},
        {"big", "--min", "10MB"},
        {"big", "--min", "200", "-n", "3"},
        {"tree", "-d", "x"},
        {"tree", "-d", " 5"},
        {"tree", "-d", "99999999999999999999"},
        {"tree", "-d"},
        {"dupes", "-n", "-3"},
        {"dupes", "-n", "0"},
        {"dupes", "-n", "--json"},
        {"clean", "--min", "--yes"},
        {"clean", "--force"},
        {"overview", "--json"},
    };
    for (const auto& args : cases)
        EXPECT_EQ(parse(args, kHome).command, Command::BadUsage) << ::testing::PrintToString(args);
}

TEST(Entry, NumberOptionsFallBackToTheirDefaults)
{
    struct Case
    {
        std::vector<std::string> args;
        int64_t minMB;
        int64_t limit;
    };
    const std::vector<Case> cases = {
        {{"scan"}, 0, 0},
        {{"scan", "--min", "0"}, 0, 0},
        {{"big"}, 50, 30},
        {{"big", "--min", "10", "MB"}, 10, 30},
        {{"dupes"}, 0, 1500},
        {{"dupes", "-n", "1"}, 0, 1},
        {{"dupes", "-n", "100000"}, 0, 100000},
        {{"clean", "--min", "+25"}, 25, 0},
    };
    for (const auto& c : cases) {
        auto inv = parse(c.args, kHome);
        EXPECT_NE(inv.command, Command::BadUsage) << ::testing::PrintToString(c.args);
        EXPECT_EQ(inv.minMB, c.minMB) << ::testing::PrintToString(c.args);
        EXPECT_EQ(inv.limit, c.limit) << ::testing::PrintToString(c.args);
    }
}

TEST(Entry, CleanIsADryRunUnlessYesWithoutDryRun)
{
    struct Case
    {
        std::vector<std::string> args;
        bool safeOnly;
        bool dryRun;
    };
    const std::vector<Case> cases = {
        {{"clean"}, false, true},
        {{"clean", "--safe"}, true, true},
        {{"clean", "--yes"}, false, false},
        {{"clean", "--safe", "--yes"}, true, false},
        {{"clean", "--yes", "--dry-run"}, false, true},
        {{"clean", "--dry-run"}, false, true},
        {{"clean", "yes"}, false, true},
    };
    for (const auto& c : cases) {
        auto inv = parse(c.args, kHome);
        EXPECT_EQ(inv.safeOnly, c.safeOnly) << ::testing::PrintToString(c.args);
        EXPECT_EQ(inv.dryRun, c.dryRun) << ::testing::PrintToString(c.args);
    }
}

TEST(Entry, SplitsFlagsOptionsAndPositionals)
{
    auto inv = parse({"scan", "--json", "x", "--min", "-n", "-q", "y"}, kHome);
    EXPECT_TRUE(inv.json);
    EXPECT_EQ(inv.opts.at("--min"), "-n")
        << "a value option takes the next argument, whatever it is";
    EXPECT_EQ(inv.flags, (std::set<std::string>{"--json", "-q"}));
    EXPECT_EQ(inv.positional, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(inv.command, Command::BadUsage) << "-q is no option of scan, -n no size";
    EXPECT_FALSE(parse({"scan", "json"}, kHome).json);
}

TEST(Entry, TildeShortensTheHomeAtTheStartOnly)
{
    Cli::setHome("/home/ann");
    const std::pair<const char*, const char*> cases[] = {
        {"/home/ann/Library/Caches", "~/Library/Caches"},
        {"/srv/x", "/srv/x"},
        {"/home/ann", "~"},
        {"/home/ann/x/home/ann-old", "~/x/home/ann-old"},
        {"/home/anne/x", "/home/anne/x"},
        {"/srv/home/ann/x", "/srv/home/ann/x"},
    };
    for (const auto& [path, shown] : cases)
        EXPECT_EQ(Cli::tilde(path), shown) << path;
}
