// SPDX-License-Identifier: GPL-3.0-or-later
// The one mapping from the symbol names the views use (SF Symbol names, the
// names the product's designs are written in) to glyphs of the Material Icons
// font. Views name a symbol ("square.split.2x2"); the Symbol item draws the
// glyph. Unknown names draw a question-mark glyph, so a missing entry shows.
#pragma once

#include <string_view>
#include <vector>

namespace Symbols {

// The font family that holds the glyphs.
inline constexpr const char* kFontFamily = "Material Icons";

struct Entry
{
    std::string_view sfName;
    std::string_view materialName;
    char32_t codepoint;
};

// Every mapped symbol, sorted by SF name.
const std::vector<Entry>& table();

// The glyph's code point for a symbol name; the "help_outline" glyph when unknown.
char32_t codepoint(std::string_view sfName);

// The Material Icons name for a symbol name; empty when unknown.
std::string_view materialName(std::string_view sfName);

} // namespace Symbols
