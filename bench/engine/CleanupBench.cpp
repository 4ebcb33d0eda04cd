// SPDX-License-Identifier: GPL-3.0-or-later
// A clean-up of many items against putting them all back, side by side in
// one run on a throw-away home (HOME and XDG_DATA_HOME point into a temporary
// folder): each round makes the items, cleans them up (Scanner::cleanUp,
// with its manifest and history entry), then reads the clean-ups and puts
// every item back. Prints the median of the rounds and the ratio.
// Run: build/bench/cleanup_bench [items] [rounds]   (default 2000 and 7)
#include "Cleanups.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::string pattern = (fs::temp_directory_path() / "cleanup-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return 1;
    const std::string home = pattern;
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);

    std::vector<double> cleanTimes, putBackTimes;
    for (int round = 0; round < rounds; ++round) {
        fs::remove_all(home);
        fs::create_directories(home + "/items");
        std::vector<Cleanups::Target> targets;
        for (int i = 0; i < count; ++i) {
            const std::string path = home + "/items/cache-" + std::to_string(i);
            std::ofstream(path) << i;
            targets.push_back(
                {path, 4096, ItemKind::Cache, Risk::Safe, "cache " + std::to_string(i)});
        }
        auto start = std::chrono::steady_clock::now();
        const auto done = Scanner::cleanUp(targets, Cleanups::Source::Clean);
        cleanTimes.push_back(millisecondsSince(start));

        start = std::chrono::steady_clock::now();
        const auto records = Scanner::loadCleanups();
        std::vector<size_t> all(records.front().items.size());
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = i;
        const auto outcomes = Scanner::putBack(records.front(), all, false);
        putBackTimes.push_back(millisecondsSince(start));
        const auto back =
            std::count(outcomes.begin(), outcomes.end(), Cleanups::PutBackOutcome::PutBack);
        if (done.id.empty() || back != count) {
            std::fprintf(stderr, "round %d: %ld of %d put back\n", round, long(back), count);
            fs::remove_all(home);
            return 1;
        }
    }
    fs::remove_all(home);
    const double clean = median(cleanTimes);
    const double putBack = median(putBackTimes);
    std::printf("items %d, rounds %d (median)\n", count, rounds);
    std::printf("clean-up  %8.1f ms\n", clean);
    std::printf("put back  %8.1f ms (reading the clean-ups included)\n", putBack);
    std::printf("ratio     %8.2f (put back / clean-up)\n", putBack / clean);
    return 0;
}
