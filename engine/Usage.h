// SPDX-License-Identifier: GPL-3.0-or-later
// Where the home folder's space goes: by top-level folder (what du -d 1
// prints, measured in process on Linux, plus the applications folder) and by file type (one find
// over six home folders listing files above 512 KiB). The tool runs happen in Usage.cpp; turning
// their output into Category and TypeBucket lists is pure and lives here so it
// can be tested on sample text.
#pragma once

#include "Parsers.h"
#include "Records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Usage {

// The folder name as shown in lang ("zh" or anything else for English):
// Desktop, Documents, Downloads, Movies, Music, Pictures, Library, Public,
// .Trash, Applications and System, and the XDG user folders' Videos and
// Templates, have their own texts; others stay as they are.
std::string displayName(const std::string& folder, const std::string& lang);

// The file-type bucket (0 images ... 5 code, 6 other) of an extension, which
// is compared in lower case.
int bucketIndex(const std::string& extension);

// The catalogue key of a bucket index ("cat.image" ... "cat.other").
const char* bucketKey(int index);

// The six largest of the home folder's visible sub-folders (du lines in bytes;
// hidden ones only as shownWhenHidden says)
// and the applications folder (appsSize, counted when above 0), largest first,
// then one "Other" entry with the rest when that is 1 byte or more. The line for
// home itself is skipped.
std::vector<Category> topLevelFrom(const std::vector<Parse::SizeLine>& lines,
                                   const std::string& home, int64_t appsSize,
                                   const std::string& lang);

// Byte totals per bucket of size-tab-path lines, largest first (equal sizes in
// index order); buckets 0 to 5 only when above 0, "Other" when 1 byte or more.
std::vector<TypeBucket> typeBucketsFrom(const std::vector<Parse::SizeLine>& lines);

// The shell command text that lists the files on macOS, where stat prints the
// size-tab-path lines: each root single-quoted for the shell ("'" as "'\''").
std::string fileTypeShellCommand(const std::vector<std::string>& roots);

// The six user folders that the file-type usage looks into: Desktop,
// Documents, Downloads, Movies (Videos on Linux), Music and Pictures, as
// Platform::userFolders gives them.
std::vector<std::string> fileTypeRoots();

// Whether a hidden home folder is still listed in the top-level usage: on
// Linux .cache, .config, .local and .var, where much of the space goes.
bool shownWhenHidden(const std::string& name);

} // namespace Usage

namespace Scanner {

// The home folder's usage by top-level folder (topLevelFrom).
std::vector<Category> topLevelUsage();
// The home folder's usage by file type (typeBucketsFrom over fileTypeRoots).
std::vector<TypeBucket> fileTypeUsage();

} // namespace Scanner
