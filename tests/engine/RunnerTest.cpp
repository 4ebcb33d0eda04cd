// SPDX-License-Identifier: GPL-3.0-or-later
// The runner starts real tools (/bin/sh, printf, du, sleep) and reads what
// they print; sizeOf measures folders and files of a throw-away home.
#include "Runner.h"
#include "Measure.h"
#include "TestHome.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono;

namespace {

std::string sh(const std::string& script, const CancelToken* token = nullptr)
{
    return Shell::run("/bin/sh", {"-c", script}, token);
}

} // namespace

TEST(Shell, PassesEachArgumentUnchangedWithoutAShell)
{
    EXPECT_EQ(Shell::run("/usr/bin/printf",
                         {"[%s]", "a b", "tab\there", "", "'q\"", "$HOME*", "line\nfeed"}),
              "[a b][tab\there][]['q\"][$HOME*][line\nfeed]");
}

TEST(Shell, YieldsEmptyTextWhenNothingUsableIsPrinted)
{
    EXPECT_EQ(Shell::run("/no/such/tool", {}), "");
    EXPECT_EQ(Shell::run("printf", {"relative"}), "");
    EXPECT_EQ(Shell::run("/tmp", {}), ""); // a folder cannot be started
    EXPECT_EQ(sh("echo only diagnostics >&2; exit 1"), "");
}

TEST(Shell, KeepsOutputOfAFailingToolAndItsTrailingLineFeed)
{
    EXPECT_EQ(sh("echo partial; echo oops >&2; exit 3"), "partial\n");
    EXPECT_EQ(sh("printf 'no line feed'"), "no line feed");
}

TEST(Shell, DropsOnlyTheLinesThatAreNotUtf8)
{
    struct Case
    {
        const char* script;
        std::string expected;
    };
    const Case cases[] = {
        {R"(printf 'ok\nbad \377 name\nlast\n')", "ok\nlast\n"},
        {R"(printf 'first\n\300\257\n\355\240\200\nend')", "first\nend"}, // overlong, surrogate
        {R"(printf 'tail \351')", ""},
        {R"(printf '中文 ✓\n\000nul\n')", std::string("中文 ✓\n\0nul\n", 16)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sh(c.script), c.expected) << c.script;
}

TEST(Shell, DrainsLargeOutputWhileTheToolRuns)
{
    // Far more than a pipe holds: without the reader thread the tool would stall.
    std::string out = Shell::run("/usr/bin/head", {"-c", "5000000", "/dev/zero"});
    EXPECT_EQ(out.size(), 5000000u);
    CancelToken token;
    EXPECT_EQ(Shell::run("/usr/bin/head", {"-c", "3000000", "/dev/zero"}, &token).size(), 3000000u);
}

TEST(Shell, WaitsForTheToolWithoutATimeLimit)
{
    auto start = steady_clock::now();
    EXPECT_EQ(sh("sleep 0.4; echo done"), "done\n");
    EXPECT_GE(steady_clock::now() - start, milliseconds(400));
}

TEST(Shell, CancelStopsTheToolAndReturnsWhatItPrinted)
{
    CancelToken token;
    std::thread canceller([&] {
        std::this_thread::sleep_for(milliseconds(300));
        token.cancel();
    });
    auto start = steady_clock::now();
    std::string out = sh("echo started; exec sleep 20", &token);
    auto took = steady_clock::now() - start;
    canceller.join();
    EXPECT_EQ(out, "started\n");
    EXPECT_LT(took, seconds(3));
    EXPECT_TRUE(token.isCancelled());
}

TEST(Shell, CancelReachesTheToolEvenWhenTheCallerBlocksSigterm)
{
    // A thread that blocks SIGTERM (as threads of a GUI often do) must not
    // pass that mask on to the tool, or the polite stop would never arrive.
    sigset_t term, old;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &term, &old);
    CancelToken token;
    token.cancel();
    auto start = steady_clock::now();
    std::string out = sh("exec sleep 10", &token);
    auto took = steady_clock::now() - start;
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    EXPECT_EQ(out, "");
    EXPECT_LT(took, seconds(3));
}

TEST(Shell, ATokenThatIsNeverCancelledDoesNotCutTheRunShort)
{
    CancelToken token;
    EXPECT_EQ(sh("sleep 0.3; echo finished", &token), "finished\n");
    // The tool closes its output early and goes on working: still waited for.
    auto start = steady_clock::now();
    EXPECT_EQ(sh("echo early; exec >&-; sleep 0.3", &token), "early\n");
    EXPECT_GE(steady_clock::now() - start, milliseconds(300));
}

TEST(Shell, RunsFromManyThreadsAtOnce)
{
    std::vector<std::string> outs(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < outs.size(); ++i)
        threads.emplace_back([&, i] { outs[i] = sh("sleep 0.1; echo " + std::to_string(i)); });
    for (auto& t : threads)
        t.join();
    for (size_t i = 0; i < outs.size(); ++i)
        EXPECT_EQ(outs[i], std::to_string(i) + "\n");
}

TEST(Scanner, SizeOfMeasuresFilesByLengthAndFoldersWithDu)
{
    TestSupport::TestHome home;
    home.file("ten.txt", "0123456789");
    home.dir("empty");
    home.sizedFile("odd name\twith\ttabs\nand lines/data", 300 * 1024);
    std::filesystem::create_symlink(home.at("ten.txt"), home.at("link"));

    EXPECT_EQ(Scanner::sizeOf(home.at("ten.txt")), 10);
    EXPECT_EQ(Scanner::sizeOf(home.at("link")), int64_t(home.at("ten.txt").size()));
    EXPECT_EQ(Scanner::sizeOf(home.at("missing")), 0);
    int64_t empty = Scanner::sizeOf(home.at("empty"));
    EXPECT_EQ(empty % 1024, 0);
    EXPECT_LT(empty, 64 * 1024);
    int64_t odd = Scanner::sizeOf(home.at("odd name\twith\ttabs\nand lines"));
    EXPECT_GE(odd, 300 * 1024);
    EXPECT_EQ(odd % 1024, 0);
}

TEST(Scanner, SizesOfMeasuresEachPathOnItsOwnInOrder)
{
    TestSupport::TestHome home;
    home.sizedFile("outer/a", 200 * 1024);
    home.sizedFile("outer/inner/b", 400 * 1024);
    home.file("file", "12345");
    std::vector<std::string> paths = {home.at("outer"), home.at("outer/inner"), home.at("file"),
                                      home.at("missing"), home.at("outer/inner")};
    std::vector<int64_t> one;
    for (const auto& p : paths)
        one.push_back(Scanner::sizeOf(p));
    EXPECT_GT(one[1], 0); // nested in the first, still measured
    EXPECT_EQ(Scanner::sizesOf(paths, 4), one);
    EXPECT_EQ(Scanner::sizesOf(paths, 1), one);
    EXPECT_TRUE(Scanner::sizesOf({}).empty());
}
