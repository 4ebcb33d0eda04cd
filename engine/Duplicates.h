// SPDX-License-Identifier: GPL-3.0-or-later
// The duplicate finders. The content finder walks five home folders, keeps
// regular files of at least minKB as candidates (one path per file: hard links
// to one file count once), buckets them by size ÷ 512, proposes groups by a
// quick fingerprint (MD5 of the first and last 64 KiB and the size) and then
// confirms every proposed group over the whole content, splitting off members
// that differ. The token is looked at for every walked entry, every file read
// and every chunk compared, so a Cancel takes effect at once even on huge
// files; a group whose comparison was cut short is not reported. The name finder walks three
// folders and groups entries by their lower-cased name, keeping groups of files only when their
// sizes agree. Tables are visited in ascending key order so that results repeat.
#pragma once

#include "CancelToken.h"
#include "Records.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Duplicates {

// The user folders the content finder looks into: Downloads, Desktop,
// Documents, Movies (Videos on Linux) and Pictures (Platform::userFolders).
std::vector<std::string> roots();

// The user folders the name finder looks into: Downloads, Desktop, Documents.
std::vector<std::string> nameRoots();

// Path components below a root that are never looked into ("Library",
// "node_modules", ".git", ...); exact, case-sensitive. Built once.
const std::set<std::string>& skipDirs();

// 32 lower-case hex digits: MD5 of the first 64 KiB, the last 64 KiB when size
// is above 128 KiB, and the decimal text of size. No value when the file cannot
// be opened, is not a regular file (never waits on a FIFO, never follows a
// link) or yields no bytes.
std::optional<std::string> quickFingerprint(const std::string& path, int64_t size);

// Splits paths into sets of files with byte-for-byte equal content, each set in
// the order given; a file that cannot be read, or that is no longer a regular
// file (a FIFO, folder or link put in its place), stands alone. Reads each file
// to the first difference from the set it is compared with, looking at the
// token before every chunk; once it is cancelled the result is empty (nothing
// confirmed).
std::vector<std::vector<std::string>> splitByContent(const std::vector<std::string>& paths,
                                                     const CancelToken* token = nullptr);

} // namespace Duplicates

namespace Scanner {

// Groups of files with the same content (the content finder) among at most
// limit candidates of at least minKB KiB: groups whose files also share a name
// first, then the most bytes wasted first.
std::vector<DuplicateGroup> duplicates(int64_t minKB = 64, int64_t limit = 1500,
                                       const CancelToken* token = nullptr);
// Groups of entries with the same name (the name finder), at most limit, the
// most files first; each group's paths sorted.
std::vector<DuplicateGroup> sameNameGroups(int64_t limit = 80, const CancelToken* token = nullptr);

} // namespace Scanner
