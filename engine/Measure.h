// SPDX-License-Identifier: GPL-3.0-or-later
// Disk usage measured in process, the way GNU du counts it, on several threads.
//
// A walk starts at each root and goes down through directory file descriptors
// (openat, fstatat, never following a symbolic link: a link counts as the link
// itself). What it counts, as du -k does:
// - every entry's allocated blocks (st_blocks × 512 bytes), a folder's own
//   blocks included; the sum of a folder is rounded up to whole KiB once;
// - a file (anything but a folder) with more than one link only once per
//   measurement, credited where du would meet it first: du goes depth first in
//   directory read order, so each occurrence keeps its position in that order
//   and ownership is settled after the walk, whatever thread met it first;
// - a folder as often as it is met (two bind mounts of one folder count
//   twice), except one that is its own ancestor (a bind-mount loop), which
//   counts nothing, as du skips it;
// - mount points crossed;
// - a folder that cannot be opened adds its own blocks and nothing below it;
//   an entry that cannot be examined adds nothing.
// A directory of more than 10,000 entries on a disk file system is visited in
// inode order, batch by batch of 100,000, as du's traversal does, so the first
// occurrence of a hard link is the same one.
// The token (and Shell::stopAll) is looked at before every folder; a cancelled
// walk returns nothing.
#pragma once

#include "CancelToken.h"
#include "Records.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Measure {

// How many threads a walk uses.
unsigned threads();

// The tree du -k -d depth ROOT prints: the root and every folder down to depth
// levels below it, each with its size in bytes (du's KiB × 1024). Children are
// largest first, equal sizes in ascending name order; a child's path is the
// parent's path, "/" and its name. No value when the root cannot be examined
// (it vanished) or the walk was cancelled. A root that is not a folder (a file,
// a link) gives a node of its own size without children. The root is named
// after the path's last component (the path itself for "/"). With utf8Only,
// folders and files whose names are not UTF-8 stay out of the tree (their
// bytes still count in their parents).
// Each folder also says how many files lie right in it and their bytes (a file
// with several links counted where its bytes are); folders above the deepest
// level keep their 8 largest files by name (each at least 1/4096 of the
// folder), largest first, equal sizes in ascending name order.
std::optional<DiskNode> tree(const std::string& root, int depth, const CancelToken* token = nullptr,
                             bool utf8Only = false);

// The size du -sk gives each path, each measured on its own (a hard link is
// counted once within a path, and a path inside another is measured again on
// its own), all walked on one pool of threads. -1 for a path that cannot be
// examined; every value is -1 when the walk was cancelled. With sharedLinks,
// a file linked from several paths counts only in the first path that holds
// it, as one du run over all the paths counts it.
std::vector<int64_t> sizes(const std::vector<std::string>& roots,
                           const CancelToken* token = nullptr, bool sharedLinks = false);

} // namespace Measure

namespace Scanner {

// Bytes used by a file or folder: du's allocated size for a folder (a link to
// a folder counts as one, and, as du -sk measures it, by the link's own size),
// the logical length of a file or of a link itself. 0 when it cannot be
// measured. On Linux folders are measured in process (Measure::sizes), on
// macOS by du -sk (one definition per platform: PlatformLinux.cpp, PlatformMac.cpp).
int64_t sizeOf(const std::string& path);

// How many du runs sizesOf runs at once on macOS. Measuring many small
// folders is dominated by starting du, which overlaps well even on two cores.
inline constexpr unsigned kMeasureWorkers = 4;

// sizeOf of every path; the sizes come back in the order of paths. Each path
// is measured on its own (one du run over several paths would skip a path
// nested in an earlier one): on Linux all folders are walked on one pool of
// threads, on macOS up to workers du runs go at a time. Once the token is
// cancelled, folders not measured by then give 0 (on Linux every folder).
std::vector<int64_t> sizesOf(const std::vector<std::string>& paths,
                             unsigned workers = kMeasureWorkers,
                             const CancelToken* token = nullptr);

// The findings of a scan among candidate paths: each path measured on its own
// (sizesOf), and for each above minBytes the item make(i, size) builds for
// paths[i]; largest first, equal sizes in candidate order. Empty once the
// token is cancelled.
std::vector<ScanItem> measuredItems(const std::vector<std::string>& paths, int64_t minBytes,
                                    const std::function<ScanItem(size_t, int64_t)>& make,
                                    const CancelToken* token);

} // namespace Scanner
