// SPDX-License-Identifier: GPL-3.0-or-later
// Terminal output of tclean: optional ANSI colour (on only when standard output
// is a terminal, decided once), the tool's size text, fixed-width columns that
// count user-perceived characters, text bars and the indented folder tree.
#pragma once

#include "Records.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ANSI {

// Whether escapes are emitted: isatty(1), computed once per process.
bool on();

// ESC "[" code "m" text ESC "[0m" when on; text unchanged otherwise.
std::string c(std::string_view code, std::string_view text);
std::string bold(std::string_view text);
std::string dim(std::string_view text);
std::string red(std::string_view text);
std::string green(std::string_view text);
std::string yellow(std::string_view text);
std::string cyan(std::string_view text);

} // namespace ANSI

// text with every control character shown as "?", so that a file name cannot
// move the cursor, reprogram the terminal or turn the text around: C0 controls
// (below 0x20) and 0x7f, the C1 controls U+0080 to U+009F written in UTF-8,
// and the bidirectional controls U+202A to U+202E and U+2066 to U+2069 (each
// character one "?"). Bytes that are not UTF-8 are kept as they are.
std::string printable(std::string_view text);

// Always one decimal above 1023 bytes: "1023 B", "1.0 KB", "100.0 KB".
std::string human(int64_t bytes);

// Appends spaces up to width user-perceived characters; never cuts.
std::string pad(std::string_view text, size_t width);

// pad for a column that something follows: at least one space after the
// text, even when it is width characters or wider.
std::string column(std::string_view text, size_t width);

// A bar of exactly width cells of "█" and "░" for a fraction (clamped 0...1).
std::string bar(double fraction, int width = 22);

// "安全" green, "注意" yellow, "谨慎" red.
std::string riskTag(Risk risk);

// A name cut to 24 user-perceived characters: 23 and "…" when longer.
std::string cutName(std::string_view name);

// Prints node as one line, then its children down to maxDepth, with tree
// connectors; shares are taken against total.
void renderTree(const DiskNode& node, const std::string& prefix, bool isLast, int depth,
                int maxDepth, int64_t total);

// The line renderTree prints for one node (without the line feed).
std::string treeLine(const DiskNode& node, const std::string& prefix, bool isLast, int64_t total);

// Prints one line with a line feed.
void printLine(std::string_view line);
