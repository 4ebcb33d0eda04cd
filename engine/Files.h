// SPDX-License-Identifier: GPL-3.0-or-later
// Small file helpers shared by the units that keep state on disk (preferences,
// history, tree cache, reports).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct stat;

namespace Files {

// The modification time in st as nanoseconds since 1970 UTC.
int64_t modifiedNanoseconds(const struct stat& st);

// The whole content of a regular file, or no value when it cannot be read or
// holds more than maxBytes (checked before reading, and again while reading
// in case the file grows): a stored file is never loaded whole just to find
// out that it is far too large to be real.
std::optional<std::string> read(const std::string& path, size_t maxBytes = SIZE_MAX);

// Whether a write must reach the disk before the rename (history,
// preferences), or may stay in the page cache (a cache file, which is
// measured again when a crash leaves it torn).
enum class Durability { Synced, Cache };

// Writes data to a temporary file in the same folder, flushes it (unless it is
// a cache) and renames it over path, so readers see either the old or the new
// content, never a part.
// False (and path untouched) on any failure. Temporary files of earlier writes
// to the same path that were left behind (a killed process) and are more than
// ten minutes old are removed first.
bool writeAtomically(const std::string& path, const std::string& data,
                     Durability durability = Durability::Synced);

// The same written piece by piece, for a text too large to hold twice: append
// as it is produced, then commit. Dropped without a commit, nothing changes.
class AtomicFile
{
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool append(std::string_view data);
    bool commit(Durability durability = Durability::Synced);

private:
    std::string m_path;
    std::string m_tmp;
    int m_fd = -1;
    bool m_ok = false;
};

// Whether path is reached from base without a symbolic link: base itself may
// be reached through links (a base folder may live on another disk), every
// component after it is a real folder (lstat), and so is path itself, or,
// unless folderOnly, any other kind of file but a link. False when path is
// not strictly below base.
bool belowWithoutLinks(const std::string& base, const std::string& path, bool folderOnly = true);

// Removes what killed writers left in folder for any file named
// "<prefix>...<suffix>": the temporary files of writeAtomically and AtomicFile
// ("<name>.tmp-XXXXXX") that are more than ten minutes old. Each write only
// clears the leftovers of its own path; a family of files whose names vary
// (one per measured folder) needs this for the names not written again.
void removeStaleTemporaries(const std::string& folder, std::string_view prefix,
                            std::string_view suffix);

// Creates a folder and its missing parents; true when it exists afterwards.
bool makeDirs(const std::string& path);

// Whether path is a folder, or a link to one (stat).
bool isFolder(const std::string& path);

// The length of a file, or of a link itself (lstat); 0 when it cannot be read.
int64_t ownSize(const std::string& path);

// For each of paths, whether it lies strictly inside another path of the
// list, comparing whole components: "/h/a/b" is inside "/h/a", "/h/ab" is
// not. Repeated and trailing slashes do not count. Of two equal paths the
// later one counts as inside the earlier, so every place is counted once. An
// empty path is inside nothing and holds nothing. O(n log n).
std::vector<bool> insideOthers(const std::vector<std::string>& paths);

// The sum of sizes[i] over the paths not inside another (insideOthers): the
// bytes a clean-up of all of them frees, each counted once. Saturates at the
// limits of int64_t; a size without its path (or a path without its size)
// is left out.
int64_t outerTotal(const std::vector<std::string>& paths, const std::vector<int64_t>& sizes);

} // namespace Files
