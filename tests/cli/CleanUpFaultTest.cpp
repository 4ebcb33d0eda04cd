// tclean clean --yes when the clean-up is cut short or raced: killed between
// two moves, or run twice at once on one home. Every item must end either in
// place or in the desktop's Trash with its record, and the counts must add up.
#include "Platform.h"
#include "TestHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace fs = std::filesystem;
using TestSupport::runProgram;
using TestSupport::tcleanPath;
using TestSupport::TestHome;

namespace {

constexpr long long kMiB = 1024 * 1024;
const std::vector<std::string> kItems = {"Library/Caches/pip", "Library/Caches/a.b.c", ".cache/pip",
                                         ".npm/_cacache", ".cache/yarn"};

void buildHome(const TestHome& home)
{
    for (const auto& rel : kItems)
        home.sizedFile(rel + "/blob", 2 * kMiB);
}

size_t movedIn(const std::string& out)
{
    size_t at = out.find("已移动 ");
    size_t n = 0;
    if (at == std::string::npos || std::sscanf(out.c_str() + at, "已移动 %zu 项", &n) != 1)
        return 0;
    return n;
}

// Every item is in place or has one Trash entry with its record; returns how
// many are in the Trash.
size_t checkNothingLost(const TestHome& home)
{
    std::string files = Platform::desktopTrash() + "/files";
    std::string info = Platform::desktopTrash() + "/info";
    std::set<std::string> entries;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(files, ec)) {
        std::string name = e.path().filename().string();
        entries.insert(name);
        EXPECT_TRUE(fs::exists(info + "/" + name + ".trashinfo")) << name;
        EXPECT_TRUE(fs::exists(e.path() / "blob")) << name;
    }
    size_t inPlace = 0;
    for (const auto& rel : kItems)
        if (fs::exists(home.at(rel + "/blob")))
            ++inPlace;
    EXPECT_EQ(inPlace + entries.size(), kItems.size());
    return entries.size();
}

} // namespace

TEST(CleanUpFaults, KilledBetweenMovesLosesNothing)
{
    if (!fs::exists("/usr/bin/strace"))
        GTEST_SKIP() << "strace is needed to kill the clean-up in the middle";
    TestHome home;
    buildHome(home);
    // SIGKILL on the third no-overwrite rename: two items moved, the third
    // has its record written and is still in place.
    auto r = runProgram("/usr/bin/strace",
                        {"-f", "-o", "/dev/null", "-e", "inject=renameat2:signal=SIGKILL:when=3",
                         tcleanPath(), "clean", "--yes"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(checkNothingLost(home), 2u);
}

TEST(CleanUpFaults, TwoCleanUpsAtOnceMoveEachItemOnce)
{
    TestHome home;
    buildHome(home);
    TestSupport::RunResult a, b;
    std::thread first([&] { a = runProgram(tcleanPath(), {"clean", "--yes"}); });
    std::thread second([&] { b = runProgram(tcleanPath(), {"clean", "--yes"}); });
    first.join();
    second.join();
    size_t inTrash = checkNothingLost(home);
    EXPECT_EQ(inTrash, kItems.size());
    EXPECT_EQ(movedIn(a.out) + movedIn(b.out), kItems.size()) << a.out << b.out;
    // A run that found an item already gone counts it as not moved and
    // says so by its status.
    for (const auto* run : {&a, &b}) {
        size_t announced = 0;
        if (std::sscanf(run->out.c_str(), "将移动 %zu 项", &announced) != 1)
            continue;
        EXPECT_EQ(run->status, movedIn(run->out) == announced ? 0 : 1) << run->out;
    }
}
