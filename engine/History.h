// SPDX-License-Identifier: GPL-3.0-or-later
// The clean-up history: one compact JSON array, newest first, of at most 100
// entries, in the product's support folder (Platform::supportFolder). Each
// entry keeps its date as seconds since 2001-01-01 UTC. The file is read afresh
// on every load and rewritten whole and atomically on every append, so an
// interrupted write leaves the previous history as it was.
#pragma once

#include "Records.h"

#include <string>
#include <string_view>
#include <vector>

namespace History {

// Seconds between 1970-01-01 and 2001-01-01 UTC, the history's reference date.
inline constexpr double kReferenceDate = 978307200.0;

// The history file's text for entries, compact.
std::string encode(const std::vector<HistoryEntry>& entries);

// Entries read from the history file's text. Empty when the text is not a
// JSON array of objects that all have a UUID "id", a number "date" and
// integer "items" and "freed": one malformed entry spoils the whole list.
std::vector<HistoryEntry> decode(std::string_view text);

} // namespace History

namespace Scanner {

// The history file's entries, newest first; empty when it is missing, larger
// than 1 MiB or malformed.
std::vector<HistoryEntry> loadHistory();
// Puts entry first (an id that is no UUID is replaced by a new one), keeps
// the 100 newest and rewrites the file.
void appendHistory(const HistoryEntry& entry);

} // namespace Scanner
