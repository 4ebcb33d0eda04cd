// SPDX-License-Identifier: GPL-3.0-or-later
// Property lists (Info.plist files) read through libplist, with the guards its
// callers need. libplist parses and frees nested arrays and dictionaries by
// recursion, one stack frame per level, so a file of a few megabytes nested
// a hundred thousand levels deep would overflow the stack and end the scan;
// the nesting is therefore measured first, without recursion, and a file
// nested deeper than any real Info.plist reads as malformed.
#pragma once

#include <cstddef>
#include <optional>
#include <plist/plist.h>
#include <string>
#include <string_view>

namespace Plists {

// Far deeper than any real Info.plist (they nest a handful of levels), far
// shallower than what fills a stack.
inline constexpr int kMaxDepth = 64;

// Whether the arrays, sets and dictionaries of the plist in bytes nest at
// most limit levels (the top container is level 1). Binary plists are walked
// through their object table: one whose table is malformed or whose objects
// contain themselves does not pass. XML is measured by its array and dict
// tags, comments and CDATA sections left out.
bool nestingWithin(std::string_view bytes, int limit);

// The parsed plist, or nullptr when the bytes are empty, beyond 4 GiB, nested
// deeper than kMaxDepth or not a plist. The caller frees it with plist_free.
plist_t parse(std::string_view bytes);

// Info.plist files are a few kilobytes; anything far larger is not one.
inline constexpr size_t kMaxInfoPlistBytes = size_t(8) * 1024 * 1024;

// The bytes of an application bundle's Contents/Info.plist; no value when it
// is missing, not a regular file (never waits on a pipe) or larger than
// kMaxInfoPlistBytes.
std::optional<std::string> infoPlistBytes(const std::string& bundle);

// A string value of a dictionary, read with its length; no value when the key
// is absent, the value is not a string or it holds a NUL byte (a malformed
// value, not something to cut short).
std::optional<std::string> stringValue(plist_t dict, const char* key);

} // namespace Plists
