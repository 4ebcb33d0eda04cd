// SPDX-License-Identifier: GPL-3.0-or-later
// Text helpers used across the engine and tclean: strict number reading, blank
// trimming, line splitting, UTF-8 validation and Unicode-aware case and
// character counting (ICU).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Strings {

// Reads a whole text as a decimal integer: an optional "+" or "-", then digits
// only; no blanks, no units. No value on anything else or on overflow.
std::optional<int64_t> parseInt(std::string_view text);

// Removes spaces and tabs (not line breaks) from both ends.
std::string_view trimBlanks(std::string_view text);

// Splits at sep, dropping empty pieces.
std::vector<std::string_view> split(std::string_view text, char sep);

// True when bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Keeps only the lines of text that are valid UTF-8, with their line feeds.
std::string dropInvalidUtf8Lines(std::string_view text);

// Unicode lower case (full case mapping, root locale).
std::string lowercased(std::string_view text);

// The key two file names are compared by, ignoring case: the lower case of a
// well-formed UTF-8 name, the bytes themselves otherwise (lower-casing would
// turn every invalid byte into U+FFFD and make different names equal).
std::string nameKey(std::string_view name);

// a + b, held at INT64_MAX or INT64_MIN instead of overflowing; a negative b
// subtracts. The engine's byte totals (and the application's) add sizes of 0
// or more, so they only ever hold at INT64_MAX.
int64_t addSaturated(int64_t a, int64_t b);

// Number of user-perceived characters (extended grapheme clusters).
size_t characterCount(std::string_view text);

// The first n user-perceived characters of text.
std::string characterPrefix(std::string_view text, size_t n);

// Where a UTF-8 text may be cut at or before limit bytes without splitting a
// character: limit, or the start of the character limit falls inside.
size_t byteBoundary(std::string_view text, size_t limit);

// Last path component ("" for "/"), ignoring trailing slashes.
std::string lastComponent(std::string_view path);

// Replaces every occurrence of from by to.
std::string replaceAll(std::string text, std::string_view from, std::string_view to);

} // namespace Strings
