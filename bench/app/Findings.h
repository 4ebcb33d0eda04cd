// SPDX-License-Identifier: GPL-3.0-or-later
// A scan that finds 2,000 things (1,600 caches, 400 leftovers) without
// writing 2,000 folders of real data: the model's engine-call table answers
// the cache and leftover phases with these lists; every other call is real.
// Names vary in length and script, and a few carry line feeds, tabs and a
// right-to-left mark, as real homes do.
#pragma once

#include "EngineCalls.h"

#include <string>
#include <vector>

inline std::vector<ScanItem> benchFindings(const std::string& home, ItemKind kind, int n)
{
    static const char* kNames[] = {"com.example.Browser",
                                   "pip",
                                   "缓存数据",
                                   "node-gyp",
                                   "Very Long Application Support Folder Name That Elides",
                                   "line\nfeed",
                                   "tab\tname",
                                   "\u200Fright-to-left",
                                   "JetBrains"};
    std::vector<ScanItem> out;
    for (int i = 0; i < n; ++i) {
        ScanItem item;
        item.name = std::string(kNames[i % 9]) + " " + std::to_string(i);
        item.path =
            home +
            (kind == ItemKind::Cache ? "/Library/Caches/" : "/Library/Application Support/") +
            item.name;
        item.size = int64_t(1024) * 1024 * (1 + i % 300);
        item.kind = kind;
        item.risk = i % 3 == 0 ? Risk::Safe : i % 3 == 1 ? Risk::Care : Risk::Data;
        item.note = i % 2 ? "Location: Library/Caches" : "";
        out.push_back(std::move(item));
    }
    return out;
}

inline EngineCalls benchFindingCalls(const std::string& home)
{
    EngineCalls calls;
    const auto caches = benchFindings(home, ItemKind::Cache, 1600);
    const auto leftovers = benchFindings(home, ItemKind::Leftover, 400);
    calls.cacheItems = [caches](const CancelToken*) { return caches; };
    calls.leftoverItems = [leftovers](const CancelToken*) { return leftovers; };
    return calls;
}
