// SPDX-License-Identifier: GPL-3.0-or-later
// The Markdown scan report: the volume's figures and one table per list of
// findings (at most 100 rows each), in the language of the moment, written to
// the report folder (Platform::reportFolder) under a name of its own.
#pragma once

#include "Cleanups.h"
#include "Clock.h"
#include "Records.h"

#include <optional>
#include <string>
#include <vector>

namespace Report {

// How many of the newest clean-ups the report lists.
inline constexpr size_t kReportCleanups = 5;

// The Markdown report for three lists and a volume, dated now; then, when
// cleanups holds any, the newest of them (kReportCleanups) with their items
// and where each is now.
std::string text(const std::vector<ScanItem>& cache, const std::vector<ScanItem>& leftover,
                 const std::vector<ScanItem>& large, const VolumeInfo& volume,
                 Clock::time_point now, const std::vector<Cleanups::Record>& cleanups = {});

} // namespace Report

namespace Scanner {

// Writes the report as "TidloCleaner-Report-<stamp>.md" in the report folder
// ("_2", "_3" … for a second one in the same minute, never replacing one) and
// returns its path; no value when it could not be written. The report lists
// the clean-ups of the history (loadCleanups).
std::optional<std::string> exportReport(const std::vector<ScanItem>& cache,
                                        const std::vector<ScanItem>& leftover,
                                        const std::vector<ScanItem>& large,
                                        const VolumeInfo& volume);

} // namespace Scanner
