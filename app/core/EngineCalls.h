// SPDX-License-Identifier: GPL-3.0-or-later
// The engine operations the application calls, as one table of functions.
// Every entry defaults to the real engine; the model reads the table when it
// starts a call, so a test can hand the model a table in which one call is
// held back until the test releases it (a slow search, say) while every other
// call stays real. The table is copied into worker tasks by value: a call in
// flight never sees a later change.
#pragma once

#include "Cleanups.h"
#include "Records.h"
#include "Runner.h"
#include "Scanner.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct EngineCalls
{
    // Cleaning scans.
    std::function<std::vector<ScanItem>(const CancelToken*)> cacheItems = Scanner::cacheItems;
    std::function<std::vector<ScanItem>(const CancelToken*)> leftoverItems = Scanner::leftoverItems;
    std::function<std::vector<ScanItem>(int64_t, const CancelToken*)> largeFiles =
        Scanner::largeFiles;

    // The Trash mover, the clean-ups with their history, and the report.
    std::function<std::vector<MoveOutcome>(const std::vector<std::string>&, const std::string&)>
        moveToTrash = Scanner::moveToTrash;
    std::function<Cleanups::CleanUp(const std::vector<Cleanups::Target>&, Cleanups::Source)>
        cleanUp = Scanner::cleanUp;
    std::function<std::vector<Cleanups::Record>()> loadCleanups = Scanner::loadCleanups;
    std::function<std::vector<Cleanups::PutBackOutcome>(const Cleanups::Record&,
                                                        const std::vector<size_t>&, bool)>
        putBack = Scanner::putBack;
    std::function<std::optional<std::string>(const std::vector<ScanItem>&,
                                             const std::vector<ScanItem>&,
                                             const std::vector<ScanItem>&, const VolumeInfo&)>
        exportReport = Scanner::exportReport;

    // Measuring.
    std::function<DiskNode(const std::string&, int, bool, const CancelToken*)> diskTree =
        Scanner::diskTree;
    std::function<std::vector<Category>()> topLevelUsage = Scanner::topLevelUsage;
    std::function<std::vector<TypeBucket>()> fileTypeUsage = Scanner::fileTypeUsage;
    std::function<std::vector<DuplicateGroup>(int64_t, int64_t, const CancelToken*)> duplicates =
        Scanner::duplicates;
    std::function<std::vector<DuplicateGroup>(int64_t, const CancelToken*)> sameNameGroups =
        Scanner::sameNameGroups;

    // Applications and system readings.
    std::function<std::vector<AppInfo>()> appsList = Scanner::appsList;
    std::function<std::vector<ScanItem>(const AppInfo&)> appLeftovers = Scanner::appLeftovers;
    std::function<std::vector<std::string>(const AppInfo&)> uninstallPaths =
        Scanner::uninstallPaths;
    std::function<bool(const AppInfo&)> uninstallFlatpak = Scanner::uninstallFlatpak;
    std::function<VolumeInfo()> volume = Scanner::volume;
    std::function<Scanner::MemoryInfo()> memory = Scanner::memory;
    std::function<std::vector<ProcInfo>(int)> processes = Scanner::processes;
    std::function<int64_t()> ownMemory = Scanner::ownMemory;
    std::function<Scanner::TrashInfo()> trashSize = Scanner::trashSize;
    std::function<Scanner::EmptiedTrash()> emptyTrash = Scanner::emptyTrashReport;
    std::function<std::vector<Snapshot>()> snapshots = Scanner::snapshotList;
    std::function<std::vector<std::string>()> loginItems = Scanner::loginItems;
};
