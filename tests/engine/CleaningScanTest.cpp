// SPDX-License-Identifier: GPL-3.0-or-later
// The three cleaning scans and their cancel token, on one fixture home that
// has a finding for each.
#include "Caches.h"
#include "LargeFiles.h"
#include "Leftovers.h"
#include "TestHome.h"

#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace {

constexpr long long kMiB = 1024 * 1024;

using Scan = std::function<std::vector<ScanItem>(const CancelToken*)>;

// Path and size of each item, in result order (ids are new on every scan).
std::vector<std::pair<std::string, int64_t>> found(const std::vector<ScanItem>& items)
{
    std::vector<std::pair<std::string, int64_t>> out;
    for (const auto& item : items)
        out.emplace_back(item.path, item.size);
    return out;
}

} // namespace

TEST(CleaningScans, ACancelledTokenStopsTheScanAndAnOpenOneChangesNothing)
{
    TestSupport::TestHome home;
    home.sizedFile("Library/Caches/pip/wheels", 3 * kMiB);
    home.sizedFile("Library/Application Support/Gone Editor/data", 2 * kMiB);
    home.sizedFile("Downloads/film.mkv", 3 * kMiB);

    const std::pair<const char*, Scan> scans[] = {
        {"caches", [](const CancelToken* token) { return Scanner::cacheItems(token); }},
        {"leftovers", [](const CancelToken* token) { return Scanner::leftoverItems(token); }},
        {"large files", [](const CancelToken* token) { return Scanner::largeFiles(1, token); }},
    };
    for (const auto& [name, scan] : scans) {
        SCOPED_TRACE(name);
        const auto plain = found(scan(nullptr));
        ASSERT_FALSE(plain.empty());

        CancelToken open;
        EXPECT_EQ(found(scan(&open)), plain);

        CancelToken cancelled;
        cancelled.cancel();
        EXPECT_TRUE(scan(&cancelled).empty());
    }
}
