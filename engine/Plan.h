// SPDX-License-Identifier: GPL-3.0-or-later
// A clean-up plan: the findings of a scan with the identity each had then
// (device, inode, modification time, a file's length), kept in a file so
// that a later clean-up moves exactly those items and skips every one that
// changed since. The file is one JSON object:
//   {"version":1,"items":[{"path":...,"label":...,"size":...,"kind":"cache",
//     "risk":"safe","device":...,"inode":...,"modified":<ns since 1970>,
//     "length":<bytes, -1 for a folder or link>}, ...]}
// with names stored as the clean-up manifests store them (Cleanups.h):
// "path" and "label" as text when UTF-8, else "pathHex" and "labelHex".
#pragma once

#include "Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Plan {

// The largest plan file read.
inline constexpr size_t kMaxPlanBytes = 64 * 1024 * 1024;

struct Entry
{
    std::string path;
    std::string label;
    int64_t size = 0;
    ItemKind kind = ItemKind::Cache;
    Risk risk = Risk::Safe;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t modified = 0;
    int64_t length = -1; // a regular file's length; -1 for anything else
};

// The findings with their identity now (lstat); a finding that cannot be
// examined is left out.
std::vector<Entry> identify(const std::vector<ScanItem>& items);

// The plan's text (pretty-printed), and its entries read back: no value when
// the text is not a plan or any entry is malformed.
std::string encode(const std::vector<Entry>& entries);
std::optional<std::vector<Entry>> decode(std::string_view text);

// The finding an entry stands for (its path, label, size, kind and risk).
ScanItem itemOf(const Entry& entry);

// Whether what is at entry.path now is what the plan saw: the same device,
// inode and modification time, and for a file the same length.
bool unchanged(const Entry& entry);

} // namespace Plan
