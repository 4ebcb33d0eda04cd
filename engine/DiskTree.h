// SPDX-License-Identifier: GPL-3.0-or-later
// The folder-size tree behind the storage map and `tclean tree`. On Linux the
// tree comes straight from one in-process walk over the resolved root
// (Measure.h), with the sizes du -k -d would print; on macOS one du run gives a
// size map (path to bytes, Parsers.h) that is indexed once by parent path, and
// the tree is assembled from that index. Folders whose names are not UTF-8 stay
// out of the tree (their sizes count in their parents), as du's output lines
// for them are dropped; files so named are left out of a folder's named
// files and still counted in its file count and bytes. Each finished tree is kept for 30 minutes as
// compact JSON in the product's cache folder (Platform::cacheFolder: $XDG_CACHE_HOME/TidloCleaner
// on Linux), one file per root and depth ("tree_" key "_d" depth ".json"), written atomically but
// not flushed to the disk (a torn file after a crash is measured again), and read back by a strict
// reader that builds the compact tree (FolderTree.h) straight from the file mapped into memory,
// handing back the pages it has read, so neither the text nor a second copy of the nodes is held.
// The pieces below are the steps of Scanner::diskTree, public so they can be tested.
#pragma once

#include "CancelToken.h"
#include "Records.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace DiskTree {

// How long a cache file is trusted after its last modification, in seconds.
inline constexpr double kCacheSeconds = 1800.0;
// A cache file larger than this (over a million folders) is treated as corrupt.
inline constexpr size_t kMaxCacheBytes = size_t(256) * 1024 * 1024;

// The depth limited to 1...8.
int clampDepth(int depth);

// The root as measured and stored: standardised, then with symbolic links
// resolved (left as standardised when it does not exist).
std::string resolveRoot(const std::string& root);

// "tree_" + the resolved root with every "/" as "_" + "_d" + depth + ".json".
std::string cacheFileName(const std::string& resolvedRoot, int depth);

// The folder that holds the cache files (Platform::cacheFolder).
std::string cacheFolder();

// The child folders of path found in the size map, each with its own children
// down to level levels, largest first; equal sizes keep ascending path order.
// The map is indexed by parent path once per call.
std::vector<DiskNode> childrenOf(const std::map<std::string, int64_t>& sizes,
                                 const std::string& path, int level);

// The tree of path from the size map: the root (of the given size, named
// after the path's last component) and childrenOf's folders below it.
DiskNode treeOf(const std::map<std::string, int64_t>& sizes, const std::string& path, int level,
                int64_t size);

// The node as compact JSON with exactly the keys id, name, path, size,
// fileCount, fileBytes, files (each with name and size) and children,
// recursively. A default node is written as an empty folder.
std::string encode(const DiskNode& node);

// encode written atomically to file as it is produced (never held whole), not
// flushed to the disk; false when it could not be written.
bool writeCache(const std::string& file, const DiskNode& node);

// A node read back from JSON; no value when the text is not JSON, a key is
// missing (a cache written before files were kept lacks three) or of the
// wrong type, or the nesting is deeper than nine levels. The root keeps its
// id and path; the other folders' are derived from their places (their
// parents' paths and their names).
// Larger than kMaxCacheBytes is refused too.
std::optional<DiskNode> decode(std::string_view json);

} // namespace DiskTree

namespace Scanner {

// The folder-size tree of root down to depth levels (clampDepth), from the
// cache when useCache and a fresh cache file for the same root exists, else
// measured and then cached (when the root's path is UTF-8). A cancelled token
// gives the root node alone, not cached.
DiskNode diskTree(const std::string& root, int depth, bool useCache = true,
                  const CancelToken* token = nullptr);

} // namespace Scanner
